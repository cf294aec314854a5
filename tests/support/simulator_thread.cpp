#include "support/simulator_thread.h"

#include <stdexcept>

namespace Lift::Test {

using namespace std::chrono_literals;

SimulatorThread::SimulatorThread(const Link::SimulatorConfig& config) : m_controller(config) {
    if (!m_controller.open())
        throw std::runtime_error(m_controller.error());
    m_thread = std::thread([this] { m_outcome = m_controller.run(2000ms, 120s); });
}

SimulatorThread::~SimulatorThread() {
    m_controller.stop();
    if (m_thread.joinable())
        m_thread.join();
}

Link::PtyController::Outcome SimulatorThread::join() {
    m_thread.join();
    return m_outcome;
}

} // namespace Lift::Test
