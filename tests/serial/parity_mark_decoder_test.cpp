#include "serial/parity_mark_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lift::Serial::ParityMarkDecoder;

namespace {
std::string decodeReads(const std::vector<std::string>& reads) {
    ParityMarkDecoder decoder;
    std::string out;
    for (std::string r : reads) {
        const std::size_t n = decoder.decode(r.data(), r.size());
        EXPECT_LE(n, r.size());
        out.append(r.data(), n);
    }
    return out;
}
const std::string FF = "\xFF";
const std::string Z(1, '\0');
} // namespace

TEST(ParityMarkDecoder, MarksBecomeTheReplacementByteAndDoubledFFsOneFF) {
    struct Case {
        const char* name;
        std::vector<std::string> reads;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"plain bytes pass", {"abc"}, "abc"},
        {"bad byte", {"a" + FF + Z + "q" + "b"}, "a\nb"},
        {"break", {FF + Z + Z}, "\n"},
        {"doubled 0xFF", {"x" + FF + FF + "y"}, "x" + FF + "y"},
        {"zero byte is data", {Z + "a" + Z}, Z + "a" + Z},
        {"mark split after 0xFF", {"a" + FF, Z + "qb"}, "a\nb"},
        {"mark split after 0x00", {"a" + FF + Z, "qb"}, "a\nb"},
        {"doubled 0xFF split", {FF, FF}, FF},
        {"only part of a mark", {FF, Z}, ""},
        {"stray 0xFF inside one read kept", {"a" + FF + "b"}, "a" + FF + "b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeReads(c.reads), c.expected) << c.name;
}

TEST(ParityMarkDecoder, ResetForgetsAHalfMark) {
    ParityMarkDecoder decoder;
    std::string first = FF;
    EXPECT_EQ(decoder.decode(first.data(), first.size()), 0u);
    decoder.reset();
    std::string second = Z + "a";
    ASSERT_EQ(decoder.decode(second.data(), second.size()), 2u);
    EXPECT_EQ(second, Z + "a");
}
