#pragma once
// The flashing of an identified device: the release gate, then erase, write and program page by
// page with calibrated retries, then the reset.

#include <memory>

#include "firmware/FirmwareImage.h"
#include "protocol/DeviceContext.h"
#include "protocol/ReplyLatency.h"
#include "protocol/SessionEvents.h"

namespace velor {

enum class FlashResult {
    Refused,    // the release gate said no
    Completed,  // written, reset, reported
    Failed,     // the failure rule condemned a command
    Stopped,    // the stop key or a stop request was seen
};

// The state of one flashing; created afresh by every one. The session keeps it after the end, so
// that a front end can report the failed attempts and the calibration.
struct FlashState {
    int64_t WriteAddress = 0;
    int64_t FailedAttempts = 0;
    int EraseDelay = 0;
    int WriteDelay = 0;
    int ProgramDelay = 0;
    bool LeftAtReset = false;     // every page written, the device left the line at its reset
    ReplyLatency Replies;         // of the accepted flashing replies
    WriteProgressEvent Progress;  // as last reported
};

inline constexpr int kAttemptsPerCommand = 400;
inline constexpr int64_t kFailureLimit = 400;  // failed attempts in all that fail the flashing

// From the release gate on, after IdentifyDevice(Write) described the device. The write reads
// `image` throughout, whatever is loaded meanwhile. An image that is empty or smaller than the
// device's pages is refused like a release the gate refuses, before any erase. c.stop is
// honoured before every command, with a message that says what the device holds. EComPort and
// EConvertError pass through; one raised while writing first hands the controls back.
// state is reset at the start of the writing and kept current as it goes.
FlashResult FlashDevice(DeviceContext& c, const std::shared_ptr<const FirmwareImage>& image,
                        FlashState& state);

}  // namespace velor
