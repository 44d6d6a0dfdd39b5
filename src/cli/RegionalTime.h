#pragma once
// The regional long time format of the user running velor-flash (the C library's locale on
// POSIX, the user's regional settings on Windows).

#include "app/LongTimeFormat.h"

namespace velor::cli {

LongTimeFormat RegionalLongTimeFormat();

}  // namespace velor::cli
