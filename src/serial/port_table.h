#pragma once
// The port table: which device a COM port number stands for.
//
// The component keeps the port numbers 1..16 as its interface; the device behind number n is,
// first match wins:
//   1. a path set by SetComPortDevicePath(n, path) (the window may fill it from its settings);
//   2. the environment variable LIFT_LCD_COM<n>, e.g. LIFT_LCD_COM3=/dev/ttyUSB0;
//   3. a port found on this machine and numbered n (SetFoundComPorts, com_port_discovery.h);
//   4. /dev/ttyS<n-1> (COM1 is /dev/ttyS0).
// Any thread.

#include <map>
#include <string>

namespace Lift::Serial {

struct ComPortEntry {
    enum class Source { Program, Environment, Found, Default };
    Source source = Source::Default;
    std::string devicePath;
    std::string label; // Found: the name the user knows the port by; else empty
};

// Where number n (n >= 1) leads, and which rule says so.
ComPortEntry LookUpComPort(unsigned portNumber);

// The device path for port number n (n >= 1).
std::string ComPortDevicePath(unsigned portNumber);

// Overrides port number n; an empty path removes the override.
void SetComPortDevicePath(unsigned portNumber, const std::string& path);

struct FoundComPort {
    std::string devicePath;
    std::string label;
};
// Replaces every found port (rule 3) by these, keyed by number.
void SetFoundComPorts(std::map<unsigned, FoundComPort> ports);

// The port's name as the user knows it: "COM" + n.
std::string ComPortName(unsigned portNumber);

} // namespace Lift::Serial
