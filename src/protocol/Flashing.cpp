#include "protocol/Flashing.h"

#include <string>

#include "protocol/Frames.h"
#include "protocol/ReleaseGate.h"
#include "protocol/Texts.h"

namespace velor {

namespace {

// The state of one flashing; created afresh by every one.
struct FlashState {
    int64_t WriteAddress = 0;
    int64_t FailedAttempts = 0;
    int EraseDelay = 0;
    int WriteDelay = 0;
    int ProgramDelay = 0;
};

// The name and extension of a chosen file, without its folder.
std::string FileNameOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

enum class LoopEnd { Accepted, Exhausted, Aborted };

class Flasher {
  public:
    Flasher(DeviceContext& c, const FirmwareImage* image) : m_c(c), m_image(image) {}

    FlashResult Run();

  private:
    void Start();
    // Retries CurrentCommand until accepted, 400 tries spent or the stop seen.
    LoopEnd RetryLoop(const FlashCommand& command, int& delay);
    void ShowCalibration();
    FlashResult Complete();
    FlashResult Fail(const char* head);
    void SignalWriteFailure();

    DeviceContext& m_c;
    const FirmwareImage* m_image;  // null: an empty image
    FlashState m_s;
    std::string m_body;
};

FlashResult Flasher::Run() {
    auto& form = m_c.form;
    auto& buffers = m_c.buffers;
    const auto& info = m_c.info;
    Start();
    for (int64_t page = 0; page < info.PageCount; ++page) {
        m_c.host.ProcessEvents();
        if (buffers.AbortRequested) {
            return FlashResult::Stopped;
        }
        m_body.assign(kEraseCode);
        m_body += HexAddress(m_s.WriteAddress);
        MakeFrameInto(buffers.CurrentCommand, m_body);
        if (RetryLoop(kEraseCommand, m_s.EraseDelay) == LoopEnd::Aborted) {
            return FlashResult::Stopped;
        }
        if (m_s.FailedAttempts >= kFailureLimit) {
            return Fail(texts::kEraseFailed);
        }
        form.ProgressbarWrite.SetMax(static_cast<int>(info.BlocksPerPage));
        form.ProgressbarWrite.SetPosition(0);
        for (int64_t block = 1; block <= info.BlocksPerPage; ++block) {
            m_c.host.ProcessEvents();
            m_body.assign(kWriteCode);
            AppendHexByte(m_body, static_cast<unsigned>(block));
            if (m_image != nullptr) {
                m_body += m_image->Read(m_s.WriteAddress, info.BlockSize);
            }
            MakeFrameInto(buffers.CurrentCommand, m_body);
            const LoopEnd written = RetryLoop(kWriteCommand, m_s.WriteDelay);
            if (written == LoopEnd::Aborted) {
                return FlashResult::Stopped;
            }
            form.ProgressbarWrite.SetPosition(form.ProgressbarWrite.Position + 1);
            if (m_s.FailedAttempts >= kFailureLimit) {
                return Fail(texts::kWriteFailed);
            }
            buffers.CurrentCommand.assign(kProgramFrame);
            if (RetryLoop(kProgramCommand, m_s.ProgramDelay) == LoopEnd::Aborted) {
                return FlashResult::Stopped;
            }
            if (m_s.FailedAttempts >= kFailureLimit) {
                return Fail(texts::kProgramFailed);
            }
            m_s.WriteAddress += info.BlockSize;
        }
        form.ProgressbarReadWrite.AddProgress(1);
    }
    return Complete();
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
}

LoopEnd Flasher::RetryLoop(const FlashCommand& command, int& delay) {
    for (int attempt = 0; attempt < kAttemptsPerCommand; ++attempt) {
        if (m_c.link.FlashAttempt(command, delay)) {
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
}

FlashResult Flasher::Complete() {
    auto& form = m_c.form;
    m_c.host.BringToFront();
    m_c.link.ResetDevice();
    form.ButtonConect.Enabled = true;
    form.cbPort.Enabled = true;
    form.cbBaudRate.Enabled = true;
    form.LabelNameOfHex = texts::kStatusDoneHead + m_c.host.LongTimeOfDay();
    m_c.port.ClosePort();
    m_c.host.ShowMessage(texts::kDoneHead + m_c.host.LongTimeOfDay() + texts::kDoneTail);
    form.ProgressbarReadWrite.SetProgress(0);
    form.ProgressbarWrite.SetPosition(0);
    form.Focus = FocusTarget::ButtonConect;
    form.ButtonWrite.Enabled = false;
    return FlashResult::Completed;
}

FlashResult Flasher::Fail(const char* head) {
    auto& form = m_c.form;
    SignalWriteFailure();
    form.LabelNameOfHex =
        texts::kStatusFailedHead + FileNameOf(form.OpenDialogFileName) + texts::kStatusFailedTail;
    m_c.host.ShowMessage(texts::kFailureLead + std::string(head) + HexAddress(m_s.WriteAddress));
    m_c.host.ShowMessage(texts::kPartialWarning);
    return FlashResult::Failed;
}

void Flasher::SignalWriteFailure() {
    auto& form = m_c.form;
    m_c.host.BringToFront();
    m_c.host.MessageBeep(BeepKind::Asterisk);
    m_c.host.Tone(1200, 200);
    m_c.host.Tone(800, 200);
    m_c.host.Tone(500, 200);
    form.cbPort.Enabled = true;
    form.cbBaudRate.Enabled = true;
    form.ButtonConect.Enabled = true;
}

}  // namespace

FlashResult FlashDevice(DeviceContext& c, const std::shared_ptr<const FirmwareImage>& image) {
    const ReleaseVerdict verdict = CheckRelease(c.form.MemoAbout.Text());
    if (verdict != ReleaseVerdict::Older) {
        c.link.ResetDevice();
        c.port.ClosePort();
        c.host.ShowMessage(verdict == ReleaseVerdict::Unknown ? texts::kReleaseUnknown
                           : verdict == ReleaseVerdict::Same  ? texts::kReleaseSame
                                                              : texts::kReleaseNewer);
        return FlashResult::Refused;
    }
    Flasher flasher(c, image.get());
    return flasher.Run();
}

}  // namespace velor
