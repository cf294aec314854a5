#pragma once
// Low-level helpers for an open serial device (POSIX): bounded writes, the baud rate, and
// driver options. Used by the component and its monitor thread.

#include <cstddef>
#include <cstdint>

namespace Lift::Serial {

struct PortWriteResult {
    std::size_t written = 0;
    int error = 0;          // errno of a refused write, 0 when none
    bool cancelled = false; // cancelFd became readable before everything was written
};

// Writes n bytes to a non-blocking descriptor, waiting for room at most timeoutMs in all.
// Returns early (cancelled) as soon as cancelFd (-1: none) is readable. Any thread.
PortWriteResult WritePort(int fd, const void* data, std::size_t n, std::uint32_t timeoutMs,
                          int cancelFd);

// Sets input and output speed to any rate the driver accepts (not only the standard ones).
bool SetPortBaudRate(int fd, std::uint32_t baud);

// Asks the driver to hand received bytes on at once instead of batching them (USB adapters
// otherwise hold them for up to 16 ms). Best effort: devices without the option are left alone.
// True when this call turned the option on; RestoreLowLatency then turns it off again.
bool RequestLowLatency(int fd);
void RestoreLowLatency(int fd);

// The driver-option requests (TIOCGSERIAL, TIOCSSERIAL) go through this call, so tests can
// stand in for a UART driver (pseudo-terminals have none). Returns the previous one; null
// restores the system's ioctl. Set it while no port is being opened or closed.
using SerialOptionsIoctl = int (*)(int fd, unsigned long request, void* options);
SerialOptionsIoctl SetSerialOptionsIoctl(SerialOptionsIoctl call);

} // namespace Lift::Serial
