#pragma once
// How the checks and the build refuse a line of the firmware text.

#include <cstddef>
#include <string_view>

#include "app/Host.h"
#include "skin/TsGauge.h"

namespace velor {

// Hand beep, the message for the line at 0-based index, gauge Progress 0. Returns false, so
// callers can `return RefuseLine(...)`.
bool RefuseLine(std::string_view prefix, std::size_t index, std::string_view line, TsGauge& gauge,
                IHost& host);

}  // namespace velor
