#pragma once
// HeadlessMainLoop: the main loop without a window toolkit (command line, tests, tools).
//
// The loop thread is the thread that constructs the loop. Queued calls (post and invokeSync
// from other threads) wait in one first-in-first-out queue guarded by a mutex; the loop sleeps
// on a condition variable until a call arrives, it is woken, or the next timer is due by its
// clock. Timers are kept on the loop thread and need no lock.
//
// Each turn of the loop runs the calls that were queued when the turn began, in order, then
// every timer whose time has come, earliest first (equal times: the one started first). A
// periodic timer that is late fires once, not once per missed period, and its next period
// counts from its due time, or from now when it is more than a period late.
//
// quit() asked while run() is not running makes the next run() return at once (a quit from
// another thread is never lost to a race with the start of run()).
//
// Destroy the loop on its thread, after every other thread stopped using it; timers left
// behind are detached and do nothing afterwards.

#include "util/loop_clock.h"
#include "util/main_loop.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace Lift::Util {

class HeadlessMainLoop final : public MainLoop {
public:
    // clock: null for the steady clock.
    explicit HeadlessMainLoop(std::shared_ptr<const LoopClock> clock = nullptr);
    ~HeadlessMainLoop() override;

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

    // One turn of the loop without sleeping: the calls queued now and the timers due now.
    // Returns how many calls and timer callbacks ran. Loop thread only.
    int processEvents();

    const LoopClock& clock() const { return *m_clock; }

private:
    class Timer;
    struct SyncCall;
    struct Task {
        std::function<void()> fn; // posted call
        SyncCall* sync = nullptr; // or a waiting invokeSync
    };
    enum class Stop { OnQuit, Never };

    // One turn; when block, first sleeps until there is something to do (or until the
    // real-time limit, or quit when stop is OnQuit).
    int turn(bool block, Stop stop, std::chrono::steady_clock::time_point limit);
    bool nextDeadline(LoopClock::TimePoint& at) const;
    void runTask(Task& task);

    void addTimer(Timer* timer);
    void removeTimer(Timer* timer);

    std::shared_ptr<const LoopClock> m_clock;
    std::thread::id m_loopThread;

    mutable std::mutex m_mutex;
    std::condition_variable m_wakeCv; // loop sleeps here
    std::condition_variable m_doneCv; // invokeSync callers sleep here
    std::deque<Task> m_queue;
    bool m_woken = false;
    bool m_quit = false;
    int m_exitCode = 0;

    // Loop thread only.
    std::vector<Timer*> m_timers;
    std::uint64_t m_timerSequence = 0;
    std::uint64_t m_pass = 0;
};

} // namespace Lift::Util
