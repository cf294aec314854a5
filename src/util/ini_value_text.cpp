#include "util/ini_value_text.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <locale.h>

namespace Lift::Util {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Switches this thread to the "C" locale while it lives, so '.' is the decimal point
// whatever the program's locale is.
class CLocaleScope {
public:
    CLocaleScope() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
        m_previous = c ? uselocale(c) : locale_t(0);
    }
    ~CLocaleScope() {
        if (m_previous)
            uselocale(m_previous);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t m_previous;
};

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = std::int64_t(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

constexpr std::int64_t kEpochShift = 25569; // 1899-12-30 .. 1970-01-01
constexpr double kMaxDays = 2958465.0;      // 9999-12-31
constexpr double kMinDays = -693593.0;      // 0001-01-01

// Calendar day and second of the day, rounded to the second.
bool splitDateTime(double value, std::int64_t& day, std::int64_t& second) {
    if (!std::isfinite(value) || value < kMinDays - 1 || value > kMaxDays + 1)
        return false;
    day = std::int64_t(std::trunc(value));
    second = std::llround(std::fabs(value - double(day)) * 86400.0);
    if (second >= 86400) {
        second -= 86400;
        day += 1; // the time of day runs forward also on days before 1899-12-30
    }
    return true;
}

double joinDateTime(std::int64_t day, double fraction) {
    return day >= 0 ? double(day) + fraction : double(day) - fraction;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// Reads 1..maxDigits decimal digits.
bool readNumber(std::string_view& text, int minDigits, int maxDigits, int& out) {
    int digits = 0;
    out = 0;
    while (!text.empty() && digits < maxDigits && text.front() >= '0' && text.front() <= '9') {
        out = out * 10 + (text.front() - '0');
        text.remove_prefix(1);
        ++digits;
    }
    return digits >= minDigits;
}

bool readChar(std::string_view& text, char c) {
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

std::optional<std::int64_t> parseDate(std::string_view& text) {
    int y = 0, m = 0, d = 0;
    if (!readNumber(text, 4, 4, y) || !readChar(text, '-') || !readNumber(text, 2, 2, m) ||
        !readChar(text, '-') || !readNumber(text, 2, 2, d))
        return std::nullopt;
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return std::nullopt;
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (d > lengths[m - 1] + (m == 2 && leap ? 1 : 0))
        return std::nullopt;
    return daysFromCivil(y, unsigned(m), unsigned(d)) + kEpochShift;
}

std::optional<double> parseTime(std::string_view& text) {
    int h = 0, mi = 0, s = 0;
    if (!readNumber(text, 1, 2, h) || !readChar(text, ':') || !readNumber(text, 2, 2, mi))
        return std::nullopt;
    if (readChar(text, ':') && !readNumber(text, 2, 2, s))
        return std::nullopt;
    if (h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    return (h * 3600 + mi * 60 + s) / 86400.0;
}

} // namespace

std::optional<std::int32_t> TextToInt32(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    std::string_view hex;
    bool isHex = true;
    if (text.front() == '$' || text.front() == 'x' || text.front() == 'X')
        hex = text.substr(1);
    else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        hex = text.substr(2);
    else
        isHex = false;
    if (isHex) {
        if (hex.empty())
            return std::nullopt;
        std::uint64_t value = 0;
        for (char c : hex) {
            const int digit = hexDigit(c);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + std::uint64_t(digit);
            if (value > 0xFFFFFFFFull)
                return std::nullopt;
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::uint32_t> TextToUInt32(const char* text) {
    if (!text)
        return std::nullopt;
    int base = 10;
    const char* p = text;
    if (p[0] == '0' && p[1] == 'x' && p[2] != '\0') {
        base = 16;
        p += 2;
    }
    while (isCSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    // strtoul with base 16 takes its own optional "0x" as well.
    if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && hexDigit(p[2]) >= 0)
        p += 2;
    std::uint64_t value = 0;
    bool any = false, overflow = false;
    for (;; ++p) {
        const int digit = hexDigit(*p);
        if (digit < 0 || digit >= base)
            break;
        any = true;
        value = value * std::uint64_t(base) + std::uint64_t(digit);
        if (value > 0xFFFFFFFFull) {
            overflow = true;
            value = 0xFFFFFFFFull;
        }
    }
    if (!any)
        return std::nullopt;
    if (overflow)
        return 0xFFFFFFFFu;
    const auto result = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0u - result) : result;
}

std::optional<double> TextToDouble(const char* text) {
    if (!text)
        return std::nullopt;
    CLocaleScope cLocale;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (value == 0.0 && end == text)
        return std::nullopt;
    return value;
}

std::string DoubleToText(double value) {
    CLocaleScope cLocale;
    const int length = std::snprintf(nullptr, 0, "%f", value);
    std::string out(std::size_t(length > 0 ? length : 0), '\0');
    std::snprintf(out.data(), out.size() + 1, "%f", value);
    return out;
}

std::string DateToText(double dateTime) {
    std::int64_t day = 0, second = 0;
    if (!splitDateTime(dateTime, day, second))
        return "0000-00-00"; // out of the calendar: reads back as a conversion error
    std::int64_t y = 0;
    unsigned m = 0, d = 0;
    civilFromDays(day - kEpochShift, y, m, d);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02u", static_cast<long long>(y), m, d);
    return buffer;
}

std::string TimeToText(double dateTime) {
    std::int64_t day = 0, second = 0;
    if (!splitDateTime(dateTime, day, second))
        second = 0;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", int(second / 3600),
                  int(second / 60 % 60), int(second % 60));
    return buffer;
}

std::string DateTimeToText(double dateTime) {
    return DateToText(dateTime) + " " + TimeToText(dateTime);
}

std::optional<double> TextToDate(std::string_view text) {
    text = trimBlanks(text);
    const auto day = parseDate(text);
    if (!day || !text.empty())
        return std::nullopt;
    return double(*day);
}

std::optional<double> TextToTime(std::string_view text) {
    text = trimBlanks(text);
    const auto time = parseTime(text);
    if (!time || !text.empty())
        return std::nullopt;
    return *time;
}

std::optional<double> TextToDateTime(std::string_view text) {
    text = trimBlanks(text);
    const auto day = parseDate(text);
    if (!day)
        return std::nullopt;
    if (text.empty())
        return double(*day);
    if (!readChar(text, ' '))
        return std::nullopt;
    const auto time = parseTime(text);
    if (!time || !text.empty())
        return std::nullopt;
    return joinDateTime(*day, *time);
}

double NowAsDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::int64_t day =
        daysFromCivil(local.tm_year + 1900, unsigned(local.tm_mon + 1), unsigned(local.tm_mday)) +
        kEpochShift;
    return joinDateTime(day, (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0);
}

} // namespace Lift::Util
