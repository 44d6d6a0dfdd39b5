#pragma once
// The regional long time format of the completion time: hour, minutes and seconds with the
// regional separator, and the morning/afternoon marker only with a 12-hour clock; never a zone
// or anything else a platform's pattern may add. Every front end reads its platform's settings
// into a LongTimeFormat and writes the time with FormatLongTime.

#include <ctime>
#include <string>
#include <string_view>

namespace velor {

struct LongTimeFormat {
    std::string Separator = ":";
    bool HourLeadingZero = true;
    bool TwelveHour = false;
    bool MarkerFirst = false;  // the marker stands before the time (with a blank)
    std::string AmText = "AM";
    std::string PmText = "PM";
};

// From a pattern in Qt's notation ("HH:mm:ss t", "h:mm:ss AP t", "AP h:mm:ss"): h/hh, H/HH, the
// separator between hour and minutes, AP/ap/A/a for the marker (ap and a in lower case). A
// pattern without an hour gives the defaults.
LongTimeFormat LongTimeFormatFromPattern(std::string_view pattern, std::string amText,
                                         std::string pmText);

// From a strftime pattern as the C library's locale defines %X ("%H:%M:%S", "%I:%M:%S %p",
// "%r", "%T", "%l:%M:%S %p", "%p %I:%M:%S").
LongTimeFormat LongTimeFormatFromStrftime(std::string_view pattern, std::string amText,
                                          std::string pmText);

// hour 0..23, minute and second 0..59.
std::string FormatLongTime(const LongTimeFormat& format, int hour, int minute, int second);

// Now, in local time.
std::tm LocalNow();
// Now, in local time, in format.
std::string LongTimeNow(const LongTimeFormat& format);

}  // namespace velor
