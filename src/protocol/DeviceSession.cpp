#include "protocol/DeviceSession.h"

#include "app/Conversions.h"
#include "protocol/Flashing.h"
#include "protocol/Identification.h"
#include "protocol/Texts.h"
#include "serial/EComPort.h"

namespace velor {

namespace {

// Marks the window busy with a device operation for as long as it runs, exceptions included.
class ActivityScope {
  public:
    ActivityScope(MainWindowModel& form, DeviceActivity activity) : m_form(form) {
        m_form.Activity = activity;
    }
    ~ActivityScope() { m_form.Activity = DeviceActivity::Idle; }
    ActivityScope(const ActivityScope&) = delete;
    ActivityScope& operator=(const ActivityScope&) = delete;

    void Switch(DeviceActivity activity) { m_form.Activity = activity; }

  private:
    MainWindowModel& m_form;
};

SessionOutcome OutcomeOf(FlashResult result) {
    switch (result) {
        case FlashResult::Completed:
            return SessionOutcome::Done;
        case FlashResult::Refused:
            return SessionOutcome::Refused;
        case FlashResult::Failed:
            return SessionOutcome::Failed;
        case FlashResult::Stopped:
            return SessionOutcome::Stopped;
    }
    return SessionOutcome::None;
}

// Identification ends without a description: at a gate, or stopped before its next command.
SessionOutcome OutcomeOf(IdentifyResult result) {
    return result == IdentifyResult::Stopped ? SessionOutcome::Stopped : SessionOutcome::Refused;
}

}  // namespace

OutcomeReason PortErrorReason(const EComPort& e) {
    switch (e.Number()) {
        case TComMessage::PortBusy:
            // Refused for want of permission the port carries the advice beside the message.
            return e.Explained() ? OutcomeReason::Permission : OutcomeReason::PortBusy;
        case TComMessage::SetCommStateFailed:
            // What opens but takes no line settings is no serial port (/dev/null, a file).
            return OutcomeReason::NotASerialPort;
        case TComMessage::NonexistentPort:
            return OutcomeReason::PortMissing;
        default:
            return OutcomeReason::PortLost;
    }
}

OutcomeKind OutcomeKindOf(SessionOutcome outcome) {
    switch (outcome) {
        case SessionOutcome::Done:
            return OutcomeKind::Done;
        case SessionOutcome::Refused:
            return OutcomeKind::Refused;
        case SessionOutcome::Failed:
            return OutcomeKind::Failed;
        case SessionOutcome::Stopped:
            return OutcomeKind::Stopped;
        case SessionOutcome::None:
            break;
    }
    return OutcomeKind::Error;
}

void ShowOutcome(DeviceContext& c, OutcomeReason reason, const std::string& message,
                 const std::string& headline) {
    c.note = {reason, message, headline.empty() ? message : headline, true};
    c.host.ShowMessage(message);
}

DeviceSession::DeviceSession(MainWindowModel& form, IHost& host, TBComPort& port,
                             std::shared_ptr<const FirmwareImage>& image)
    : m_form(form),
      m_host(host),
      m_port(port),
      m_image(image),
      m_link(form, host, port, m_buffers, m_info),
      m_context{form, host, port, m_buffers, m_info, m_link, m_stop, m_events, m_note} {}

OperationEnded DeviceSession::EndOf(SessionOperation operation) const {
    OperationEnded end;
    end.Operation = operation;
    end.Kind = OutcomeKindOf(m_outcome);
    end.Reason = m_note.Reason;
    end.Message = m_note.Message;
    end.Headline = m_note.Headline;
    if (operation == SessionOperation::Write) {
        end.Progress = m_flash.Progress;
        end.Calibration = {m_flash.EraseDelay, m_flash.WriteDelay, m_flash.ProgramDelay,
                           m_flash.FailedAttempts};
    }
    return end;
}

template <typename Operation>
void DeviceSession::Run(SessionOperation operation, Operation&& body) {
    m_outcome = SessionOutcome::None;
    m_note = OutcomeNote{};
    m_events.OnStarted({operation, m_form.cbPort.Text(),
                        BaudRateValue(BaudRateForIndex(m_form.cbBaudRate.ItemIndex))});
    try {
        body();
    } catch (const EComPort& e) {
        OperationEnded end = EndOf(operation);
        end.Kind = OutcomeKind::PortError;
        end.Reason = PortErrorReason(e);
        end.Message = end.Headline = ErrorBoxText(e.what());
        end.PortMessage = static_cast<int>(e.Number());
        end.OsError = e.OsError();
        m_events.OnEnded(end);
        throw;
    } catch (const std::exception& e) {
        OperationEnded end = EndOf(operation);
        end.Kind = OutcomeKind::Error;
        end.Reason = OutcomeReason::OtherError;
        end.Message = end.Headline = ErrorBoxText(e.what());
        m_events.OnEnded(end);
        throw;
    }
    m_events.OnEnded(EndOf(operation));
}

void DeviceSession::ButtonConectClick() {
    if (m_form.Activity != DeviceActivity::Idle) {
        return;
    }
    ActivityScope busy(m_form, DeviceActivity::Identifying);
    Run(SessionOperation::Detect, [this] {
        m_host.MessageBeep(BeepKind::Question);
        const IdentifyResult identified = IdentifyDevice(m_context, IdentifyVariant::Detect);
        if (identified != IdentifyResult::Described) {
            m_outcome = OutcomeOf(identified);
            return;
        }
        m_form.ButtonOpenHex.Enabled = true;
        m_host.MessageBeep(BeepKind::Asterisk);
        ShowOutcome(m_context, OutcomeReason::Done, texts::kDetectedHead + m_form.MemoAbout.Text());
        m_host.ShowMessage(texts::kDetectPaused);
        m_form.LabelNameOfHex = texts::kStatusOpenHex;
        m_form.Focus = FocusTarget::ButtonOpenHex;
        m_outcome = SessionOutcome::Done;
    });
}

void DeviceSession::ButtonWriteClick() {
    if (m_form.Activity != DeviceActivity::Idle) {
        return;
    }
    ActivityScope busy(m_form, DeviceActivity::Identifying);
    m_flash = FlashState{};
    Run(SessionOperation::Write, [this, &busy] {
        // The write keeps the image it was started with; one loaded meanwhile serves the next.
        const std::shared_ptr<const FirmwareImage> image = m_image;
        const IdentifyResult identified = IdentifyDevice(m_context, IdentifyVariant::Write);
        if (identified != IdentifyResult::Described) {
            m_outcome = OutcomeOf(identified);
            return;
        }
        busy.Switch(DeviceActivity::Writing);
        const FlashResult result = FlashDevice(m_context, image, m_flash);
        m_outcome = OutcomeOf(result);
        if ((result == FlashResult::Completed || result == FlashResult::Failed) &&
            m_image != image) {
            m_form.ButtonWrite.Enabled = true;
        }
    });
}

void DeviceSession::StopKey() {
    if (m_form.ProgressbarReadWrite.Progress() == 0) {
        return;
    }
    m_buffers.AbortRequested = true;
    m_form.ButtonConect.Enabled = true;
    m_form.ButtonOpenHex.Enabled = true;
    m_form.ButtonWrite.Enabled = true;
    m_form.cbPort.Enabled = true;
    m_form.cbBaudRate.Enabled = true;
    m_form.LabelNameOfHex = texts::kStatusStopped;
    ShowOutcome(m_context, OutcomeReason::StopKey, texts::kStopped);
}

void DeviceSession::ResetKey() {
    if (m_form.Activity != DeviceActivity::Idle) {
        return;
    }
    Run(SessionOperation::Reset, [this] {
        OpenChosenPort(m_port, m_form);
        const bool answered = m_link.ResetDevice();
        m_port.ClosePort();
        // The window shows its message either way; the end tells whether anything answered.
        ShowOutcome(m_context, answered ? OutcomeReason::Done : OutcomeReason::NoReply,
                    texts::kDeviceReset);
        m_outcome = answered ? SessionOutcome::Done : SessionOutcome::Refused;
    });
}

}  // namespace velor
