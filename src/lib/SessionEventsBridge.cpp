#include "lib/SessionEventsBridge.h"

namespace velor::lib {

namespace {

velor_event Blank(velor_event_type type) {
    velor_event event{};
    event.type = type;
    event.text = "";
    return event;
}

void PutCalibration(velor_event& event, const CalibrationChanged& c) {
    event.erase_delay = c.EraseDelay;
    event.write_delay = c.WriteDelay;
    event.program_delay = c.ProgramDelay;
    event.failed_attempts = c.FailedAttempts;
}

void PutProgress(velor_event& event, const WriteProgressEvent& p) {
    event.percent = p.Percent();
    event.pages_done = p.PagesDone;
    event.pages = p.Pages;
    event.bytes = p.Bytes;
    event.bytes_total = p.BytesTotal;
}

}  // namespace

int KindCode(OutcomeKind kind) {
    switch (kind) {
        case OutcomeKind::Done:
            return VELOR_OUTCOME_DONE;
        case OutcomeKind::Refused:
            return VELOR_OUTCOME_REFUSED;
        case OutcomeKind::Failed:
            return VELOR_OUTCOME_FAILED;
        case OutcomeKind::Stopped:
            return VELOR_OUTCOME_STOPPED;
        case OutcomeKind::PortError:
            return VELOR_OUTCOME_PORT_ERROR;
        case OutcomeKind::Error:
            break;
    }
    return VELOR_OUTCOME_ERROR;
}

int ReasonCode(OutcomeReason reason) {
    switch (reason) {
        case OutcomeReason::Done:
            return VELOR_REASON_DONE;
        case OutcomeReason::NoReply:
            return VELOR_REASON_NO_REPLY;
        case OutcomeReason::UnknownBootloader:
            return VELOR_REASON_UNKNOWN_DEVICE;
        case OutcomeReason::SameRelease:
            return VELOR_REASON_SAME_RELEASE;
        case OutcomeReason::NewerRelease:
            return VELOR_REASON_NEWER_RELEASE;
        case OutcomeReason::UnknownRelease:
            return VELOR_REASON_UNKNOWN_RELEASE;
        case OutcomeReason::GarbledDescription:
            return VELOR_REASON_GARBLED_DESCRIPTION;
        case OutcomeReason::NoImage:
        case OutcomeReason::ImageTooSmall:
            return VELOR_REASON_NO_IMAGE;
        case OutcomeReason::FailureRule:
            return VELOR_REASON_FAILURE_RULE;
        case OutcomeReason::StopKey:
        case OutcomeReason::StopRequest:
            return VELOR_REASON_STOPPED;
        case OutcomeReason::PortBusy:
        case OutcomeReason::Permission:
            return VELOR_REASON_PORT_BUSY;
        case OutcomeReason::PortMissing:
            return VELOR_REASON_PORT_MISSING;
        case OutcomeReason::PortLost:
        case OutcomeReason::NotASerialPort:
            return VELOR_REASON_PORT_LOST;
        case OutcomeReason::BadFirmware:
        case OutcomeReason::OtherError:
            break;
    }
    return VELOR_REASON_ERROR;
}

void SessionEventsBridge::Call(velor_event& event) {
    if (m_callback == nullptr) {
        return;
    }
    try {
        m_callback(&event, m_user);
    } catch (...) {
        m_stop = true;
    }
}

void SessionEventsBridge::OnStarted(const OperationStarted&) {
    velor_event event = Blank(VELOR_EVENT_STARTED);
    Call(event);
}

void SessionEventsBridge::OnIdentified(const DeviceIdentified& e) {
    m_identified = true;
    m_device = e;
    velor_event event = Blank(VELOR_EVENT_IDENTIFIED);
    event.pages = e.Pages;
    event.text = m_device.Description.c_str();
    Call(event);
}

void SessionEventsBridge::OnAttempt(const FlashAttemptEvent& e) {
    velor_event event = Blank(VELOR_EVENT_ATTEMPT);
    event.attempt_command = static_cast<int>(e.Command);
    event.attempt_verdict = static_cast<int>(e.Verdict);
    event.page = e.Page;
    event.block = e.Block;
    Call(event);
}

void SessionEventsBridge::OnCalibration(const CalibrationChanged& e) {
    velor_event event = Blank(VELOR_EVENT_CALIBRATION);
    PutCalibration(event, e);
    Call(event);
}

void SessionEventsBridge::OnProgress(const WriteProgressEvent& e) {
    velor_event event = Blank(VELOR_EVENT_PROGRESS);
    PutProgress(event, e);
    Call(event);
}

void SessionEventsBridge::OnEnded(const OperationEnded& e) {
    m_ended = true;
    m_end = e;
    velor_event event = Blank(VELOR_EVENT_ENDED);
    PutProgress(event, e.Progress);
    PutCalibration(event, e.Calibration);
    event.kind = KindCode(e.Kind);
    event.reason = ReasonCode(e.Reason);
    event.text = m_end.Message.c_str();
    Call(event);
}

}  // namespace velor::lib
