#include "serial/rxd_assembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lift::Serial::RxdAssembler;
using Lift::Serial::RxdFilterConfig;
using YVclUtil::EYGeneral;

namespace {

struct Harness {
    explicit Harness(RxdFilterConfig c)
        : buffer(c.rxdQueueSize + 8, '\0'), assembler(c, buffer.data()) {}
    void feed(const std::string& bytes) {
        assembler.feed(bytes.data(), bytes.size(), [this](std::uint32_t count) {
            units.emplace_back(buffer.data(), count);
            return units.size() != stopAfter;
        });
    }
    std::string buffer;
    RxdAssembler assembler;
    std::vector<std::string> units;
    std::size_t stopAfter = 0; // the delivery that asks to stop; 0 never
};

RxdFilterConfig config(YVclCtrl::TRxdFilter style, std::uint32_t packet = 1, char delim = '\n',
                       std::uint32_t queue = 1024) {
    RxdFilterConfig c;
    c.style = style;
    c.bytesOfPacket = packet;
    c.delimiter = delim;
    c.rxdQueueSize = queue;
    return c;
}

} // namespace

TEST(RxdAssembler, NoneDeliversEachReadAsItCame) {
    Harness h(config(YVclCtrl::rfs_None));
    h.feed("12345");
    h.feed("");
    h.feed("ab\ncd");
    EXPECT_EQ(h.units, (std::vector<std::string>{"12345", "ab\ncd"}));
}

TEST(RxdAssembler, DelimiterUnitsSpanReadsAndShareReads) {
    Harness h(config(YVclCtrl::rfs_ByDelimiterChar));
    h.feed(std::string("AB\nC"));
    EXPECT_EQ(h.assembler.filteredCount(), 1u);
    h.feed("D\n");
    h.feed("x\ny\nz");
    EXPECT_EQ(h.units, (std::vector<std::string>{"AB\n", "CD\n", "x\n", "y\n"}));
    EXPECT_EQ(h.assembler.filteredCount(), 1u);
    // A monitor told to end stops mid-read: the buffer may already serve its successor.
    h.stopAfter = 5;
    h.feed("\n0\n1\n");
    EXPECT_EQ(h.units.back(), "z\n");
    EXPECT_EQ(h.buffer.substr(0, 2), "z\n");
}

TEST(RxdAssembler, PacketsOfFourFromOneReadOfTen) {
    Harness h(config(YVclCtrl::rfs_ByBytesOfPacket, 4));
    h.feed("0123456789");
    EXPECT_EQ(h.units, (std::vector<std::string>{"0123", "4567"}));
    EXPECT_EQ(h.assembler.filteredCount(), 2u);
    h.feed("AB");
    EXPECT_EQ(h.units.back(), "89AB");
}

TEST(RxdAssembler, LongestDelimitedLineFillsTheQueueExactly) {
    Harness h(config(YVclCtrl::rfs_ByDelimiterChar));
    h.feed(std::string(1023, 'a'));
    h.feed("\n");
    ASSERT_EQ(h.units.size(), 1u);
    EXPECT_EQ(h.units[0].size(), 1024u);
    EXPECT_EQ(h.units[0].back(), '\n');
}

TEST(RxdAssembler, OverflowRaisesDropsTheReadAndStartsAfresh) {
    auto overflow = [](Harness& h, const std::string& bytes) -> std::string {
        try {
            h.feed(bytes);
        } catch (const EYGeneral& e) {
            EXPECT_EQ(e.Code, -1);
            return e.what();
        }
        return "<no overflow>";
    };
    Harness line(config(YVclCtrl::rfs_ByDelimiterChar));
    line.feed(std::string(1000, 'a'));
    // The 1024th byte without a delimiter overflows; the bytes after it are not looked at.
    EXPECT_EQ(overflow(line, std::string(24, 'b') + "cc\n"),
              "TCustomUart FilteredRxdBuff overflow, when delimiting the received datas !!!");
    EXPECT_EQ(line.assembler.filteredCount(), 0u);
    EXPECT_TRUE(line.units.empty());
    line.feed("ok\n");
    EXPECT_EQ(line.units, (std::vector<std::string>{"ok\n"}));

    // The queue may shrink below the packet size after the packet size was set.
    Harness packet(config(YVclCtrl::rfs_ByBytesOfPacket, 2048, '\n', 1024));
    EXPECT_EQ(
        overflow(packet, std::string(1024, 'p')),
        "TCustomUart FilteredRxdBuff overflow, when collection bytes of the received datas !!!");
    EXPECT_EQ(packet.assembler.filteredCount(), 0u);
}
