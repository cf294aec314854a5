#include "serial/port_table.h"

#include <cstdlib>
#include <mutex>

namespace Lift::Serial {

namespace {
std::mutex g_mutex;
std::map<unsigned, std::string>& overrides() {
    static std::map<unsigned, std::string> table;
    return table;
}
std::map<unsigned, FoundComPort>& found() {
    static std::map<unsigned, FoundComPort> table;
    return table;
}
} // namespace

ComPortEntry LookUpComPort(unsigned portNumber) {
    using Source = ComPortEntry::Source;
    std::lock_guard<std::mutex> lock(g_mutex);
    if (auto it = overrides().find(portNumber); it != overrides().end())
        return {Source::Program, it->second, {}};
    const std::string variable = "LIFT_LCD_COM" + std::to_string(portNumber);
    // Read on the loop thread; nothing in the program sets the environment.
    const char* value = std::getenv(variable.c_str()); // NOLINT(concurrency-mt-unsafe)
    if (value && *value)
        return {Source::Environment, value, {}};
    if (auto it = found().find(portNumber); it != found().end())
        return {Source::Found, it->second.devicePath, it->second.label};
    return {
        Source::Default, "/dev/ttyS" + std::to_string(portNumber == 0 ? 0 : portNumber - 1), {}};
}

std::string ComPortDevicePath(unsigned portNumber) {
    return LookUpComPort(portNumber).devicePath;
}

void SetComPortDevicePath(unsigned portNumber, const std::string& path) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (path.empty())
        overrides().erase(portNumber);
    else
        overrides()[portNumber] = path;
}

void SetFoundComPorts(std::map<unsigned, FoundComPort> ports) {
    std::lock_guard<std::mutex> lock(g_mutex);
    found() = std::move(ports);
}

std::string ComPortName(unsigned portNumber) {
    return "COM" + std::to_string(portNumber);
}

} // namespace Lift::Serial
