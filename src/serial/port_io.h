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
void RequestLowLatency(int fd);

} // namespace Lift::Serial
