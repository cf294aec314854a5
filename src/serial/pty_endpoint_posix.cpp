#include "serial/pty_endpoint.h"

#include "util/errno_text.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace Lift::Serial {

PtyEndpoint::~PtyEndpoint() {
    if (!m_linkPath.empty())
        ::unlink(m_linkPath.c_str());
    if (m_master >= 0)
        ::close(m_master);
    for (int fd : m_signalPipe)
        if (fd >= 0)
            ::close(fd);
}

bool PtyEndpoint::fail(const std::string& what) {
    m_error = what + ": " + Util::ErrnoText(errno);
    return false;
}

bool PtyEndpoint::open() {
    if (::pipe2(m_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail("cannot create a pipe");
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return fail("cannot create a pseudo-terminal");
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return fail("cannot unlock the pseudo-terminal");
    char name[128];
    if (::ptsname_r(m_master, name, sizeof name) != 0)
        return fail("cannot name the pseudo-terminal");
    m_path = name;
    // Raw mode set from this side applies to the client side: no echo, no line editing.
    termios t{};
    if (::tcgetattr(m_master, &t) != 0)
        return fail("cannot read the terminal settings");
    ::cfmakeraw(&t);
    if (::tcsetattr(m_master, TCSANOW, &t) != 0)
        return fail("cannot set the terminal to raw mode");
    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("cannot make the terminal non-blocking");
    return true;
}

bool PtyEndpoint::makeLink(const std::string& linkPath) {
    struct stat st {};
    if (::lstat(linkPath.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            errno = EEXIST;
            return fail("will not replace " + linkPath);
        }
        if (::unlink(linkPath.c_str()) != 0)
            return fail("cannot replace " + linkPath);
    }
    if (::symlink(m_path.c_str(), linkPath.c_str()) != 0)
        return fail("cannot make the link " + linkPath);
    m_linkPath = linkPath;
    return true;
}

void PtyEndpoint::hangUp() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

void PtyEndpoint::stop() {
    m_stop.store(true);
    wake();
}

void PtyEndpoint::wake() {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_signalPipe[1], &c, 1);
}

void PtyEndpoint::drainSignals() {
    char buffer[64];
    while (::read(m_signalPipe[0], buffer, sizeof buffer) > 0) {
    }
}

} // namespace Lift::Serial
