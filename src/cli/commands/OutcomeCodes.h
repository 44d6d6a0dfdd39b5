#pragma once
// How a session's outcome becomes velor-flash's exit code, and which code of several is worst.

#include "cli/Commands.h"
#include "protocol/DeviceSession.h"

namespace velor::cli {

inline int ExitCodeOf(SessionOutcome outcome) {
    switch (outcome) {
        case SessionOutcome::Done:
            return kExitDone;
        case SessionOutcome::Stopped:
            return kExitStopped;
        case SessionOutcome::None:
        case SessionOutcome::Refused:
        case SessionOutcome::Failed:
            return kExitRefused;
    }
    return kExitRefused;
}

// The one set of outcome words of the JSON result, the gang table and the records: "done",
// "refused", "failed", "stopped", "port-error" or "error".
inline const char* OutcomeName(SessionOutcome outcome, int exitCode) {
    if (exitCode == kExitPortError) {
        return "port-error";
    }
    if (outcome == SessionOutcome::None) {
        return exitCode == kExitStopped ? "stopped" : "error";
    }
    return OutcomeKindName(OutcomeKindOf(outcome));
}

// Of two exit codes, the one that says more is wrong: a port error over a refusal or failure,
// those over a stop, a stop over done.
inline int WorseExitCode(int a, int b) {
    const auto rank = [](int code) {
        switch (code) {
            case kExitDone:
                return 0;
            case kExitStopped:
                return 1;
            case kExitRefused:
                return 2;
            case kExitPortError:
                return 3;
            default:
                return 4;
        }
    };
    return rank(b) > rank(a) ? b : a;
}

}  // namespace velor::cli
