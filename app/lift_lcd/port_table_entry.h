#pragma once
// PortTableEntry: points a port number at a device for the lifetime of one command, and
// removes the override again at its end.

#include "serial/port_table.h"

#include <string>

namespace Lift::Cli {

class PortTableEntry {
public:
    // An empty path leaves the port table as it is.
    PortTableEntry(unsigned number, const std::string& path) : m_number(number) {
        if (!path.empty()) {
            m_set = true;
            Serial::SetComPortDevicePath(number, path);
        }
    }
    ~PortTableEntry() {
        if (m_set)
            Serial::SetComPortDevicePath(m_number, "");
    }
    PortTableEntry(const PortTableEntry&) = delete;
    PortTableEntry& operator=(const PortTableEntry&) = delete;

private:
    unsigned m_number;
    bool m_set = false;
};

} // namespace Lift::Cli
