#include <langinfo.h>

#include "cli/platform/RegionalTime.h"

namespace velor::cli {

LongTimeFormat RegionalLongTimeFormat() {
    // T_FMT is what %X writes; main() has applied the user's LC_TIME.
    return LongTimeFormatFromStrftime(nl_langinfo(T_FMT), nl_langinfo(AM_STR), nl_langinfo(PM_STR));
}

}  // namespace velor::cli
