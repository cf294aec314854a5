#pragma once
// StopOnSignals: while it lives, SIGINT and SIGTERM call one stop action instead of ending
// the process, so a command that serves until interrupted can end in order (close its port,
// remove its link, print its summary). The action runs inside the signal handler: it must be
// async-signal-safe (store to a lock-free atomic, write to a pipe). One at a time.

#include <csignal>

namespace Lift::Cli {

class StopOnSignals {
public:
    using Action = void (*)(void* context);
    StopOnSignals(Action action, void* context);
    ~StopOnSignals();
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

private:
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
};

} // namespace Lift::Cli
