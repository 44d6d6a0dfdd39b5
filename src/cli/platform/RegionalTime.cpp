#include "cli/platform/RegionalTime.h"

namespace velor::cli {

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

std::string RegionalLongTimeNow() {
    const std::tm local = LocalNow();
    return FormatLongTime(RegionalLongTimeFormat(), local.tm_hour, local.tm_min, local.tm_sec);
}

}  // namespace velor::cli
