#include "serial/port_lock.h"

#include <cerrno>
#include <charconv>
#include <csignal>
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

bool NamesAnotherLiveProcess(const std::string& lockFile) {
    const int fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    char text[32];
    const ssize_t n = ::read(fd, text, sizeof text);
    ::close(fd);
    const pid_t pid =
        n > 0 ? LockFileProcessId(std::string_view(text, static_cast<std::size_t>(n))) : 0;
    if (pid == 0 || pid == ::getpid())
        return false;
    // EPERM: the process runs under another user, but it runs.
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

} // namespace

pid_t LockFileProcessId(std::string_view contents) {
    const auto first = contents.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return 0;
    int pid = 0;
    const char* end = contents.data() + contents.size();
    const auto [next, error] = std::from_chars(contents.data() + first, end, pid);
    const bool ended = next == end || *next == '\n';
    return error == std::errc() && ended && pid > 0 ? pid : 0;
}

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
