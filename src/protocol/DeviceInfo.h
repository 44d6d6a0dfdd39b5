#pragma once
// What the identify reply tells of the device.

#include <cstdint>
#include <string>
#include <string_view>

namespace velor {

struct DeviceInfo {
    std::string BootloaderVersion;  // characters 4-5, as they stand
    std::string InfoField1;         // characters 6-7, not used further
    std::string InfoField2;         // characters 8-9, not used further
    int64_t BlocksPerPage = 0;      // characters 10-11, hexadecimal
    int64_t BlockSize = 0;          // characters 12-13, hexadecimal
    int64_t PageCount = 0;          // characters 14-17, hexadecimal
    // The device signs its replies, so a flashing reply counts only with its own check digits
    // right and the description is asked for again until it comes signed. Off only when the
    // identify reply was one frame without them.
    bool SignsReplies = false;
};

// Characters 2-3 of a reply (what of them there is).
std::string ReplyCodeOf(std::string_view reply);

// Fills every field from an identify reply. Fields past the end of the reply take what is there
// (possibly nothing); a numeric field that is not wholly hexadecimal reads 0.
void FillDeviceInfo(std::string_view reply, DeviceInfo& info);

}  // namespace velor
