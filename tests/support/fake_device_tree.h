#pragma once
// A fake /dev and /sys for the search for serial ports: built-in UARTs as the kernel lists
// them, and adapters as udev shows them, their nodes linked to pseudo-terminals.

#include <filesystem>
#include <string>

namespace Lift::Test {

class FakeDeviceTree {
public:
    explicit FakeDeviceTree(std::filesystem::path root) : m_root(std::move(root)) {}

    std::string root() const { return m_root.string(); }
    // ttyS<k> with a device behind its /sys entry and the given UART type (0: placeholder).
    void uart(unsigned k, int type) const;
    // /dev/<kernel> linked to `device`, its /sys entry, and /dev/serial/by-id/<byId> when
    // byId is given.
    void plug(const std::string& kernel, const std::string& device,
              const std::string& byId = {}) const;
    void unplug(const std::string& kernel, const std::string& byId = {}) const;
    std::string byIdPath(const std::string& byId) const;

private:
    std::filesystem::path m_root;
};

} // namespace Lift::Test
