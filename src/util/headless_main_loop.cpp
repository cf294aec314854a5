#include "util/headless_main_loop.h"

#include <algorithm>
#include <stdexcept>

namespace Lift::Util {

struct HeadlessMainLoop::SyncCall {
    const std::function<void()>* fn = nullptr;
    std::exception_ptr error;
    bool done = false; // guarded by m_mutex
};

class HeadlessMainLoop::Timer final : public LoopTimer {
public:
    Timer(HeadlessMainLoop* loop, TimerKind kind, std::function<void()> onTimeout)
        : m_loop(loop), m_kind(kind),
          m_callback(std::make_shared<std::function<void()>>(std::move(onTimeout))) {}

    ~Timer() override {
        if (m_loop)
            m_loop->removeTimer(this);
    }

    void start(int periodMs) override {
        m_period = std::max(0, periodMs);
        start();
    }

    void start() override {
        if (!m_loop)
            return;
        m_deadline = m_loop->m_clock->now() + std::chrono::milliseconds(m_period);
        m_sequence = ++m_loop->m_timerSequence;
        m_active = true;
    }

    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    int periodMs() const override { return m_period; }

private:
    friend class HeadlessMainLoop;

    HeadlessMainLoop* m_loop;
    TimerKind m_kind;
    // Shared so that a callback which destroys its own timer keeps running on a live function.
    std::shared_ptr<std::function<void()>> m_callback;
    bool m_active = false;
    int m_period = 0;
    LoopClock::TimePoint m_deadline{};
    std::uint64_t m_sequence = 0;
    std::uint64_t m_lastPass = 0;
};

HeadlessMainLoop::HeadlessMainLoop(std::shared_ptr<const LoopClock> clock)
    : m_clock(clock ? std::move(clock) : std::make_shared<SteadyLoopClock>()),
      m_loopThread(std::this_thread::get_id()) {}

HeadlessMainLoop::~HeadlessMainLoop() {
    for (Timer* timer : m_timers)
        timer->m_loop = nullptr;
    m_timers.clear();

    // Nobody should still be waiting, but a caller left blocked forever is worse than an
    // error it can see.
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Task& task : m_queue) {
        if (task.sync) {
            task.sync->error =
                std::make_exception_ptr(std::runtime_error("main loop destroyed before the call"));
            task.sync->done = true;
        }
    }
    m_queue.clear();
    m_doneCv.notify_all();
}

void HeadlessMainLoop::post(std::function<void()> fn) {
    if (!fn)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(Task{std::move(fn), nullptr});
    }
    m_wakeCv.notify_one();
}

void HeadlessMainLoop::invokeSync(const std::function<void()>& fn) {
    if (!fn)
        return;
    if (isLoopThread()) {
        fn();
        return;
    }
    SyncCall call;
    call.fn = &fn;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(Task{nullptr, &call});
    }
    // Notified outside the lock so the loop does not wake only to block on the mutex: this
    // hand-over is on the serial round trip's critical path.
    m_wakeCv.notify_one();
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_doneCv.wait(lock, [&] { return call.done; });
    }
    if (call.error)
        std::rethrow_exception(call.error);
}

std::unique_ptr<LoopTimer> HeadlessMainLoop::createTimer(TimerKind kind,
                                                         std::function<void()> onTimeout) {
    auto timer = std::make_unique<Timer>(this, kind, std::move(onTimeout));
    addTimer(timer.get());
    return timer;
}

int HeadlessMainLoop::run() {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_quit) {
                m_quit = false;
                return m_exitCode;
            }
        }
        turn(true, Stop::OnQuit, std::chrono::steady_clock::time_point::max());
    }
}

void HeadlessMainLoop::quit(int exitCode) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_quit = true;
    m_exitCode = exitCode;
    m_wakeCv.notify_one();
}

bool HeadlessMainLoop::waitUntil(const std::function<bool()>& done,
                                 std::chrono::milliseconds timeout) {
    const auto limit = timeout.count() < 0 ? std::chrono::steady_clock::time_point::max()
                                           : std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= limit)
            return false;
        turn(true, Stop::Never, limit);
    }
    return true;
}

void HeadlessMainLoop::wake() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_woken = true;
    m_wakeCv.notify_one();
}

bool HeadlessMainLoop::isLoopThread() const {
    return std::this_thread::get_id() == m_loopThread;
}

int HeadlessMainLoop::processEvents() {
    return turn(false, Stop::Never, std::chrono::steady_clock::time_point::max());
}

int HeadlessMainLoop::turn(bool block, Stop stop, std::chrono::steady_clock::time_point limit) {
    if (block) {
        std::unique_lock<std::mutex> lock(m_mutex);
        auto ready = [&] {
            return !m_queue.empty() || m_woken || (stop == Stop::OnQuit && m_quit);
        };
        if (!ready()) {
            LoopClock::TimePoint due;
            const bool hasTimer = nextDeadline(due);
            const auto clockNow = m_clock->now();
            if (!hasTimer || due > clockNow) {
                auto wakeAt = limit;
                if (hasTimer && m_clock->runsByItself()) {
                    const auto untilDue = std::chrono::steady_clock::now() + (due - clockNow);
                    wakeAt = std::min(wakeAt, untilDue);
                }
                if (wakeAt == std::chrono::steady_clock::time_point::max())
                    m_wakeCv.wait(lock, ready);
                else
                    m_wakeCv.wait_until(lock, wakeAt, ready);
            }
        }
        m_woken = false;
    }
    int ran = 0;
    // Only the calls queued now: calls they queue themselves wait for the next turn, so
    // timers are not starved by a call that keeps posting.
    std::size_t pending;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        pending = m_queue.size();
    }
    for (; pending > 0; --pending) {
        Task task;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_queue.empty() || (stop == Stop::OnQuit && m_quit))
                break;
            task = std::move(m_queue.front());
            m_queue.pop_front();
        }
        runTask(task);
        ++ran;
    }

    const std::uint64_t pass = ++m_pass;
    const auto now = m_clock->now();
    for (;;) {
        if (stop == Stop::OnQuit) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_quit)
                break;
        }
        Timer* next = nullptr;
        for (Timer* t : m_timers) {
            if (!t->m_active || t->m_lastPass == pass || t->m_deadline > now)
                continue;
            if (!next || t->m_deadline < next->m_deadline ||
                (t->m_deadline == next->m_deadline && t->m_sequence < next->m_sequence))
                next = t;
        }
        if (!next)
            break;
        next->m_lastPass = pass;
        if (next->m_kind == TimerKind::SingleShot) {
            next->m_active = false;
        } else {
            const auto period = std::chrono::milliseconds(next->m_period);
            next->m_deadline += period;
            if (next->m_deadline <= now)
                next->m_deadline = now + period;
        }
        auto callback = next->m_callback; // the callback may destroy the timer
        try {
            (*callback)();
        } catch (...) {
            reportUnhandledException(std::current_exception());
        }
        ++ran;
    }
    return ran;
}

bool HeadlessMainLoop::nextDeadline(LoopClock::TimePoint& at) const {
    bool found = false;
    for (const Timer* t : m_timers) {
        if (!t->m_active)
            continue;
        if (!found || t->m_deadline < at)
            at = t->m_deadline;
        found = true;
    }
    return found;
}

void HeadlessMainLoop::runTask(Task& task) {
    if (!task.sync) {
        try {
            task.fn();
        } catch (...) {
            reportUnhandledException(std::current_exception());
        }
        return;
    }
    SyncCall* call = task.sync;
    try {
        (*call->fn)();
    } catch (...) {
        call->error = std::current_exception();
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        call->done = true;
    }
    // `call` may be gone as soon as the lock is released; only the loop's own cv is touched.
    m_doneCv.notify_all();
}

void HeadlessMainLoop::addTimer(Timer* timer) {
    m_timers.push_back(timer);
}

void HeadlessMainLoop::removeTimer(Timer* timer) {
    auto it = std::find(m_timers.begin(), m_timers.end(), timer);
    if (it != m_timers.end())
        m_timers.erase(it);
}

} // namespace Lift::Util
