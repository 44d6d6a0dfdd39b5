#include "protocol/DeviceInfo.h"

#include "app/HexDigits.h"
#include "protocol/Frames.h"

namespace velor {

namespace {

// Characters first..first+count-1, counted from 1, cut at the end of the text.
std::string_view Field(std::string_view text, std::size_t first, std::size_t count) {
    return first - 1 < text.size() ? text.substr(first - 1, count) : std::string_view();
}

int64_t HexOrZero(std::string_view field) {
    if (field.empty()) {
        return 0;
    }
    int64_t value = 0;
    for (char c : field) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            return 0;
        }
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace

std::string ReplyCodeOf(std::string_view reply) {
    return std::string(Field(reply, 2, 2));
}

void FillDeviceInfo(std::string_view reply, DeviceInfo& info) {
    info.BootloaderVersion = Field(reply, 4, 2);
    info.InfoField1 = Field(reply, 6, 2);
    info.InfoField2 = Field(reply, 8, 2);
    info.BlocksPerPage = HexOrZero(Field(reply, 10, 2));
    info.BlockSize = HexOrZero(Field(reply, 12, 2));
    info.PageCount = HexOrZero(Field(reply, 14, 4));
    // Only a reply that is one frame can show that the device does not sign: a reply the line
    // doubled or joined to noise says nothing of it, and the check stays on.
    info.SignsReplies = ReplySigned(reply) || !OneFrame(reply);
}

}  // namespace velor
