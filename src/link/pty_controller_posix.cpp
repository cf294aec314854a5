#include "link/pty_controller.h"

#include <cerrno>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <vector>

namespace Lift::Link {

namespace {
using SteadyClock = std::chrono::steady_clock;

timespec ToTimespec(std::chrono::nanoseconds d) {
    if (d.count() < 0)
        d = std::chrono::nanoseconds(0);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(d.count() / 1'000'000'000);
    ts.tv_nsec = static_cast<long>(d.count() % 1'000'000'000);
    return ts;
}
} // namespace

PtyController::PtyController(const SimulatorConfig& config) : m_sim(config) {}

PtyController::Outcome PtyController::run(std::chrono::milliseconds linger,
                                          std::chrono::milliseconds maxTime) {
    const int master = m_pty.masterFd();
    if (master < 0) {
        m_pty.setError("the pseudo-terminal is not open");
        return Outcome::Failed;
    }
    // Answers are due at exact times when paced; the default 50 us slack would add to each.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    const auto begin = SteadyClock::now();
    std::optional<SteadyClock::time_point> finishedAt;
    std::vector<std::uint8_t> pending;
    std::vector<std::uint8_t> buffer(4096);
    m_sim.start(begin);

    for (;;) {
        const auto now = SteadyClock::now();
        const auto due = m_sim.takeDue(now);
        pending.insert(pending.end(), due.begin(), due.end());
        while (!pending.empty()) {
            const ssize_t n = ::write(master, pending.data(), pending.size());
            if (n > 0) {
                pending.erase(pending.begin(), pending.begin() + n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EIO) {
                m_pty.fail("cannot write to " + m_pty.path());
                return Outcome::Failed;
            }
            break; // full, or no client yet: POLLOUT tells when to go on
        }
        if (m_sim.finished() && pending.empty() && !finishedAt)
            finishedAt = now;
        if (finishedAt && now - *finishedAt >= linger)
            return Outcome::Finished;
        if (maxTime.count() >= 0 && now - begin >= maxTime)
            return Outcome::TimedOut;

        std::optional<SteadyClock::time_point> wakeAt = m_sim.nextDue();
        const auto consider = [&](SteadyClock::time_point t) {
            if (!wakeAt || t < *wakeAt)
                wakeAt = t;
        };
        if (finishedAt)
            consider(*finishedAt + linger);
        if (maxTime.count() >= 0)
            consider(begin + maxTime);
        timespec ts{};
        if (wakeAt)
            ts = ToTimespec(*wakeAt - now);

        pollfd fds[2] = {{master, static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0},
                         {m_pty.signalFd(), POLLIN, 0}};
        const int r = ::ppoll(fds, 2, wakeAt ? &ts : nullptr, nullptr);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            m_pty.fail("cannot wait for " + m_pty.path());
            return Outcome::Failed;
        }
        if (fds[1].revents & POLLIN) {
            m_pty.drainSignals();
            if (m_pty.stopRequested())
                return Outcome::Stopped;
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(master, buffer.data(), buffer.size());
            if (n > 0) {
                m_sim.receive(std::span(buffer.data(), static_cast<std::size_t>(n)),
                              SteadyClock::now());
                if (m_sim.hungUp()) {
                    m_pty.hangUp(); // as an unplugged cable: the client's side hangs up
                    return Outcome::HungUp;
                }
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            // EIO: the client side is closed.
        }
        if (fds[0].revents & (POLLHUP | POLLERR | POLLIN)) {
            if (m_sim.finished())
                return Outcome::Finished;
            return Outcome::ClientLeft;
        }
    }
}

} // namespace Lift::Link
