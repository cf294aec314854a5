#include "serial/port_io.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace Lift::Serial {

PortWriteResult WritePort(int fd, const void* data, std::size_t n, std::uint32_t timeoutMs,
                          int cancelFd) {
    PortWriteResult result;
    const auto* bytes = static_cast<const char*>(data);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (result.written < n) {
        const ssize_t w = ::write(fd, bytes + result.written, n - result.written);
        if (w > 0) {
            result.written += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && errno != EAGAIN) {
            result.error = errno;
            return result;
        }
        // The queue is full: wait for room, the deadline, or cancellation.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return result;
        pollfd fds[2] = {{fd, POLLOUT, 0}, {cancelFd, POLLIN, 0}};
        const int r = ::poll(fds, cancelFd >= 0 ? 2 : 1, static_cast<int>(left.count()) + 1);
        if (r < 0 && errno != EINTR) {
            result.error = errno;
            return result;
        }
        if (cancelFd >= 0 && (fds[1].revents & POLLIN)) {
            result.cancelled = true;
            return result;
        }
        if (fds[0].revents & (POLLERR | POLLNVAL)) {
            result.error = EIO;
            return result;
        }
    }
    return result;
}

namespace {

int SystemIoctl(int fd, unsigned long request, void* options) {
    return ::ioctl(fd, request, options);
}

std::atomic<SerialOptionsIoctl> g_optionsIoctl{SystemIoctl};

// Sets or clears the low-latency option; true when the driver took the change.
bool ChangeLowLatency(int fd, bool on) {
    const SerialOptionsIoctl call = g_optionsIoctl.load();
    serial_struct info{};
    if (call(fd, TIOCGSERIAL, &info) != 0)
        return false;
    if (((info.flags & ASYNC_LOW_LATENCY) != 0) == on)
        return false;
    info.flags = on ? info.flags | ASYNC_LOW_LATENCY : info.flags & ~ASYNC_LOW_LATENCY;
    return call(fd, TIOCSSERIAL, &info) == 0;
}

} // namespace

SerialOptionsIoctl SetSerialOptionsIoctl(SerialOptionsIoctl call) {
    return g_optionsIoctl.exchange(call ? call : SystemIoctl);
}

bool RequestLowLatency(int fd) {
    return ChangeLowLatency(fd, true);
}

void RestoreLowLatency(int fd) {
    (void)ChangeLowLatency(fd, false);
}

} // namespace Lift::Serial
