#pragma once
// PtyKbnAdapter: serves a KbnAdapterSimulator on a pseudo-terminal, so that the adapter
// component opened on the terminal's device path talks to a simulated adapter and its
// modules.
//
// Thread: one thread runs run(); access() and stop() may be called from any other thread
// (stop() also from a signal handler). access() runs a function on the simulator under the
// server's lock and sends what it produced. Errors: run() returns false with error() set.

#include "fieldbus/kbnet_adapter_simulator.h"
#include "serial/pty_endpoint.h"

#include <functional>
#include <mutex>
#include <string>

namespace Lift::Fieldbus {

class PtyKbnAdapter {
public:
    explicit PtyKbnAdapter(KbnAdapterSimConfig config) : m_sim(std::move(config)) {}
    PtyKbnAdapter(const PtyKbnAdapter&) = delete;
    PtyKbnAdapter& operator=(const PtyKbnAdapter&) = delete;

    bool open() { return m_pty.open(); }
    const std::string& path() const { return m_pty.path(); }
    bool makeLink(const std::string& linkPath) { return m_pty.makeLink(linkPath); }

    // Runs after bytes from the client were taken in (on the serving thread), e.g. to wake a
    // loop that waits for the simulator's state. Set before run().
    void setOnReceived(std::function<void()> onReceived) { m_onReceived = std::move(onReceived); }

    // Serves the line until stop(). A client may come and go meanwhile. False when the
    // terminal failed.
    bool run();
    void stop() { m_pty.stop(); }

    void access(const std::function<void(KbnAdapterSimulator&)>& fn);
    const std::string& error() const { return m_pty.error(); }

private:
    Serial::PtyEndpoint m_pty;
    std::mutex m_mutex;
    KbnAdapterSimulator m_sim;
    std::function<void()> m_onReceived;
};

} // namespace Lift::Fieldbus
