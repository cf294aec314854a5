#pragma once
// PtyController: serves a ControllerSimulator on a pseudo-terminal, so that a serial port
// opened on the terminal's device path talks to a simulated display controller.
//
// The terminal is put in raw mode from the controlling side, so nothing a client writes is
// echoed or edited. The client side is never opened here: the first close of the device by
// its client is then seen as a hang-up, which ends run().
//
// Thread: one thread creates and runs it; stop() may be called from any thread and from a
// signal handler. Errors are returned (false / Outcome::Failed) with a one-line reason.

#include "link/controller_simulator.h"
#include "serial/pty_endpoint.h"

#include <chrono>
#include <string>

namespace Lift::Link {

class PtyController {
public:
    explicit PtyController(const SimulatorConfig& config);
    // Destruction closes the terminal and removes the link made by makeLink.
    PtyController(const PtyController&) = delete;
    PtyController& operator=(const PtyController&) = delete;

    // Creates the pseudo-terminal.
    bool open() { return m_pty.open(); }
    // Path of the device a client opens, e.g. "/dev/pts/7".
    const std::string& path() const { return m_pty.path(); }
    // Makes linkPath a symbolic link to path(). An existing symbolic link is replaced (a
    // stale one from an earlier run); any other existing file is refused.
    bool makeLink(const std::string& linkPath) { return m_pty.makeLink(linkPath); }

    enum class Outcome {
        Finished,   // a whole image or a valid date-time frame arrived
        ClientLeft, // the client closed the device before that
        Stopped,    // stop() was called
        TimedOut,   // maxTime passed
        HungUp,     // the simulator hung the line up (SimulatorFaults::hangUpAfterFrames)
        Failed,     // the terminal failed; see error()
    };
    // Serves the line. After the simulator has finished, the last answer is written and
    // the line is served for up to linger more (or until the client closes), so the client
    // reads that answer before the terminal goes away.
    Outcome run(std::chrono::milliseconds linger = std::chrono::milliseconds(2000),
                std::chrono::milliseconds maxTime = std::chrono::milliseconds(-1));
    // Ends run() soon; async-signal-safe.
    void stop() { m_pty.stop(); }

    const ControllerSimulator& simulator() const { return m_sim; }
    const std::string& error() const { return m_pty.error(); }

private:
    ControllerSimulator m_sim;
    Serial::PtyEndpoint m_pty;
};

} // namespace Lift::Link
