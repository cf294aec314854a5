#include "lift_lcd/kbnet_commands.h"

#include <charconv>

namespace Lift::Cli {

namespace {
std::optional<unsigned> ParseHex(std::string text, unsigned max) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.erase(0, 2);
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, 16);
    if (text.empty() || ec != std::errc() || ptr != end || value > max)
        return std::nullopt;
    return value;
}
} // namespace

std::optional<KbnAddress> ParseKbnAddress(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    const auto seg = ParseHex(text.substr(0, colon), 0x80);
    const auto node = ParseHex(text.substr(colon + 1), 0x7F);
    if (!seg || !node)
        return std::nullopt;
    return KbnAddress{static_cast<std::uint8_t>(*seg), static_cast<std::uint8_t>(*node)};
}

std::optional<std::uint8_t> ParseHexByte(const std::string& text) {
    const auto value = ParseHex(text, 0xFF);
    if (!value)
        return std::nullopt;
    return static_cast<std::uint8_t>(*value);
}

} // namespace Lift::Cli
