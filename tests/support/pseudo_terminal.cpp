#include "support/pseudo_terminal.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace Lift::Test {

PseudoTerminal::PseudoTerminal() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        throw std::runtime_error("no pseudo-terminal available");
    char name[128];
    if (::ptsname_r(m_master, name, sizeof name) != 0)
        throw std::runtime_error("ptsname failed");
    m_slavePath = name;
}

PseudoTerminal::~PseudoTerminal() {
    if (m_master >= 0)
        ::close(m_master);
}

void PseudoTerminal::hangUp() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

void PseudoTerminal::write(const std::string& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0)
            throw std::runtime_error("write to pseudo-terminal master failed");
        done += static_cast<std::size_t>(w);
    }
}

MasterReader::MasterReader(const PseudoTerminal& pty, std::function<void()> onData)
    : m_fd(pty.masterFd()), m_onData(std::move(onData)) {
    if (::pipe2(m_stop, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    m_thread = std::thread([this] { run(); });
}

MasterReader::~MasterReader() {
    (void)!::write(m_stop[1], "x", 1);
    m_thread.join();
    ::close(m_stop[0]);
    ::close(m_stop[1]);
}

std::string MasterReader::all() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

void MasterReader::run() {
    char buffer[4096];
    for (;;) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents)
            return;
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0) {
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_received.append(buffer, static_cast<std::size_t>(n));
                }
                if (m_onData)
                    m_onData();
                continue;
            }
        }
        if (fds[0].revents & (POLLHUP | POLLERR)) {
            // No device side open: nothing can arrive until it opens again; look now and then.
            pollfd stop = {m_stop[0], POLLIN, 0};
            if (::poll(&stop, 1, 10) > 0)
                return;
        }
    }
}

} // namespace Lift::Test
