#pragma once
// Turns a checked Intel HEX text into the device memory image.

#include <string_view>

#include "app/EventPump.h"
#include "app/Host.h"
#include "firmware/FirmwareImage.h"
#include "firmware/HexLines.h"
#include "skin/TsGauge.h"

namespace velor {

// Fills `image` (every byte "FF") and places the data records at their addresses, with extended
// segment and extended linear addressing; only the second digit of the record type decides.
// Returns true at an end-of-file record or after the last line. Returns false, after a hand beep
// and a message naming the line (gauge Progress 0), on a start linear address record, a record
// line too short for a record type, a data record with fewer data characters than its count or
// data that would land outside the image. A count, offset or address field that isn't
// hexadecimal raises EConvertError. In every stopped case `image` holds a partial build: pass a
// fresh image and keep it only when this returned true.
bool BuildFirmwareImage(const HexLines& lines, TsGauge& gauge, IHost& host, EventPump& pump,
                        FirmwareImage& image);

}  // namespace velor
