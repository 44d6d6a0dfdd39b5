#pragma once
// The line checks of an Intel HEX text, run before any of it is turned into the memory image.

#include <string>
#include <string_view>

#include "app/EventPump.h"
#include "app/Host.h"
#include "firmware/HexLines.h"
#include "skin/TsGauge.h"

namespace velor {

// The two upper-case hex digits of the low byte of the sum of the text's two-character pairs.
// A pair that isn't two hex digits adds 0. The text should have an even length; a lone last
// character adds 0 as well.
std::string HexByteSum(std::string_view text);

// The lines of an 8-bit text, split at CR LF, CR or LF; a break at the very end adds no empty
// line. The views point into text.
HexLines SplitLines(std::string_view text);
// SplitLines(text).size().
std::size_t CountLines(std::string_view text);

// Tests every record line (one beginning with ":") for an even number of characters after the
// colon and for its checksum, stepping the gauge once per line. The first failing line is
// reported through the host (hand beep, message naming it) and resets the gauge; then false.
// A checksum field that isn't hexadecimal raises EConvertError; n = 0 lines raises ERangeError.
bool CheckFirmwareText(const HexLines& lines, TsGauge& gauge, IHost& host, EventPump& pump);

}  // namespace velor
