#include "lift_lcd/option_values.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace Lift::Cli {

std::optional<long long> ParseInteger(const std::string& text, long long min, long long max,
                                      int base) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc() || ptr != end || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<double> ParseRate(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value) || value < 0 || value > 1)
        return std::nullopt;
    return value;
}

} // namespace Lift::Cli
