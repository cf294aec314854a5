#include "util/ini_value_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace Lift::Util;

TEST(IniIntegerText, DecimalAndHexForms) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    for (Case c : {Case{"0", 0}, Case{"-5", -5}, Case{"+7", 7}, Case{"  42", 42},
                   Case{"2147483647", 2147483647}, Case{"-2147483648", INT32_MIN}, Case{"0x1A", 26},
                   Case{"0X1a", 26}, Case{"$1A", 26}, Case{"x1A", 26}, Case{"X10", 16},
                   Case{"$FFFFFFFF", -1}, Case{"0x80000000", INT32_MIN}}) {
        const auto v = TextToInt32(c.text);
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(*v, c.value) << c.text;
    }
    for (const char* bad : {"", " ", "12abc", "2147483648", "-2147483649", "$", "0x", "x",
                            "$100000000", "-$1A", "+", "1 ", "1.5", "\t3", "0x1G"})
        EXPECT_FALSE(TextToInt32(bad).has_value()) << bad;
}

TEST(IniUnsignedText, ReadsLikeStrtoulIn32Bits) {
    struct Case {
        const char* text;
        std::uint32_t value;
    };
    for (Case c : {Case{"-1", 4294967295u}, Case{"0x1A", 26}, Case{"0X1A", 0}, Case{"12abc", 12},
                   Case{" \t+9", 9}, Case{"4294967295", 4294967295u},
                   Case{"99999999999", 4294967295u}, Case{"-99999999999", 4294967295u},
                   Case{"0xffffffff", 4294967295u}, Case{"0x1FFFFFFFF", 4294967295u},
                   Case{"0x -2", 4294967294u}, Case{"0x0x1A", 26}, Case{"0x", 0}, Case{"-0", 0}}) {
        const auto v = TextToUInt32(c.text);
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(*v, c.value) << c.text;
    }
    // "0x" alone is read as decimal, its "0" being a digit; "0xG" has no hex digit.
    for (const char* bad : {"abc", "", "-", " x1", "0xG", "0xG1"})
        EXPECT_FALSE(TextToUInt32(bad).has_value()) << bad;
}

TEST(IniDateTimeText, WritesReadBackToTheSecond) {
    struct Case {
        double value;
        const char* date;
        const char* time;
    };
    for (Case c : {Case{0.0, "1899-12-30", "00:00:00"}, Case{1.5, "1899-12-31", "12:00:00"},
                   Case{46362.0 + (7 * 3600 + 5 * 60 + 9) / 86400.0, "2026-12-06", "07:05:09"},
                   Case{-1.25, "1899-12-29", "06:00:00"}, Case{36585.0, "2000-02-29", "00:00:00"},
                   Case{-693593.0, "0001-01-01", "00:00:00"},
                   Case{2958465.999988, "9999-12-31", "23:59:59"}}) {
        EXPECT_EQ(DateToText(c.value), c.date) << c.value;
        EXPECT_EQ(TimeToText(c.value), c.time) << c.value;
        const std::string both = DateTimeToText(c.value);
        EXPECT_EQ(both, std::string(c.date) + " " + c.time);
        const auto back = TextToDateTime(both);
        ASSERT_TRUE(back.has_value()) << both;
        EXPECT_NEAR(*back, c.value, 0.5 / 86400.0) << both;
        EXPECT_EQ(DateTimeToText(*back), both);
        EXPECT_EQ(*TextToDate(c.date), std::trunc(c.value));
        EXPECT_NEAR(*TextToTime(c.time), std::fabs(c.value - std::trunc(c.value)), 0.5 / 86400.0);
    }
    EXPECT_EQ(TimeToText(0.999999999), "00:00:00") << "rounds up into the next day";
    EXPECT_EQ(DateToText(0.999999999), "1899-12-31");
    EXPECT_EQ(*TextToTime(" 7:30 "), 7.5 / 24);
    EXPECT_EQ(*TextToDateTime("2000-03-01"), 36586.0);
}

TEST(IniDateTimeText, MalformedTextIsRefused) {
    for (const char* bad :
         {"", "2026-13-01", "2026-02-29", "1900-02-29", "2026-04-31", "2026-08-32", "2026-2-01",
          "26-02-01", "2026-02-01x", "2026/02/01"})
        EXPECT_FALSE(TextToDate(bad).has_value()) << bad;
    EXPECT_TRUE(TextToDate("2024-02-29").has_value()) << "leap day";
    for (const char* bad : {"", "24:00:00", "12:60", "12:00:60", "12", "1:2", "12:00:00 x"})
        EXPECT_FALSE(TextToTime(bad).has_value()) << bad;
    for (const char* bad : {"2026-01-01T10:00:00", "2026-01-01  10:00:00", "10:00:00"})
        EXPECT_FALSE(TextToDateTime(bad).has_value()) << bad;
}
