#include "protocol/SessionEvents.h"

#include <algorithm>

namespace velor {

void SessionEventFanOut::Remove(ISessionEvents& listener) {
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), &listener),
                      m_listeners.end());
}

void SessionEventFanOut::OnStarted(const OperationStarted& e) {
    Each([&](ISessionEvents& l) { l.OnStarted(e); });
}

void SessionEventFanOut::OnIdentified(const DeviceIdentified& e) {
    Each([&](ISessionEvents& l) { l.OnIdentified(e); });
}

void SessionEventFanOut::OnReleaseChecked(ReleaseVerdict v) {
    Each([&](ISessionEvents& l) { l.OnReleaseChecked(v); });
}

void SessionEventFanOut::OnAttempt(const FlashAttemptEvent& e) {
    Each([&](ISessionEvents& l) { l.OnAttempt(e); });
}

void SessionEventFanOut::OnCalibration(const CalibrationChanged& e) {
    Each([&](ISessionEvents& l) { l.OnCalibration(e); });
}

void SessionEventFanOut::OnProgress(const WriteProgressEvent& e) {
    Each([&](ISessionEvents& l) { l.OnProgress(e); });
}

void SessionEventFanOut::OnPortErrorReport(const std::string& text) {
    Each([&](ISessionEvents& l) { l.OnPortErrorReport(text); });
}

void SessionEventFanOut::OnEnded(const OperationEnded& e) {
    Each([&](ISessionEvents& l) { l.OnEnded(e); });
}

const char* OutcomeKindName(OutcomeKind kind) {
    switch (kind) {
        case OutcomeKind::Done:
            return "done";
        case OutcomeKind::Refused:
            return "refused";
        case OutcomeKind::Failed:
            return "failed";
        case OutcomeKind::Stopped:
            return "stopped";
        case OutcomeKind::PortError:
            return "port-error";
        case OutcomeKind::Error:
            break;
    }
    return "error";
}

const char* OutcomeReasonName(OutcomeReason reason) {
    switch (reason) {
        case OutcomeReason::Done:
            return "done";
        case OutcomeReason::NoReply:
            return "no-reply";
        case OutcomeReason::UnknownBootloader:
            return "unknown-bootloader";
        case OutcomeReason::SameRelease:
            return "same-release";
        case OutcomeReason::NewerRelease:
            return "newer-release";
        case OutcomeReason::UnknownRelease:
            return "unknown-release";
        case OutcomeReason::GarbledDescription:
            return "garbled-description";
        case OutcomeReason::NoImage:
            return "no-image";
        case OutcomeReason::ImageTooSmall:
            return "image-too-small";
        case OutcomeReason::BadFirmware:
            return "bad-firmware";
        case OutcomeReason::FailureRule:
            return "failure-rule";
        case OutcomeReason::StopKey:
        case OutcomeReason::StopRequest:
            return "stopped";
        case OutcomeReason::PortBusy:
            return "port-busy";
        case OutcomeReason::Permission:
            return "permission";
        case OutcomeReason::NotASerialPort:
            return "not-a-serial-port";
        case OutcomeReason::PortMissing:
            return "port-missing";
        case OutcomeReason::PortLost:
            return "port-lost";
        case OutcomeReason::OtherError:
            break;
    }
    return "error";
}

}  // namespace velor
