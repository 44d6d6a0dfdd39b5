#include "app/LongTimeFormat.h"

#include <cctype>

namespace velor {

namespace {

std::string TwoDigits(int value) {
    return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

LongTimeFormat LongTimeFormatFromPattern(std::string_view pattern, std::string amText,
                                         std::string pmText) {
    LongTimeFormat format;
    format.AmText = std::move(amText);
    format.PmText = std::move(pmText);
    const auto hour = pattern.find_first_of("hH");
    const auto marker = pattern.find_first_of("aA");
    if (hour == std::string_view::npos) {
        return format;
    }
    std::size_t hourEnd = hour;
    while (hourEnd < pattern.size() && pattern[hourEnd] == pattern[hour]) {
        ++hourEnd;
    }
    format.HourLeadingZero = hourEnd - hour >= 2;
    // Lower-case "h" follows the marker's clock; "H" is always the 24-hour clock.
    format.TwelveHour = pattern[hour] == 'h' && marker != std::string_view::npos;
    const auto minutes = pattern.find('m', hourEnd);
    if (minutes != std::string_view::npos) {
        std::string separator;
        for (std::size_t i = hourEnd; i < minutes; ++i) {
            if (pattern[i] != '\'') {
                separator += pattern[i];
            }
        }
        format.Separator = separator;
    }
    if (format.TwelveHour) {
        format.MarkerFirst = marker < hour;
        const bool lower = pattern[marker] == 'a';
        if (lower) {
            format.AmText = Lower(format.AmText);
            format.PmText = Lower(format.PmText);
        }
    }
    return format;
}

LongTimeFormat LongTimeFormatFromStrftime(std::string_view pattern, std::string amText,
                                          std::string pmText) {
    // The composite conversions, spelt out.
    std::string spelt;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            const char c = pattern[i + 1];
            if (c == 'T') {
                spelt += "%H:%M:%S";
                ++i;
                continue;
            }
            if (c == 'r') {
                spelt += "%I:%M:%S %p";
                ++i;
                continue;
            }
        }
        spelt += pattern[i];
    }
    LongTimeFormat format;
    format.AmText = std::move(amText);
    format.PmText = std::move(pmText);
    std::size_t at = std::string::npos;
    for (std::size_t i = 0; i + 1 < spelt.size(); ++i) {
        if (spelt[i] == '%' && std::string_view("HIkl").find(spelt[i + 1]) != std::string::npos) {
            at = i;
            break;
        }
    }
    if (at == std::string::npos) {
        return format;
    }
    const char kind = spelt[at + 1];
    format.TwelveHour = kind == 'I' || kind == 'l';
    format.HourLeadingZero = kind == 'H' || kind == 'I';
    const auto minutes = spelt.find("%M", at + 2);
    if (minutes != std::string::npos) {
        format.Separator = spelt.substr(at + 2, minutes - at - 2);
    }
    const auto marker = spelt.find("%p");
    format.MarkerFirst = format.TwelveHour && marker != std::string::npos && marker < at;
    return format;
}

std::string FormatLongTime(const LongTimeFormat& format, int hour, int minute, int second) {
    int shownHour = hour;
    if (format.TwelveHour) {
        shownHour = hour % 12 == 0 ? 12 : hour % 12;
    }
    std::string time = format.HourLeadingZero || shownHour >= 10 ? TwoDigits(shownHour)
                                                                 : std::to_string(shownHour);
    time += format.Separator + TwoDigits(minute) + format.Separator + TwoDigits(second);
    if (!format.TwelveHour) {
        return time;
    }
    const std::string& marker = hour < 12 ? format.AmText : format.PmText;
    if (marker.empty()) {
        return time;
    }
    return format.MarkerFirst ? marker + " " + time : time + " " + marker;
}

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

std::string LongTimeNow(const LongTimeFormat& format) {
    const std::tm local = LocalNow();
    return FormatLongTime(format, local.tm_hour, local.tm_min, local.tm_sec);
}

}  // namespace velor
