#include "fieldbus/kbnet_adapter_lines.h"
#include "fieldbus/kbnet_line_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Lift::Fieldbus;
using Kind = KbnAdapterLine::Kind;

namespace {

struct ReportCase {
    std::string line;
    bool accepted;
    int index = 0;
    int value = 0;
};

} // namespace

TEST(KbnLineParser, RegisterReports) {
    const std::vector<ReportCase> cases = {
        {"*R6=08\r\n", true, 6, 0x08},
        {"*R0=0A\n", true, 0, 0x0A},
        {"*R1=ff\r\n", true, 1, 0xFF}, // the number is read as strtoul reads it
        {"*RE=80\r\n", true, 14, 0x80},
        {"*RF=00\r\n", true, 15, 0},
        {"*R9= 7\r\n", true, 9, 7},       // a leading blank, as strtoul skips it
        {"*R3=+5\r\n", true, 3, 5},       // and a sign
        {"*R3=-1\r\n", true, 3, 0xFF},    // which wraps, keeping the low 8 bits
        {"*R4=12xyz\r\n", true, 4, 0x12}, // only where the number ends matters
        {"*R2=00\r\n", false},
        {"*Re=00\r\n", false}, // register names are upper case
        {"*RG=00\r\n", false},
        {"*R0=123\r\n", false}, // ends after the seventh character
        {"*R0=1\r\n", false},   // ends after the fifth
        {"*R0=\r\n", false},
        {"*R0=0x\r\n", false}, // "0x" without a digit reads as 0, ending too early
        {"*R0:01\r\n", false},
        {"*X0=01\r\n", false},
        {"*R0", false},          // the bytes end before the '='
        {"*R0=\r01\r\n", false}, // nothing past the CR is read
        {"*R\n0=01", false},
        {" *R0=01\r\n", false},
    };
    for (const auto& c : cases) {
        const KbnAdapterLine line = ParseKbnAdapterLine(c.line);
        if (!c.accepted) {
            EXPECT_EQ(line.kind, Kind::Ignored) << c.line;
            continue;
        }
        ASSERT_EQ(line.kind, Kind::RegisterReport) << c.line;
        EXPECT_EQ(line.registerIndex, c.index) << c.line;
        EXPECT_EQ(line.registerBit, 1u << c.index) << c.line;
        EXPECT_EQ(line.value, c.value) << c.line;
    }
}

TEST(KbnLineParser, Packets) {
    KbnAdapterLine line = ParseKbnAdapterLine("@8001010F\r\n");
    ASSERT_EQ(line.kind, Kind::Packet);
    EXPECT_EQ(line.packet.KbnSegId, 0x80);
    EXPECT_EQ(line.packet.KbnNodeId, 0x01);
    EXPECT_EQ(line.packet.BytesOfDatas, 1);
    EXPECT_EQ(line.packet.Datas[0], 0x0F);
    EXPECT_EQ(line.packet.Datas[1], 0); // nothing left over from elsewhere

    // The largest record: 20 bytes, 17 of them data.
    std::string full = "@0A7F11";
    for (int i = 0; i < 17; ++i)
        full += (i % 2) ? "EF" : "01";
    line = ParseKbnAdapterLine(full + "\n");
    ASSERT_EQ(line.kind, Kind::Packet);
    EXPECT_EQ(line.packet.BytesOfDatas, 17);
    EXPECT_EQ(line.packet.Datas[16], 0x01);
    EXPECT_EQ(line.packet.Datas[15], 0xEF);
    EXPECT_EQ(ParseKbnAdapterLine(full).kind, Kind::Packet); // the end of the bytes ends it too

    const std::vector<std::string> dropped = {
        "@8001020F\r\n",  // count does not match
        "@8001000F\r\n",  //
        "@8001010f\r\n",  // lower-case digit
        "@800100\r\n",    // only 3 bytes
        "@8001010\r\n",   // lone first digit
        "@8001010F0\r\n", //
        "@8001010G\r\n",  //
        "@8001 010F\r\n", //
        "@\r\n",          //
        full + "00\r\n",  // a 21st byte
        "#8001010F\r\n",  // not a packet line
        "\r\n",           "",
    };
    for (const auto& text : dropped)
        EXPECT_EQ(ParseKbnAdapterLine(text).kind, Kind::Ignored) << text;
}

TEST(KbnAdapterLines, CommandLinesAreExact) {
    EXPECT_EQ(kKbnConnectQueries.size(), 56u);
    EXPECT_EQ(KbnQueryLine(0), " ?R0\r\n");
    EXPECT_EQ(KbnQueryLine(14), " ?RE\r\n");
    EXPECT_EQ(KbnWriteLine(0, 0x05), " +R0=05\r\n");
    EXPECT_EQ(KbnWriteLine(15, 0), " +RF=00\r\n");
    EXPECT_EQ(KbnWriteAndQueryLine(8, 0xAB), " +R8=AB\r\n ?R8\r\n");

    ZebCtrl::_SKBNTXDPACKET packet;
    packet.KbnSegId = 0x80;
    packet.KbnNodeId = 0x01;
    packet.BytesOfDatas = 1;
    packet.Datas[0] = 0x0F;
    EXPECT_EQ(KbnPacketLine(packet), ">8001010F\r\n");

    // The longest line still fits the 256-byte buffer with its terminating zero.
    packet.BytesOfDatas = kKbnMaxLineDataBytes;
    EXPECT_EQ(KbnPacketLine(packet).size() + 1, 256u);
}
