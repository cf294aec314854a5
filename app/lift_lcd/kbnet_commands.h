#pragma once
// The field-bus subcommands of lift-lcd: a simulated KBNet adapter on a pseudo-terminal, and
// a technician's look at a real (or simulated) adapter and its modules.

#include "lift_lcd/cli.h"

#include <cstdint>
#include <optional>
#include <string>

namespace Lift::Cli {

int SimulateKbnetCommand(const std::vector<std::string>& args, Streams& io);
int KbnetCommand(const std::vector<std::string>& args, Streams& io);

// A bus address "SEG:NODE" in hex ("80:05", "0x80:0x05"); segment up to 0x80, node up to
// 0x7F.
struct KbnAddress {
    std::uint8_t seg = 0;
    std::uint8_t node = 0;
};
std::optional<KbnAddress> ParseKbnAddress(const std::string& text);
// A byte in hex, "0A" or "0x0A".
std::optional<std::uint8_t> ParseHexByte(const std::string& text);

} // namespace Lift::Cli
