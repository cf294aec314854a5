#include "serial/port_lock.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <unistd.h>

namespace Lift::Serial {

namespace {

std::mutex g_mutex;
std::string g_lockDirectory = "/var/lock";

std::string LockDirectory() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_lockDirectory;
}

// The process id a lock file names, or 0 when it cannot be read as one.
pid_t LockFilePid(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return 0;
    char text[32] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0)
        return 0;
    // A binary id is four bytes whose highest is zero (ids stay below 2^22).
    if (n == static_cast<ssize_t>(sizeof(int)) && text[sizeof(int) - 1] == '\0') {
        int binary = 0;
        std::memcpy(&binary, text, sizeof binary);
        return binary > 0 ? static_cast<pid_t>(binary) : 0;
    }
    char* end = nullptr;
    const long ascii = std::strtol(text, &end, 10);
    return end != text && ascii > 0 && ascii <= 0x7FFFFFFF ? static_cast<pid_t>(ascii) : 0;
}

bool NamesAnotherLiveProcess(const std::string& lockFile) {
    const pid_t pid = LockFilePid(lockFile);
    if (pid <= 0 || pid == ::getpid())
        return false;
    // EPERM: the process runs under another user, but it runs.
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

} // namespace

bool DeviceLockedByAnother(const std::string& devicePath) {
    const std::filesystem::path given(devicePath);
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(given, ec);
    const std::filesystem::path directory(LockDirectory());
    for (const auto& name : {given.filename(), ec ? std::filesystem::path() : real.filename()}) {
        if (name.empty())
            continue;
        if (NamesAnotherLiveProcess((directory / ("LCK.." + name.string())).string()))
            return true;
    }
    return false;
}

void SetPortLockDirectory(const std::string& directory) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lockDirectory = directory.empty() ? "/var/lock" : directory;
}

} // namespace Lift::Serial
