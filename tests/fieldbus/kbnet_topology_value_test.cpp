#include "fieldbus/kbnet_topology_value.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using Lift::Fieldbus::KbnTopologyNodeValue;
using Lift::Fieldbus::ParseKbnTopologyNodeValue;

namespace {

// What the C library's scanf makes of the text with the file format's scan string: the
// behaviour the reader must match (buffer as large as the text, so it cannot overflow).
struct ScanfResult {
    int items = 0;
    std::string device;
    unsigned nodeId = 0;
};

ScanfResult scanfReference(const std::string& text) {
    ScanfResult r;
    std::string device(text.size() + 1, '\0');
    r.items = std::sscanf(text.c_str(), " Device( \"%[^\"]\" ) , NetNodeId( 0x%X )", device.data(),
                          &r.nodeId);
    r.device = device.c_str();
    return r;
}

} // namespace

TEST(KbnTopologyValue, ReadsLikeTheScanFormat) {
    const char* const cases[] = {
        "Device( \"PRM_4i4o\" ) , NetNodeId( 0x05 )",
        "Device(\"PRM_4i4o\"),NetNodeId(0x05)",
        "   Device(   \"PRM 4i4o\"\t) ,\tNetNodeId(  0x7f  ) and anything after",
        "Device( \"A\" ) , NetNodeId( 0xFF )",
        "Device( \"A\" ) , NetNodeId( 0x80 )",
        "Device( \"A\" ) , NetNodeId( 0x 12 )",
        "Device( \"A\" ) , NetNodeId( 0x+12 )",
        "Device( \"A\" ) , NetNodeId( 0x-1 )",
        "Device( \"A\" ) , NetNodeId( 0x0x5 )",
        "Device( \"A\" ) , NetNodeId( 0x0X5 )",
        "Device( \"A\" ) , NetNodeId( 0x0xZ )",
        "Device( \"A\" ) , NetNodeId( 0x05",
        "Device( \"A\" ) , NetNodeId( 0x00000000000000000000000000000007 )",
        // Refused: the name not between quotation marks, empty, unterminated; the address
        // without digits, with an upper-case X, missing; words misspelt or in other case.
        "Device( PRM_4i4o ) , NetNodeId( 0x05 )",
        "Device( \"\" ) , NetNodeId( 0x05 )",
        "Device( \"PRM_4i4o ) , NetNodeId( 0x05 )",
        "Device( \"A\" ) , NetNodeId( 0x )",
        "Device( \"A\" ) , NetNodeId( 0xg )",
        "Device( \"A\" ) , NetNodeId( 0x- )",
        "Device( \"A\" ) , NetNodeId( 0X05 )",
        "Device( \"A\" ) , NetNodeId( 5 )",
        "Device( \"A\" ) NetNodeId( 0x05 )",
        "Device( \"A\" ) ,",
        "device( \"A\" ) , NetNodeId( 0x05 )",
        "Device ( \"A\" ) , NetNodeId( 0x05 )",
        "Device( \"A\" ) , NetNodeID( 0x05 )",
        "",
        "   ",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        const ScanfResult expected = scanfReference(text);
        const auto got = ParseKbnTopologyNodeValue(text);
        ASSERT_EQ(got.has_value(), expected.items == 2);
        if (!got)
            continue;
        EXPECT_EQ(got->Device, expected.device);
        EXPECT_EQ(got->NodeId, expected.nodeId);
        EXPECT_FALSE(got->NodeIdTooLarge);
    }
}

