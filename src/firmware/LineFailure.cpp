#include "firmware/LineFailure.h"

#include <string>

#include "app/Ansi.h"
#include "firmware/FirmwareMessages.h"

namespace velor {

std::string LineMessage(std::string_view prefix, std::size_t lineNumber, std::string_view line) {
    std::string text(prefix);
    text += std::to_string(lineNumber);
    text += "! (";
    text += AnsiToUtf8(line);
    text += ')';
    return text;
}

std::size_t LineNumberOf(std::string_view message) {
    static constexpr std::string_view kPrefixes[] = {
        kParityPrefix,    kChecksumPrefix,     kStartLinearPrefix, kShortRecordPrefix,
        kShortDataPrefix, kOutsideImagePrefix, kNotHexDataPrefix,
    };
    for (const std::string_view prefix : kPrefixes) {
        if (!message.starts_with(prefix)) {
            continue;
        }
        std::size_t number = 0;
        std::size_t i = prefix.size();
        for (; i < message.size() && message[i] >= '0' && message[i] <= '9'; ++i) {
            number = number * 10 + static_cast<std::size_t>(message[i] - '0');
        }
        return i < message.size() && message[i] == '!' ? number : 0;
    }
    return 0;
}

bool RefuseLine(std::string_view prefix, std::size_t index, std::string_view line, TsGauge& gauge,
                IHost& host) {
    host.MessageBeep(BeepKind::Hand);
    host.ShowMessage(LineMessage(prefix, index + 1, line));
    gauge.SetProgress(0);
    return false;
}

}  // namespace velor
