#include "serial/com_port_discovery.h"

#include "serial/port_table.h"
#include "util/atomic_file.h"
#include "util/errno_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace Lift::Serial {

namespace {

namespace fs = std::filesystem;

// The 8250 driver lists ttyS entries for every possible port; only those whose probe found a
// UART have a type other than 0 ("unknown").
bool hasUart(const fs::path& sysEntry) {
    std::error_code ec;
    if (!fs::exists(sysEntry / "device", ec))
        return false;
    std::ifstream type(sysEntry / "type");
    int value = 0;
    return static_cast<bool>(type >> value) && value != 0;
}

bool isAdapterKernelName(const std::string& name) {
    return name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0;
}

// Holds an advisory lock on a folder for its lifetime; without the folder there is no lock,
// and nothing to protect yet.
class FolderLock {
public:
    explicit FolderLock(const fs::path& folder)
        : m_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (m_fd >= 0) {
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock() {
        if (m_fd >= 0)
            ::close(m_fd); // releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd;
};

const char* environment(const char* name) {
    // Read on the loop thread; nothing in the program sets the environment.
    const char* value = std::getenv(name); // NOLINT(concurrency-mt-unsafe)
    return value && *value ? value : nullptr;
}

} // namespace

std::vector<FoundPort> ScanSerialPorts(const std::string& root) {
    const fs::path dev = fs::path(root) / "dev";
    const fs::path sys = fs::path(root) / "sys" / "class" / "tty";
    std::error_code ec;
    std::vector<FoundPort> ports;
    for (unsigned k = 0; k < kHighestComPort; ++k) {
        const std::string name = "ttyS" + std::to_string(k);
        if (hasUart(sys / name) && fs::exists(dev / name, ec))
            ports.push_back({FoundPort::Kind::BuiltIn, name, name, (dev / name).string(),
                             "/dev/" + name, k + 1});
    }

    std::vector<FoundPort> adapters;
    std::set<std::string> named;
    for (const auto& entry : fs::directory_iterator(dev / "serial" / "by-id", ec)) {
        const fs::path target = fs::read_symlink(entry.path(), ec);
        // A link left dangling names an adapter that is gone.
        if (ec || !fs::exists(entry.path(), ec))
            continue;
        const std::string byId = entry.path().filename().string();
        const std::string kernel = target.filename().string();
        adapters.push_back(
            {FoundPort::Kind::Adapter, byId, kernel, entry.path().string(), byId, 0});
        named.insert(kernel);
    }
    for (const auto& entry : fs::directory_iterator(sys, ec)) {
        const std::string kernel = entry.path().filename().string();
        if (isAdapterKernelName(kernel) && !named.count(kernel) && fs::exists(dev / kernel, ec))
            adapters.push_back({FoundPort::Kind::Adapter, kernel, kernel, (dev / kernel).string(),
                                "/dev/" + kernel, 0});
    }
    std::sort(adapters.begin(), adapters.end(),
              [](const FoundPort& a, const FoundPort& b) { return a.name < b.name; });
    ports.insert(ports.end(), adapters.begin(), adapters.end());
    return ports;
}

PortDiscoveryPlaces DefaultPortDiscoveryPlaces() {
    PortDiscoveryPlaces places;
    if (const char* root = environment("LIFT_LCD_DEVICE_ROOT"))
        places.root = root;
    // A relative XDG folder is to be ignored, by the base-directory rules.
    const char* config = environment("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        places.memoryFile = std::string(config) + "/lift-lcd/com-ports";
    else if (const char* home = environment("HOME"))
        places.memoryFile = std::string(home) + "/.config/lift-lcd/com-ports";
    return places;
}

PortDiscovery DiscoverComPorts(const PortDiscoveryPlaces& places) {
    PortDiscovery found;
    found.ports = ScanSerialPorts(places.root);
    std::set<unsigned> overridden;
    for (unsigned n = 1; n <= kHighestComPort; ++n) {
        const auto source = LookUpComPort(n).source;
        if (source == ComPortEntry::Source::Program || source == ComPortEntry::Source::Environment)
            overridden.insert(n);
    }

    bool readable = true;
    if (!places.memoryFile.empty()) {
        const fs::path file(places.memoryFile);
        const FolderLock lock(file.parent_path());
        std::error_code ec;
        std::string text, error;
        if (fs::exists(file, ec) && !Util::ReadWholeFile(places.memoryFile, text, &error)) {
            readable = false;
        } else if (auto memory = ParseComPortMemory(text, error)) {
            found.memory = std::move(*memory);
        } else {
            readable = false;
            error = places.memoryFile + ": " + error;
        }
        if (!readable)
            found.problem = "COM numbers of adapters are not remembered: " + error;
        if (AssignComPortNumbers(found.ports, found.memory, overridden) && readable) {
            fs::create_directories(file.parent_path(), ec);
            if (!Util::WriteFileAtomically(places.memoryFile, FormatComPortMemory(found.memory),
                                           &error))
                found.problem = "COM numbers of adapters are not remembered: " + error;
        }
    } else {
        AssignComPortNumbers(found.ports, found.memory, overridden);
    }

    std::map<unsigned, FoundComPort> table;
    for (const FoundPort& p : found.ports) {
        if (p.number != 0)
            table[p.number] = {p.devicePath, p.label};
    }
    SetFoundComPorts(std::move(table));
    return found;
}

} // namespace Lift::Serial
