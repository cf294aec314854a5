#pragma once
// Text forms of the typed INI values: the conversions behind TYIniFile's typed reads and
// writes, on plain text so they can be tested one by one. None depends on the locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Lift::Util {

// Optional leading blanks; then an optional sign and decimal digits in the int32 range, or
// (no sign) a hex number after "$", "x", "X", "0x" or "0X" that fits in 32 bits, taken as
// the bit pattern. Nothing may follow. nullopt when the text does not convert.
std::optional<std::int32_t> TextToInt32(std::string_view text);

// "0x..." (lower-case x, at least 3 characters) is read as hex, anything else as decimal,
// both as strtoul reads them but in 32 bits: leading white space, optional sign ('-'
// negates modulo 2^32), stops at the first character that does not fit, overflow gives
// 4294967295. nullopt when no digit was read.
std::optional<std::uint32_t> TextToUInt32(const char* text);

// strtod in the "C" locale; nullopt when the result is 0 and nothing was consumed.
std::optional<double> TextToDouble(const char* text);
// "%f" in the "C" locale: fixed notation, six decimals.
std::string DoubleToText(double value);

// Dates and times; see TYIniFile for the forms. TDateTime = days since 1899-12-30.
std::string DateToText(double dateTime);
std::string TimeToText(double dateTime);
std::string DateTimeToText(double dateTime);
std::optional<double> TextToDate(std::string_view text);
std::optional<double> TextToTime(std::string_view text);
std::optional<double> TextToDateTime(std::string_view text);
// The current local date and time.
double NowAsDateTime();

} // namespace Lift::Util
