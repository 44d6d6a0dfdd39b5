#include "cli/platform/RegionalTime.h"

namespace velor::cli {

std::string RegionalLongTimeNow() {
    return LongTimeNow(RegionalLongTimeFormat());
}

}  // namespace velor::cli
