#include "lift_lcd/port_argument.h"

#include "lift_lcd/option_values.h"

#include <filesystem>

namespace Lift::Cli {

Serial::PortDiscovery DiscoverPortsHere() {
    return Serial::DiscoverComPorts(Serial::DefaultPortDiscoveryPlaces());
}

std::optional<PortArgument>
ParsePortArgument(const std::string& text, std::string& error,
                  const std::function<Serial::PortDiscovery()>& discover) {
    if (text.empty()) {
        error = "empty port";
        return std::nullopt;
    }
    std::string digits = text;
    if (text.size() > 3 && (text.compare(0, 3, "COM") == 0 || text.compare(0, 3, "com") == 0))
        digits = text.substr(3);
    if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos) {
        const auto n = ParseInteger(digits, 1, Serial::kHighestComPort);
        if (!n) {
            error = "port " + text + " is not one of COM1 to COM16";
            return std::nullopt;
        }
        // COM n may be an adapter found on this machine.
        return PortArgument{static_cast<unsigned>(*n), {}, discover().problem};
    }
    const Serial::PortDiscovery found = discover();
    for (const Serial::FoundPort& p : found.ports) {
        if (p.number != 0 && (text == p.name || text == p.kernelName || text == p.devicePath))
            return PortArgument{p.number, p.devicePath, found.problem};
    }
    std::error_code ec;
    if (text.find('/') == std::string::npos && !std::filesystem::exists(text, ec)) {
        error = "no port named " + text + " ('lift-lcd ports' lists the ports found)";
        return std::nullopt;
    }
    // Any other device stands in for COM1.
    return PortArgument{1, text, found.problem};
}

} // namespace Lift::Cli
