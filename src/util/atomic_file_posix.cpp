#include "util/atomic_file.h"

#include "util/errno_text.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Lift::Util {

namespace {

std::atomic<FileFault> g_fault{FileFault::None};
std::atomic<unsigned> g_counter{0};

std::string reason(const std::string& what, const std::string& path, int err) {
    return what + " \"" + path + "\": " + ErrnoText(err);
}

bool fail(std::string* error, const std::string& what, const std::string& path, int err) {
    if (error)
        *error = reason(what, path, err);
    return false;
}

// Writes all bytes, retrying short writes and interrupts.
bool writeAll(int fd, std::string_view bytes, int& err) {
    const FileFault fault = g_fault.load();
    if (fault == FileFault::Write) {
        err = EIO;
        return false;
    }
    size_t done = 0;
    if (fault == FileFault::DiskFull) {
        // Half the data fits, then the device is full.
        const size_t half = bytes.size() / 2;
        while (done < half) {
            ssize_t n = ::write(fd, bytes.data() + done, half - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        err = ENOSPC;
        return false;
    }
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        if (n == 0) {
            err = ENOSPC;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string resolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(path.c_str(), buf))
            return buf;
    }
    return path;
}

} // namespace

bool WriteFileAtomically(const std::string& requested, std::string_view bytes, std::string* error) {
    const std::string path = resolveTarget(requested);

    struct stat target {};
    const bool exists = ::stat(path.c_str(), &target) == 0;
    if (exists && S_ISDIR(target.st_mode))
        return fail(error, "Cannot write", requested, EISDIR);

    if (g_fault.load() == FileFault::Create)
        return fail(error, "Cannot create", requested, EACCES);

    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp =
            path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(g_counter.fetch_add(1));
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return fail(error, "Cannot create", requested, errno);
    }
    if (fd < 0)
        return fail(error, "Cannot create", requested, EEXIST);

    int err = 0;
    bool ok = writeAll(fd, bytes, err);
    if (ok && exists && ::fchmod(fd, target.st_mode & 07777) != 0) {
        // Keeping the old permissions is best effort (another owner's file): not fatal.
    }
    if (ok) {
        if (g_fault.load() == FileFault::Flush) {
            ok = false;
            err = EIO;
        } else if (::fsync(fd) != 0) {
            ok = false;
            err = errno;
        }
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok) {
        if (g_fault.load() == FileFault::Rename) {
            ok = false;
            err = EXDEV;
        } else if (::rename(temp.c_str(), path.c_str()) != 0) {
            ok = false;
            err = errno;
        }
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return fail(error, "Cannot write", requested, err);
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& out, std::string* error) {
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(error, "Cannot open", path, errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(error, "Cannot read", path, EISDIR);
    }
    if (st.st_size > 0)
        out.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int e = errno;
            ::close(fd);
            out.clear();
            return fail(error, "Cannot read", path, e);
        }
        if (n == 0)
            break;
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

FileFaultInjection::FileFaultInjection(FileFault fault) : m_previous(g_fault.exchange(fault)) {}

FileFaultInjection::~FileFaultInjection() {
    g_fault.store(m_previous);
}

} // namespace Lift::Util
