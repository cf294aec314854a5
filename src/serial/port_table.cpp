#include "serial/port_table.h"

#include <cstdlib>
#include <map>
#include <mutex>

namespace Lift::Serial {

namespace {
std::mutex g_mutex;
std::map<unsigned, std::string>& overrides() {
    static std::map<unsigned, std::string> table;
    return table;
}
} // namespace

std::string ComPortDevicePath(unsigned portNumber) {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        auto it = overrides().find(portNumber);
        if (it != overrides().end())
            return it->second;
    }
    const std::string variable = "LIFT_LCD_COM" + std::to_string(portNumber);
    // Read at Open on the loop thread; nothing in the program sets the environment.
    const char* value = std::getenv(variable.c_str()); // NOLINT(concurrency-mt-unsafe)
    if (value && *value)
        return value;
    return "/dev/ttyS" + std::to_string(portNumber == 0 ? 0 : portNumber - 1);
}

void SetComPortDevicePath(unsigned portNumber, const std::string& path) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (path.empty())
        overrides().erase(portNumber);
    else
        overrides()[portNumber] = path;
}

std::string ComPortName(unsigned portNumber) {
    return "COM" + std::to_string(portNumber);
}

} // namespace Lift::Serial
