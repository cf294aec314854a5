// lift-lcd ports: the serial ports of this machine and their COM numbers.

#include "lift_lcd/link_commands.h"
#include "lift_lcd/port_argument.h"

#include "serial/port_table.h"

#include <algorithm>
#include <ostream>

namespace Lift::Cli {

namespace {

constexpr const char* kUsage =
    "Usage: lift-lcd ports\n"
    "\n"
    "Lists the serial ports found on this machine with their COM numbers, as the editor's\n"
    "\"COM port:\" list shows them: built-in ports that have hardware behind them (COMn is\n"
    "/dev/ttyS<n-1>) and USB or ACM adapters, by their /dev/serial/by-id name where they\n"
    "have one. An adapter gets the first free number and keeps it; adapters remembered but\n"
    "not plugged in are listed too. LIFT_LCD_COMn=DEVICE sets a number by hand and wins.\n"
    "Any listed name works as --port of the other commands.\n"
    "\n"
    "Exit status: 0 listed, 1 the adapters' numbers could not be read or kept, 2 usage error.\n";

struct Row {
    unsigned number;
    std::string name, note;
};

} // namespace

int PortsCommand(const std::vector<std::string>& args, Streams& io) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            io.out << kUsage;
            return ExitOk;
        }
        io.err << "lift-lcd ports: unexpected argument '" << a << "'\n" << kUsage;
        return ExitUsage;
    }
    const Serial::PortDiscoveryPlaces places = Serial::DefaultPortDiscoveryPlaces();
    const Serial::PortDiscovery found = Serial::DiscoverComPorts(places);

    std::vector<Row> rows;
    for (const Serial::FoundPort& p : found.ports) {
        std::string note = p.kind == Serial::FoundPort::Kind::BuiltIn
                               ? "built-in port"
                               : "adapter, /dev/" + p.kernelName;
        if (p.number == 0)
            note += ", no COM number free";
        rows.push_back({p.number, p.label, note});
    }
    for (const auto& entry : found.memory) {
        const bool present =
            std::any_of(found.ports.begin(), found.ports.end(),
                        [&](const Serial::FoundPort& p) { return p.name == entry.first; });
        if (!present)
            rows.push_back({entry.second, entry.first, "adapter, not plugged in"});
    }
    for (unsigned n = 1; n <= Serial::kHighestComPort; ++n) {
        const Serial::ComPortEntry entry = Serial::LookUpComPort(n);
        if (entry.source == Serial::ComPortEntry::Source::Environment) {
            for (Row& r : rows) {
                if (r.number == n)
                    r.note += ", hidden by LIFT_LCD_COM" + std::to_string(n);
            }
            rows.push_back({n, entry.devicePath, "set by LIFT_LCD_COM" + std::to_string(n)});
        }
    }
    // Unnumbered adapters last.
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return (a.number == 0 ? 99 : a.number) < (b.number == 0 ? 99 : b.number);
    });

    std::size_t width = 0;
    for (const Row& r : rows)
        width = std::max(width, r.name.size());
    for (const Row& r : rows) {
        const std::string number = r.number == 0 ? "-" : "COM" + std::to_string(r.number);
        io.out << number << std::string(7 - number.size(), ' ') << r.name
               << std::string(width - r.name.size() + 2, ' ') << r.note << "\n";
    }
    if (rows.empty())
        io.out << "No serial port found.\n";
    if (!found.problem.empty()) {
        io.err << "lift-lcd ports: " << found.problem << "\n";
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace Lift::Cli
