#pragma once
// Reading one node line of a KBNet topology file, such as
//     Device( "PRM_4i4o" ) , NetNodeId( 0x05 )
// Blanks may stand or be left out wherever one is shown; nothing after the address counts.
// The rules are those of the C scanf format
//     " Device( \"%[^\"]\" ) , NetNodeId( 0x%X )"
// (the number may bring its own sign and "0x"), read without scanf so a long device name
// cannot overflow a buffer and an address beyond 32 bits is reported, not truncated.
// Pure function: any thread.

#include <cstdint>
#include <optional>
#include <string_view>

namespace Lift::Fieldbus {

struct KbnTopologyNodeValue {
    std::string_view Device; // between the quotation marks; never empty; points into the input
    std::uint32_t NodeId = 0;
    bool NodeIdTooLarge = false; // the number needs more than 32 bits; NodeId is meaningless
};

// Empty when the text does not yield both the device name and the address.
std::optional<KbnTopologyNodeValue> ParseKbnTopologyNodeValue(std::string_view text);

} // namespace Lift::Fieldbus
