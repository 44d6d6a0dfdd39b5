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

bool RefuseLine(std::string_view prefix, std::size_t index, std::string_view line, TsGauge& gauge,
                IHost& host) {
    host.MessageBeep(BeepKind::Hand);
    host.ShowMessage(LineMessage(prefix, index + 1, line));
    gauge.SetProgress(0);
    return false;
}

}  // namespace velor
