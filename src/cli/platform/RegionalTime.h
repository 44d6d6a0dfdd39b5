#pragma once
// The regional long time format of the user running velor-flash (the C library's locale on
// POSIX, the user's regional settings on Windows).

#include <ctime>
#include <string>

#include "app/LongTimeFormat.h"

namespace velor::cli {

LongTimeFormat RegionalLongTimeFormat();

// Now, in local time, in the regional long time format (what the window's clock would show).
std::string RegionalLongTimeNow();

}  // namespace velor::cli
