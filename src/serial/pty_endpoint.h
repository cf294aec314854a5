#pragma once
// PtyEndpoint: the far end of a pseudo-terminal, for simulated devices. A serial component
// opens path() as its port (through the port table); the simulator reads and writes
// masterFd().
//
// The terminal is put in raw mode from this side, so nothing the client writes is echoed or
// edited, and the master side is non-blocking. The client side is never opened here: the
// first close of the device by its client is then seen as a hang-up.
//
// stop() and wake() write to a pipe whose read end (signalFd()) the serving loop polls with
// the master; stop() is async-signal-safe. Errors are returned as false with a one-line reason
// in error().

#include <atomic>
#include <string>

namespace Lift::Serial {

class PtyEndpoint {
public:
    PtyEndpoint() = default;
    ~PtyEndpoint(); // closes the terminal and removes the link made by makeLink
    PtyEndpoint(const PtyEndpoint&) = delete;
    PtyEndpoint& operator=(const PtyEndpoint&) = delete;

    // Creates the pseudo-terminal and the signal pipe.
    bool open();
    // Path of the device a client opens, e.g. "/dev/pts/7".
    const std::string& path() const { return m_path; }
    // Makes linkPath a symbolic link to path(). An existing symbolic link is replaced (a
    // stale one from an earlier run); any other existing file is refused.
    bool makeLink(const std::string& linkPath);

    int masterFd() const { return m_master; }
    // Closes the master side now: the client's device hangs up, as a pulled cable does.
    void hangUp();
    int signalFd() const { return m_signalPipe[0]; }

    // Asks the serving loop to end; any thread, signal handlers included.
    void stop();
    bool stopRequested() const { return m_stop.load(); }
    // Makes the serving loop look again (its signal fd turns readable).
    void wake();
    // Empties the signal pipe once its readiness has been seen.
    void drainSignals();

    // Sets error() to what + the errno text; returns false.
    bool fail(const std::string& what);
    void setError(std::string text) { m_error = std::move(text); }
    const std::string& error() const { return m_error; }

private:
    int m_master = -1;
    int m_signalPipe[2] = {-1, -1};
    std::atomic<bool> m_stop{false};
    std::string m_path;
    std::string m_linkPath;
    std::string m_error;
};

} // namespace Lift::Serial
