#include <windows.h>

#include <string>

#include "cli/platform/RegionalTime.h"

namespace velor::cli {

namespace {

std::string LocaleText(LCTYPE item, const char* fallback) {
    char buffer[80];
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, item, buffer, sizeof buffer);
    return n > 1 ? std::string(buffer, static_cast<std::size_t>(n - 1)) : std::string(fallback);
}

}  // namespace

LongTimeFormat RegionalLongTimeFormat() {
    LongTimeFormat format;
    format.Separator = LocaleText(LOCALE_STIME, ":");
    format.TwelveHour = LocaleText(LOCALE_ITIME, "1") == "0";
    format.HourLeadingZero = LocaleText(LOCALE_ITLZERO, "1") == "1";
    format.MarkerFirst = LocaleText(LOCALE_ITIMEMARKPOSN, "0") == "1";
    format.AmText = LocaleText(LOCALE_S1159, "AM");
    format.PmText = LocaleText(LOCALE_S2359, "PM");
    return format;
}

}  // namespace velor::cli
