#include "support/fake_device_tree.h"

#include "support/temp_dir.h"

namespace Lift::Test {

namespace fs = std::filesystem;

void FakeDeviceTree::uart(unsigned k, int type) const {
    const std::string name = "ttyS" + std::to_string(k);
    fs::create_directories(m_root / "sys/class/tty" / name / "device");
    WriteBytes((m_root / "sys/class/tty" / name / "type").string(), std::to_string(type) + "\n");
    fs::create_directories(m_root / "dev");
    WriteBytes((m_root / "dev" / name).string(), "");
}

void FakeDeviceTree::plug(const std::string& kernel, const std::string& device,
                          const std::string& byId) const {
    fs::create_directories(m_root / "sys/class/tty" / kernel);
    fs::create_directories(m_root / "dev/serial/by-id");
    fs::create_symlink(device, m_root / "dev" / kernel);
    if (!byId.empty())
        fs::create_symlink("../../" + kernel, byIdPath(byId));
}

void FakeDeviceTree::unplug(const std::string& kernel, const std::string& byId) const {
    fs::remove(m_root / "dev" / kernel);
    fs::remove_all(m_root / "sys/class/tty" / kernel);
    if (!byId.empty())
        fs::remove(byIdPath(byId));
}

std::string FakeDeviceTree::byIdPath(const std::string& byId) const {
    return (m_root / "dev/serial/by-id" / byId).string();
}

} // namespace Lift::Test
