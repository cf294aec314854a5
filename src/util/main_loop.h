#pragma once
// MainLoop: the one loop everything "on the window thread" runs on.
//
// Editing, saving, MAKE ROM, the link state machine and every event of the serial and
// field-bus components run on one thread, the loop thread. Other threads (the serial monitor
// thread) reach it only through post() and invokeSync(). Two implementations share this
// interface: HeadlessMainLoop (util/headless_main_loop.h) for the command line and the tests,
// and the window's loop on top of Qt's event loop.
//
// Thread rules, per member:
//   post, invokeSync, quit, wake, isLoopThread   any thread
//   createTimer, run, waitUntil, timer members   the loop thread only
//
// Exceptions: an exception that escapes a posted call or a timer callback is handed to the
// unhandled-exception handler (an error box by default) and the loop goes on. An exception
// that escapes an invokeSync call is rethrown to the thread that called invokeSync.

#include <chrono>
#include <exception>
#include <functional>
#include <memory>

namespace Lift::Util {

enum class TimerKind {
    Periodic,  // fires every period until stopped
    SingleShot // fires once, then is inactive until started again
};

// A timer that belongs to one loop and fires on its thread. Use it on the loop thread only.
// Destroying the timer stops it; a timer may be destroyed from its own callback.
class LoopTimer {
public:
    virtual ~LoopTimer() = default;

    // Starts the timer with the given period, or restarts it when it is running: a full
    // period counts anew from now, whatever was left of the old one. Negative periods are
    // taken as 0 (fire at the next turn of the loop).
    virtual void start(int periodMs) = 0;
    // Starts again with the last period given (0 if none).
    virtual void start() = 0;
    // Stops the timer; a stopped timer does not fire, even if its time had already come.
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual int periodMs() const = 0;
};

class MainLoop {
public:
    // The first loop constructed in the process becomes the current one (see current()).
    MainLoop();
    virtual ~MainLoop();

    MainLoop(const MainLoop&) = delete;
    MainLoop& operator=(const MainLoop&) = delete;

    // Queues fn to run on the loop thread after every call queued before it (first in, first
    // out, the same queue for post and invokeSync). Never runs fn at once, not even on the
    // loop thread.
    virtual void post(std::function<void()> fn) = 0;

    // Runs fn on the loop thread and returns when it has run. On the loop thread itself fn is
    // called directly. From another thread the caller blocks until the loop serves the call
    // (from run() or waitUntil()); an exception thrown by fn is rethrown here.
    virtual void invokeSync(const std::function<void()>& fn) = 0;

    // A timer of this loop, stopped. onTimeout runs on the loop thread. The timer must not
    // outlive the loop (a timer left behind after the loop is destroyed does nothing).
    virtual std::unique_ptr<LoopTimer> createTimer(TimerKind kind,
                                                   std::function<void()> onTimeout) = 0;

    // Serves calls and timers until quit() is asked; returns quit's exit code.
    virtual int run() = 0;
    // Makes run() return once the call being served has finished. Calls still queued stay
    // queued. Does not end a waitUntil().
    virtual void quit(int exitCode = 0) = 0;

    static constexpr std::chrono::milliseconds kForever{-1};
    // Keeps serving the loop (queued calls, invokeSync hand-overs, due timers) until done()
    // holds; returns true then, or false when the timeout (real time) passed first. done() is
    // evaluated on the loop thread before each wait; a thread that makes it true must call
    // wake() afterwards so the loop looks again. Nested use from a served call is allowed.
    virtual bool waitUntil(const std::function<bool()>& done,
                           std::chrono::milliseconds timeout = kForever) = 0;

    // Makes a waiting loop look at its conditions again (waitUntil's done()).
    virtual void wake() = 0;

    virtual bool isLoopThread() const = 0;

    using ExceptionHandler = std::function<void(std::exception_ptr)>;
    // Replaces the handler for exceptions that escape posted calls and timer callbacks and
    // returns the previous one. An empty handler restores the default: an error box with
    // caption "Error" and the exception's message.
    ExceptionHandler setExceptionHandler(ExceptionHandler handler);

    // The loop components use when none was given to them: the first loop constructed that
    // still exists, or the one set by setCurrent(). Null when there is none.
    static MainLoop* current();
    static void setCurrent(MainLoop* loop);

protected:
    // For implementations: hands an escaped exception to the handler. Call on the loop thread.
    void reportUnhandledException(std::exception_ptr error);

private:
    ExceptionHandler m_exceptionHandler;
};

} // namespace Lift::Util
