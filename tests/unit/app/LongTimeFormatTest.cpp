#include <gtest/gtest.h>

#include "app/LongTimeFormat.h"

namespace velor {
namespace {

// 07:35:09 and 19:05:00, midnight and noon, in the formats that regional settings give.
struct Case {
    const char* pattern;
    const char* morning;
    const char* evening;
    const char* midnight;
    const char* noon;
};

TEST(LongTimeFormat, QtPatternsGiveTheTimeWithoutAZone) {
    const Case cases[] = {
        {"HH:mm:ss t", "07:35:09", "19:05:00", "00:00:00", "12:00:00"},              // C, uk_UA
        {"h:mm:ss AP t", "7:35:09 AM", "7:05:00 PM", "12:00:00 AM", "12:00:00 PM"},  // en_US
        {"hh:mm:ss ap", "07:35:09 am", "07:05:00 pm", "12:00:00 am", "12:00:00 pm"},
        {"AP h:mm:ss", "AM 7:35:09", "PM 7:05:00", "AM 12:00:00", "PM 12:00:00"},
        {"H.mm.ss", "7.35.09", "19.05.00", "0.00.00", "12.00.00"},  // leading zero off
        {"HH 'h' mm 'min' ss", "07 h 35 h 09", "19 h 05 h 00", "00 h 00 h 00", "12 h 00 h 00"},
        {"", "07:35:09", "19:05:00", "00:00:00", "12:00:00"},
    };
    for (const auto& c : cases) {
        const auto f = LongTimeFormatFromPattern(c.pattern, "AM", "PM");
        EXPECT_EQ(FormatLongTime(f, 7, 35, 9), c.morning) << c.pattern;
        EXPECT_EQ(FormatLongTime(f, 19, 5, 0), c.evening) << c.pattern;
        EXPECT_EQ(FormatLongTime(f, 0, 0, 0), c.midnight) << c.pattern;
        EXPECT_EQ(FormatLongTime(f, 12, 0, 0), c.noon) << c.pattern;
    }
}

TEST(LongTimeFormat, StrftimePatternsGiveTheSameFields) {
    const Case cases[] = {
        {"%H:%M:%S", "07:35:09", "19:05:00", "00:00:00", "12:00:00"},
        {"%T", "07:35:09", "19:05:00", "00:00:00", "12:00:00"},
        {"%r", "07:35:09 AM", "07:05:00 PM", "12:00:00 AM", "12:00:00 PM"},
        {"%l:%M:%S %p %Z", "7:35:09 AM", "7:05:00 PM", "12:00:00 AM", "12:00:00 PM"},
        {"%p %I:%M:%S", "AM 07:35:09", "PM 07:05:00", "AM 12:00:00", "PM 12:00:00"},
        {"%k.%M.%S", "7.35.09", "19.05.00", "0.00.00", "12.00.00"},
    };
    for (const auto& c : cases) {
        const auto f = LongTimeFormatFromStrftime(c.pattern, "AM", "PM");
        EXPECT_EQ(FormatLongTime(f, 7, 35, 9), c.morning) << c.pattern;
        EXPECT_EQ(FormatLongTime(f, 19, 5, 0), c.evening) << c.pattern;
        EXPECT_EQ(FormatLongTime(f, 0, 0, 0), c.midnight) << c.pattern;
        EXPECT_EQ(FormatLongTime(f, 12, 0, 0), c.noon) << c.pattern;
    }
}

TEST(LongTimeFormat, TwelveHourClockWithoutMarkerTextsShowsNoBlank) {
    const auto f = LongTimeFormatFromStrftime("%I:%M:%S %p", "", "");
    EXPECT_EQ(FormatLongTime(f, 15, 4, 5), "03:04:05");
}

}  // namespace
}  // namespace velor
