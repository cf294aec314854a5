#pragma once
// The simulated controller served on a pseudo-terminal, on its own thread, for one test.

#include "link/pty_controller.h"

#include <thread>

namespace Lift::Test {

class SimulatorThread {
public:
    explicit SimulatorThread(const Link::SimulatorConfig& config); // throws when no terminal
    ~SimulatorThread();
    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    const std::string& path() const { return m_controller.path(); }
    // Waits until the simulator has ended (the client left, or it finished and lingered).
    Link::PtyController::Outcome join();
    const Link::ControllerSimulator& sim() const { return m_controller.simulator(); }

private:
    Link::PtyController m_controller;
    Link::PtyController::Outcome m_outcome = Link::PtyController::Outcome::Failed;
    std::thread m_thread;
};

} // namespace Lift::Test
