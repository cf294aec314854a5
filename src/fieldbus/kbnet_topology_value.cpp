#include "fieldbus/kbnet_topology_value.h"

namespace Lift::Fieldbus {

namespace {

class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }

    // A blank in the format: any run of white space, also none.
    void skipSpace() {
        while (!atEnd() && isSpace(m_text[m_pos]))
            ++m_pos;
    }
    bool literal(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) != word)
            return false;
        m_pos += word.size();
        return true;
    }
    // %[^"]: one or more characters other than a quotation mark.
    std::string_view untilQuote() {
        const std::size_t start = m_pos;
        while (!atEnd() && m_text[m_pos] != '"')
            ++m_pos;
        return m_text.substr(start, m_pos - start);
    }
    // %X: white space, optional sign, optional "0x"/"0X", hex digits. A lone "0" before the
    // "x" already counts as a digit, as the C library reads it.
    bool hexNumber(KbnTopologyNodeValue& out) {
        skipSpace();
        bool negative = false;
        if (peek() == '+' || peek() == '-') {
            negative = peek() == '-';
            ++m_pos;
        }
        bool anyDigit = false;
        if (peek() == '0') {
            ++m_pos;
            anyDigit = true;
            if (peek() == 'x' || peek() == 'X')
                ++m_pos;
        }
        std::uint64_t value = 0;
        for (int digit; (digit = hexDigit(peek())) >= 0; ++m_pos) {
            anyDigit = true;
            if (value <= 0xFFFFFFFFu)
                value = value * 16 + static_cast<std::uint64_t>(digit);
        }
        if (!anyDigit)
            return false;
        out.NodeIdTooLarge = value > 0xFFFFFFFFu;
        const auto low = static_cast<std::uint32_t>(value);
        out.NodeId = negative ? static_cast<std::uint32_t>(0u - low) : low;
        return true;
    }

private:
    static bool isSpace(char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }
    static int hexDigit(char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

std::optional<KbnTopologyNodeValue> ParseKbnTopologyNodeValue(std::string_view text) {
    Scanner in(text);
    KbnTopologyNodeValue out;
    in.skipSpace();
    if (!in.literal("Device("))
        return std::nullopt;
    in.skipSpace();
    if (!in.literal("\""))
        return std::nullopt;
    out.Device = in.untilQuote();
    if (out.Device.empty() || !in.literal("\""))
        return std::nullopt;
    in.skipSpace();
    if (!in.literal(")"))
        return std::nullopt;
    in.skipSpace();
    if (!in.literal(","))
        return std::nullopt;
    in.skipSpace();
    if (!in.literal("NetNodeId("))
        return std::nullopt;
    in.skipSpace();
    if (!in.literal("0x"))
        return std::nullopt;
    if (!in.hexNumber(out))
        return std::nullopt;
    return out;
}

} // namespace Lift::Fieldbus
