#pragma once
// QtMainLoop: the main loop on Qt's event loop, for the window (QtCore only, no widgets).
//
// The loop thread is the QCoreApplication's thread; a QCoreApplication (or QApplication) must
// exist before the loop is made and outlive it. Queued calls and hand-overs travel as queued
// meta-calls, so they keep one first-in-first-out order with each other. run() is the
// application's exec(); waitUntil processes events (user input excluded, so the user cannot
// start a new action while, say, a port is being closed) until its condition holds. Timers are
// QTimers (precise). A hand-over must not be asked of a loop whose application has finished.
//
// Thread rules and error handling are those of MainLoop (util/main_loop.h).

#include "util/main_loop.h"

#include <atomic>
#include <memory>

class QObject;

namespace Lift::Util {

class QtMainLoop final : public MainLoop {
public:
    QtMainLoop();
    ~QtMainLoop() override;

    void post(std::function<void()> fn) override;
    void invokeSync(const std::function<void()>& fn) override;
    std::unique_ptr<LoopTimer> createTimer(TimerKind kind,
                                           std::function<void()> onTimeout) override;
    int run() override;
    void quit(int exitCode = 0) override;
    bool waitUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = kForever) override;
    void wake() override;
    bool isLoopThread() const override;

private:
    class Timer;
    friend class Timer;
    void report(std::exception_ptr error) { reportUnhandledException(error); }

    std::unique_ptr<QObject> m_context; // receiver of the queued calls, on the loop thread
    std::atomic<bool> m_quitPending{false};
    std::atomic<int> m_exitCode{0};
};

} // namespace Lift::Util
