#include "link/pty_controller.h"
#include "util/errno_text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
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

PtyController::~PtyController() {
    if (!m_linkPath.empty())
        ::unlink(m_linkPath.c_str());
    if (m_master >= 0)
        ::close(m_master);
    for (int fd : m_stopPipe)
        if (fd >= 0)
            ::close(fd);
}

bool PtyController::fail(const std::string& what) {
    m_error = what + ": " + Util::ErrnoText(errno);
    return false;
}

bool PtyController::open() {
    if (::pipe2(m_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
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

bool PtyController::makeLink(const std::string& linkPath) {
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

void PtyController::stop() {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_stopPipe[1], &c, 1);
}

PtyController::Outcome PtyController::run(std::chrono::milliseconds linger,
                                          std::chrono::milliseconds maxTime) {
    if (m_master < 0) {
        m_error = "the pseudo-terminal is not open";
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
            const ssize_t n = ::write(m_master, pending.data(), pending.size());
            if (n > 0) {
                pending.erase(pending.begin(), pending.begin() + n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EIO) {
                fail("cannot write to " + m_path);
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

        pollfd fds[2] = {
            {m_master, static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0},
            {m_stopPipe[0], POLLIN, 0}};
        const int r = ::ppoll(fds, 2, wakeAt ? &ts : nullptr, nullptr);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            fail("cannot wait for " + m_path);
            return Outcome::Failed;
        }
        if (fds[1].revents & POLLIN)
            return Outcome::Stopped;
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(m_master, buffer.data(), buffer.size());
            if (n > 0) {
                m_sim.receive(std::span(buffer.data(), static_cast<std::size_t>(n)),
                              SteadyClock::now());
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
