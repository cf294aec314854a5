#pragma once
// The narrow outside world of the controller link: the serial port, the time-out timer and
// the clocks. The window, the command line and the tests each supply their own; every call
// comes from the main loop's thread.

#include "link/link_frame.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace Lift::Link {

// The serial component as the link uses it.
class LinkPort {
public:
    virtual ~LinkPort() = default;
    virtual bool opened() const = 0;
    // Opens the port with the current settings; false when it could not, lastError() then
    // says why (the component's LastErrMsg).
    virtual bool open() = 0;
    virtual std::string lastError() const = 0;
    virtual void close() = 0;
    virtual unsigned portNumber() const = 0;
    // Asks for another port number; the component may refuse it with its own error box and
    // keep the number it had.
    virtual void setPortNumber(unsigned number) = 0;
    // Writes the bytes; blocks until they are written or the port's write time-out ended.
    // The outcome is not the link's concern: a lost frame is handled by NAK or time-out.
    virtual void sendData(std::span<const std::uint8_t> bytes) = 0;
};

// The time-out timer: while started it ticks once every period (10000 ms in the window).
class LinkTimer {
public:
    virtual ~LinkTimer() = default;
    // Enables the timer, or restarts it when it runs: a full period counts anew from now.
    virtual void start() = 0;
    // Disables it; no tick arrives until the next start().
    virtual void stop() = 0;
};

class LinkClock {
public:
    virtual ~LinkClock() = default;
    // The PC's local date and time, read anew for every date-time frame.
    virtual LocalDateTime localNow() const = 0;
    // A clock that never goes back; the upload's elapsed time is measured with it.
    virtual std::chrono::steady_clock::time_point monotonicNow() const = 0;
};

// The system clocks.
class SystemLinkClock final : public LinkClock {
public:
    LocalDateTime localNow() const override;
    std::chrono::steady_clock::time_point monotonicNow() const override {
        return std::chrono::steady_clock::now();
    }
};

} // namespace Lift::Link
