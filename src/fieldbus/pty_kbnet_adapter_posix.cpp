#include "fieldbus/pty_kbnet_adapter.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace Lift::Fieldbus {

void PtyKbnAdapter::access(const std::function<void(KbnAdapterSimulator&)>& fn) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        fn(m_sim);
    }
    m_pty.wake(); // what fn made the adapter say goes out from the serving thread
}

bool PtyKbnAdapter::run() {
    const int master = m_pty.masterFd();
    if (master < 0) {
        m_pty.setError("the pseudo-terminal is not open");
        return false;
    }
    std::string pending;
    char buffer[4096];
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            pending += m_sim.takeOutput();
        }
        while (!pending.empty()) {
            const ssize_t n = ::write(master, pending.data(), pending.size());
            if (n > 0) {
                pending.erase(0, static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EIO) {
                pending.clear(); // no client: nobody hears it, as on an unplugged line
                break;
            }
            if (n < 0 && errno != EAGAIN)
                return m_pty.fail("cannot write to " + m_pty.path());
            break; // full: POLLOUT tells when to go on
        }
        pollfd fds[2] = {{master, static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0},
                         {m_pty.signalFd(), POLLIN, 0}};
        // Without a client the master reports a hang-up at once; look again now and then.
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return m_pty.fail("cannot wait for " + m_pty.path());
        }
        if (fds[1].revents & POLLIN) {
            m_pty.drainSignals();
            if (m_pty.stopRequested())
                return true;
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0) {
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_sim.receive(std::string_view(buffer, static_cast<std::size_t>(n)));
                }
                if (m_onReceived)
                    m_onReceived();
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
        }
        if (fds[0].revents & (POLLHUP | POLLERR)) {
            // No client now: wait for a signal or a little while, then look again.
            pollfd signal = {m_pty.signalFd(), POLLIN, 0};
            ::poll(&signal, 1, 20);
        }
    }
}

} // namespace Lift::Fieldbus
