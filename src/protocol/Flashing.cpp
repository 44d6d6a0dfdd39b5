#include "protocol/Flashing.h"

#include "app/FileNames.h"

#include <optional>
#include <string>

#include "protocol/Frames.h"
#include "protocol/ReleaseGate.h"
#include "protocol/Texts.h"

namespace velor {

namespace {

// A falling three-tone signal, heard across a workshop when a write fails.
constexpr int kFailureToneHertz[] = {1200, 800, 500};
constexpr int kFailureToneMs = 200;

enum class LoopEnd { Accepted, Exhausted, Aborted, Interrupted };

// Whether the image holds a byte for every block the device's geometry asks for; a block past
// its end would go out with no data at all.
bool ImageFillsDevice(const FirmwareImage* image, const DeviceInfo& info) {
    if (image == nullptr || image->Empty()) {
        return false;
    }
    return info.PageCount * info.BlocksPerPage * info.BlockSize <= FirmwareImage::kByteCount;
}

std::string InterruptedText(int64_t pagesDone, int64_t pageCount, bool pageBegun) {
    if (pagesDone == 0 && !pageBegun) {
        return texts::kInterruptedNothingWritten;
    }
    std::string text = texts::kInterruptedPagesHead + std::to_string(pagesDone) +
                       texts::kInterruptedPagesOf + std::to_string(pageCount);
    if (pagesDone == pageCount) {
        return text + texts::kInterruptedBeforeResetTail;
    }
    if (pageBegun) {
        text += texts::kInterruptedPageBegunHead + std::to_string(pagesDone + 1) +
                texts::kInterruptedPageBegunTail;
    }
    return text + texts::kInterruptedTail;
}

class Flasher {
  public:
    Flasher(DeviceContext& c, const FirmwareImage* image, FlashState& state)
        : m_c(c), m_image(image), m_s(state) {}

    FlashResult Run();

  private:
    void Start();
    FlashResult WritePages();
    // Retries CurrentCommand until accepted, 400 tries spent or a stop seen.
    LoopEnd RetryLoop(const FlashCommand& command, int& delay);
    // The end of a loop that did not accept its command (a stop, or the failure rule), if any.
    std::optional<FlashResult> EndOf(LoopEnd end, const char* failureHead);
    FlashResult Interrupt();
    void EnableControlsAgain();
    void ShowCalibration();
    void ReportProgress(int64_t pagesDone, int64_t blocksDone);
    FlashResult Complete();
    FlashResult Fail(const char* head);
    void SignalWriteFailure();

    DeviceContext& m_c;
    const FirmwareImage* m_image;  // never null: the write refuses to start without an image
    FlashState& m_s;
    std::string m_body;
    int64_t m_page = 0;
    int64_t m_block = 0;         // 1-based while a page's blocks go out; 0 for its erase
    int64_t m_sentThisPage = 0;  // commands sent since the page began
};

FlashResult Flasher::Run() {
    Start();
    try {
        return WritePages();
    } catch (...) {
        // A port error ends the write with its error box; the window must not stay locked.
        EnableControlsAgain();
        m_c.form.LabelNameOfHex = texts::kStatusFailedHead +
                                  FileNameOf(m_c.form.OpenDialogFileName) +
                                  texts::kStatusFailedTail;
        throw;
    }
}

FlashResult Flasher::WritePages() {
    auto& form = m_c.form;
    auto& buffers = m_c.buffers;
    const auto& info = m_c.info;
    for (m_page = 0; m_page < info.PageCount; ++m_page) {
        m_sentThisPage = 0;
        m_block = 0;
        m_c.host.ProcessEvents();
        if (buffers.AbortRequested) {
            return FlashResult::Stopped;
        }
        m_body.assign(kEraseCode);
        m_body += HexAddress(m_s.WriteAddress);
        MakeFrameInto(buffers.CurrentCommand, m_body);
        if (auto end = EndOf(RetryLoop(kEraseCommand, m_s.EraseDelay), texts::kEraseFailed)) {
            return *end;
        }
        form.ProgressbarWrite.SetMax(static_cast<int>(info.BlocksPerPage));
        form.ProgressbarWrite.SetPosition(0);
        for (int64_t block = 1; block <= info.BlocksPerPage; ++block) {
            m_block = block;
            m_c.host.ProcessEvents();
            m_body.assign(kWriteCode);
            AppendHexByte(m_body, static_cast<unsigned>(block));
            m_body += m_image->Read(m_s.WriteAddress, info.BlockSize);
            MakeFrameInto(buffers.CurrentCommand, m_body);
            const LoopEnd written = RetryLoop(kWriteCommand, m_s.WriteDelay);
            if (written == LoopEnd::Aborted) {
                return FlashResult::Stopped;
            }
            if (written == LoopEnd::Interrupted) {
                return Interrupt();
            }
            form.ProgressbarWrite.SetPosition(form.ProgressbarWrite.Position + 1);
            if (m_s.FailedAttempts >= kFailureLimit) {
                return Fail(texts::kWriteFailed);
            }
            buffers.CurrentCommand.assign(kProgramFrame);
            if (auto end =
                    EndOf(RetryLoop(kProgramCommand, m_s.ProgramDelay), texts::kProgramFailed)) {
                return *end;
            }
            m_s.WriteAddress += info.BlockSize;
            ReportProgress(m_page, block);
        }
        form.ProgressbarReadWrite.AddProgress(1);
        ReportProgress(m_page + 1, 0);
    }
    if (m_c.stop.Requested()) {
        m_sentThisPage = 0;  // every page is written; only the reset is left
        return Interrupt();
    }
    return Complete();
}

std::optional<FlashResult> Flasher::EndOf(LoopEnd end, const char* failureHead) {
    if (end == LoopEnd::Aborted) {
        return FlashResult::Stopped;
    }
    if (end == LoopEnd::Interrupted) {
        return Interrupt();
    }
    if (m_s.FailedAttempts >= kFailureLimit) {
        return Fail(failureHead);
    }
    return std::nullopt;
}

void Flasher::Start() {
    auto& form = m_c.form;
    form.ButtonOpenHex.Enabled = true;
    m_c.host.MessageBeep(BeepKind::Asterisk);
    form.cbPort.Enabled = false;
    form.cbBaudRate.Enabled = false;
    form.ButtonConect.Enabled = false;
    form.ButtonWrite.Enabled = false;
    form.ProgressbarReadWrite.SetMaxValue(m_c.info.PageCount);
    form.ProgressbarReadWrite.SetProgress(0);
    m_s = FlashState{};
    form.LabelNameOfHex = texts::kStatusWriting;
    m_c.buffers.AbortRequested = false;
    ReportProgress(0, 0);
}

LoopEnd Flasher::RetryLoop(const FlashCommand& command, int& delay) {
    for (int attempt = 0; attempt < kAttemptsPerCommand; ++attempt) {
        if (m_c.stop.Requested()) {
            return LoopEnd::Interrupted;
        }
        ++m_sentThisPage;
        const int delayUsed = delay;
        const bool accepted = m_c.link.FlashAttempt(command, delay, &m_s.Replies);
        const std::string& reply = m_c.buffers.LastReply;
        m_c.events.OnAttempt({command.Command, m_page, m_block,
                              accepted        ? AttemptVerdict::Accepted
                              : reply.empty() ? AttemptVerdict::NoReply
                                              : AttemptVerdict::Refused,
                              delayUsed, m_c.buffers.CurrentCommand, reply,
                              std::string(command.LogWord)});
        if (accepted) {
            return LoopEnd::Accepted;
        }
        ++m_s.FailedAttempts;
        ++delay;
        ShowCalibration();
        if (m_c.buffers.AbortRequested) {
            return LoopEnd::Aborted;
        }
    }
    return LoopEnd::Exhausted;
}

void Flasher::ShowCalibration() {
    m_c.form.Label3 = texts::kCalibrationHead + std::to_string(m_s.EraseDelay) + "." +
                      std::to_string(m_s.WriteDelay) + "." + std::to_string(m_s.ProgramDelay);
    m_c.events.OnCalibration(
        {m_s.EraseDelay, m_s.WriteDelay, m_s.ProgramDelay, m_s.FailedAttempts});
}

void Flasher::ReportProgress(int64_t pagesDone, int64_t blocksDone) {
    const auto& info = m_c.info;
    m_s.Progress = {pagesDone,
                    info.PageCount,
                    blocksDone,
                    info.BlocksPerPage,
                    (pagesDone * info.BlocksPerPage + blocksDone) * info.BlockSize,
                    info.PageCount * info.BlocksPerPage * info.BlockSize};
    m_c.events.OnProgress(m_s.Progress);
}

FlashResult Flasher::Complete() {
    auto& form = m_c.form;
    m_c.host.BringToFront();
    // Every page is programmed: a device gone at its reset has taken the whole write.
    m_s.LeftAtReset = m_c.link.ResetDeviceMayLeave();
    form.ButtonConect.Enabled = true;
    form.cbPort.Enabled = true;
    form.cbBaudRate.Enabled = true;
    form.LabelNameOfHex = texts::kStatusDoneHead + m_c.host.LongTimeOfDay();
    try {
        m_c.port.ClosePort();
    } catch (const EComPort&) {
        if (!m_s.LeftAtReset) {
            throw;
        }
    }
    const std::string headline = texts::kDoneHead + m_c.host.LongTimeOfDay();
    ShowOutcome(m_c, OutcomeReason::Done,
                headline + texts::kDoneTail + (m_s.LeftAtReset ? texts::kLeftAtResetNote : ""),
                headline);
    form.ProgressbarReadWrite.SetProgress(0);
    form.ProgressbarWrite.SetPosition(0);
    form.Focus = FocusTarget::ButtonConect;
    form.ButtonWrite.Enabled = false;
    return FlashResult::Completed;
}

FlashResult Flasher::Interrupt() {
    EnableControlsAgain();
    m_c.form.LabelNameOfHex = texts::kStatusStopped;
    ShowOutcome(m_c, OutcomeReason::StopRequest,
                InterruptedText(m_page, m_c.info.PageCount, m_sentThisPage > 0));
    return FlashResult::Stopped;
}

void Flasher::EnableControlsAgain() {
    auto& form = m_c.form;
    form.cbPort.Enabled = true;
    form.cbBaudRate.Enabled = true;
    form.ButtonConect.Enabled = true;
    // The write never starts without an image, so one is loaded.
    form.ButtonWrite.Enabled = true;
}

FlashResult Flasher::Fail(const char* head) {
    auto& form = m_c.form;
    SignalWriteFailure();
    form.LabelNameOfHex =
        texts::kStatusFailedHead + FileNameOf(form.OpenDialogFileName) + texts::kStatusFailedTail;
    const std::string headline = head + HexAddress(m_s.WriteAddress);
    ShowOutcome(m_c, OutcomeReason::FailureRule, texts::kFailureLead + headline, headline);
    m_c.host.ShowMessage(texts::kPartialWarning);
    return FlashResult::Failed;
}

void Flasher::SignalWriteFailure() {
    auto& form = m_c.form;
    m_c.host.BringToFront();
    m_c.host.MessageBeep(BeepKind::Asterisk);
    for (const int hertz : kFailureToneHertz) {
        m_c.host.Tone(hertz, kFailureToneMs);
    }
    form.cbPort.Enabled = true;
    form.cbBaudRate.Enabled = true;
    form.ButtonConect.Enabled = true;
}

}  // namespace

FlashResult FlashDevice(DeviceContext& c, const std::shared_ptr<const FirmwareImage>& image,
                        FlashState& state) {
    if (c.stop.Requested()) {
        ShowOutcome(c, OutcomeReason::StopRequest, texts::kInterruptedNothingWritten);
        return FlashResult::Stopped;
    }
    if (c.buffers.DescriptionGarbled) {
        c.link.ResetDevice();
        c.port.ClosePort();
        ShowOutcome(c, OutcomeReason::GarbledDescription, texts::kDescriptionGarbled);
        return FlashResult::Refused;
    }
    const ReleaseVerdict verdict = CheckRelease(c.form.MemoAbout.Text());
    c.events.OnReleaseChecked(verdict);
    if (verdict != ReleaseVerdict::Older) {
        c.link.ResetDevice();
        c.port.ClosePort();
        if (verdict == ReleaseVerdict::Unknown) {
            ShowOutcome(c, OutcomeReason::UnknownRelease, texts::kReleaseUnknown);
        } else if (verdict == ReleaseVerdict::Same) {
            ShowOutcome(c, OutcomeReason::SameRelease, texts::kReleaseSame);
        } else {
            ShowOutcome(c, OutcomeReason::NewerRelease, texts::kReleaseNewer);
        }
        return FlashResult::Refused;
    }
    if (!ImageFillsDevice(image.get(), c.info)) {
        c.link.ResetDevice();
        c.port.ClosePort();
        c.host.MessageBeep(BeepKind::Hand);
        const bool missing = image == nullptr || image->Empty();
        ShowOutcome(c, missing ? OutcomeReason::NoImage : OutcomeReason::ImageTooSmall,
                    missing ? texts::kImageMissing : texts::kImageTooSmall);
        return FlashResult::Refused;
    }
    Flasher flasher(c, image.get(), state);
    return flasher.Run();
}

}  // namespace velor
