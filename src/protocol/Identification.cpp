#include "protocol/Identification.h"

#include "app/Ansi.h"
#include "protocol/Description.h"
#include "protocol/Frames.h"
#include "protocol/PortSetup.h"
#include "protocol/Texts.h"

namespace velor {

namespace {

constexpr std::string_view kKnownBootloader = "02";

// The gauge during identification: a tenth per wake-up and per identify command, a fifth for the
// description.
constexpr int kIdentifyGaugeMax = 100;
constexpr int kGaugeStepPerCommand = 10;
constexpr int kGaugeStepDescription = 20;

void ShowReadyAgain(DeviceContext& c) {
    c.form.LabelNameOfHex = texts::kStatusReady;
    c.form.ProgressbarReadWrite.SetProgress(0);
}

IdentifyResult Stopped(DeviceContext& c) {
    ShowOutcome(c, OutcomeReason::StopRequest, texts::kInterruptedNothingWritten);
    return IdentifyResult::Stopped;
}

}  // namespace

IdentifyResult IdentifyDevice(DeviceContext& c, IdentifyVariant variant) {
    auto& form = c.form;
    auto& gauge = form.ProgressbarReadWrite;
    OpenChosenPort(c.port, form);
    form.ProgressbarWrite.SetPosition(0);
    form.Label3 = kCalibrationZero;
    gauge.SetMaxValue(kIdentifyGaugeMax);
    gauge.SetProgress(0);

    for (int i = 0; i < kWakeUpCount; ++i) {
        if (c.stop.Requested()) {
            return Stopped(c);
        }
        c.link.Send(kWakeUp);
        gauge.AddProgress(kGaugeStepPerCommand);
        c.host.Sleep(kWakeUpWaitMs);
    }
    c.host.ProcessEvents();

    auto& reply = c.buffers.IdReply;
    std::string previous;
    for (int i = 0; i < kIdentifyTries; ++i) {
        if (c.stop.Requested()) {
            return Stopped(c);
        }
        c.link.Send(kIdentifyFrame);
        gauge.AddProgress(kGaugeStepPerCommand);
        c.host.Sleep(kIdentifyWaitMs);
        c.port.ReadText(reply, kIdentifyReadCount);
        if (IdentifyReplySettled(reply, previous)) {
            break;
        }
        previous = reply;
    }
    c.buffers.ReplyCode = ReplyCodeOf(reply);
    c.host.BringToFront();

    if (c.buffers.ReplyCode != kIdentifyReply) {
        c.host.MessageBeep(BeepKind::Hand);
        ShowReadyAgain(c);
        form.TextTerminal.Clear();
        form.MemoAbout.Clear();
        c.port.ClosePort();
        ShowOutcome(
            c, OutcomeReason::NoReply,
            variant == IdentifyVariant::Detect ? texts::kNotFoundDetect : texts::kNotFoundWrite);
        gauge.SetProgress(0);
        return IdentifyResult::NotFound;
    }

    FillDeviceInfo(reply, c.info);
    if (c.info.BootloaderVersion != kKnownBootloader) {
        c.host.MessageBeep(BeepKind::Asterisk);
        ShowReadyAgain(c);
        if (variant == IdentifyVariant::Write) {
            form.ButtonOpenHex.Enabled = false;
        }
        form.TextTerminal.Clear();
        form.MemoAbout.Clear();
        ShowOutcome(c, OutcomeReason::UnknownBootloader,
                    AnsiToUtf8(c.info.BootloaderVersion) + texts::kUnknownBootloader);
        gauge.SetProgress(0);
        return IdentifyResult::UnknownVersion;
    }

    if (c.stop.Requested()) {
        return Stopped(c);
    }
    ReadDescription(c, variant);
    c.events.OnIdentified({AnsiToUtf8(c.info.BootloaderVersion), c.info.PageCount,
                           c.info.BlocksPerPage, c.info.BlockSize, form.MemoAbout.Text()});
    return IdentifyResult::Described;
}

void ReadDescription(DeviceContext& c, IdentifyVariant variant) {
    auto& form = c.form;
    form.MemoAbout.Clear();
    c.buffers.ReplyCode.clear();
    auto& reply = c.buffers.IdReply;
    c.link.Send(kDescribeFrame);
    form.ProgressbarReadWrite.AddProgress(kGaugeStepDescription);
    c.host.Sleep(kDescribeWaitMs);
    c.port.ReadText(reply, kDescribeReadCount);
    c.buffers.ReplyCode = ReplyCodeOf(reply);
    reply = DescriptionBody(reply);
    form.ProgressbarReadWrite.SetProgress(0);
    ShowDescription(reply, form.MemoAbout,
                    variant == IdentifyVariant::Detect ? texts::kNoDescriptionDetect
                                                       : texts::kNoDescriptionWrite);
}

}  // namespace velor
