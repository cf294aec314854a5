#pragma once
// The port given on the command line (--port) and the ports command.

#include "serial/com_port_discovery.h"

#include <functional>
#include <optional>
#include <string>

namespace Lift::Cli {

struct PortArgument {
    unsigned number = 0;
    std::string devicePath; // set for a device: the port table's entry for number
    std::string warning;    // the search for ports had a problem worth telling
};

// The machine's ports, numbered and put into the port table.
Serial::PortDiscovery DiscoverPortsHere();

// A port number 1..16, "COMn", the name of a port found (by-id or kernel name, as
// "lift-lcd ports" lists them) or a device path. A found port keeps its own number; any
// other path stands in for COM1. `discover` runs for every well-formed text.
// Nothing, with error set, for a number outside 1..16, an empty text, or a name that is
// neither a port found nor a file.
std::optional<PortArgument>
ParsePortArgument(const std::string& text, std::string& error,
                  const std::function<Serial::PortDiscovery()>& discover = DiscoverPortsHere);

} // namespace Lift::Cli
