#include "fieldbus/kbnet_line_parser.h"

#include <cstddef>
#include <optional>

namespace Lift::Fieldbus {

namespace {

bool EndsLine(char c) {
    return c == '\r' || c == '\n';
}

// The line cut at its first CR or LF.
std::string_view LineText(std::string_view line) {
    std::size_t n = 0;
    while (n < line.size() && !EndsLine(line[n]))
        ++n;
    return line.substr(0, n);
}

int HexDigit(char c, bool upperOnly) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (!upperOnly && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool IsStrtoulBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// strtoul(text, &end, 16) confined to text; nothing when no digit was read.
struct HexNumber {
    unsigned long value;
    std::size_t end;
};
std::optional<HexNumber> ReadHexNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsStrtoulBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // An "0x" prefix counts only when a hex digit follows it.
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        HexDigit(text[i + 2], false) >= 0)
        i += 2;
    const std::size_t first = i;
    unsigned long value = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
        const int d = HexDigit(text[i], false);
        if (d < 0)
            break;
        if (value > (~0UL - static_cast<unsigned long>(d)) / 16)
            overflow = true;
        value = value * 16 + static_cast<unsigned long>(d);
    }
    if (i == first)
        return std::nullopt;
    if (overflow)
        value = ~0UL;
    else if (negative)
        value = 0UL - value;
    return HexNumber{value, i};
}

int RegisterIndex(char c) {
    if (c >= '0' && c <= '9' && c != '2')
        return c - '0';
    if (c == 'E')
        return 14;
    if (c == 'F')
        return 15;
    return -1;
}

KbnAdapterLine ParseRegisterReport(std::string_view text) {
    KbnAdapterLine out;
    if (text.size() < 5 || text[1] != 'R' || text[3] != '=')
        return out;
    const int index = RegisterIndex(text[2]);
    if (index < 0)
        return out;
    const auto number = ReadHexNumber(text.substr(4));
    // The number must end right after the sixth character of the line.
    if (!number || number->end + 4 != 6)
        return out;
    out.kind = KbnAdapterLine::Kind::RegisterReport;
    out.registerIndex = index;
    out.registerBit = 1u << index;
    out.value = static_cast<std::uint8_t>(number->value & 0xFF);
    return out;
}

KbnAdapterLine ParsePacket(std::string_view text) {
    KbnAdapterLine out;
    std::uint8_t bytes[ZebCtrl::kKbnRxdPacketMaxBytes] = {};
    std::size_t count = 0;
    for (std::size_t i = 1; i < text.size(); i += 2) {
        if (i + 1 >= text.size())
            return out; // a lone first digit
        const int hi = HexDigit(text[i], true);
        const int lo = HexDigit(text[i + 1], true);
        if (hi < 0 || lo < 0 || count == sizeof bytes)
            return out;
        bytes[count++] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    if (count <= 3 || count != static_cast<std::size_t>(bytes[2]) + 3)
        return out;
    out.kind = KbnAdapterLine::Kind::Packet;
    out.packet.KbnSegId = bytes[0];
    out.packet.KbnNodeId = bytes[1];
    out.packet.BytesOfDatas = bytes[2];
    for (std::size_t i = 3; i < count; ++i)
        out.packet.Datas[i - 3] = bytes[i];
    return out;
}

} // namespace

KbnAdapterLine ParseKbnAdapterLine(std::string_view line) {
    const std::string_view text = LineText(line);
    if (text.empty())
        return {};
    if (text[0] == '*')
        return ParseRegisterReport(text);
    if (text[0] == '@')
        return ParsePacket(text);
    return {};
}

} // namespace Lift::Fieldbus
