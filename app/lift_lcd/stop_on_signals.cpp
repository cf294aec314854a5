#include "lift_lcd/stop_on_signals.h"

#include <atomic>

namespace Lift::Cli {

namespace {
std::atomic<StopOnSignals::Action> g_action{nullptr};
std::atomic<void*> g_context{nullptr};

extern "C" void OnStopSignal(int) {
    if (const StopOnSignals::Action action = g_action.load())
        action(g_context.load());
}
} // namespace

StopOnSignals::StopOnSignals(Action action, void* context) {
    g_context.store(context);
    g_action.store(action);
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &m_oldInt);
    sigaction(SIGTERM, &sa, &m_oldTerm);
}

StopOnSignals::~StopOnSignals() {
    sigaction(SIGINT, &m_oldInt, nullptr);
    sigaction(SIGTERM, &m_oldTerm, nullptr);
    g_action.store(nullptr);
    g_context.store(nullptr);
}

} // namespace Lift::Cli
