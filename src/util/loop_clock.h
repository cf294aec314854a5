#pragma once
// Clocks for the headless main loop's timers. The steady clock is the default; tests inject a
// manual clock so that timer behaviour is checked without waiting for real time.

#include <atomic>
#include <chrono>

namespace Lift::Util {

class LoopClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~LoopClock() = default;
    // Any thread.
    virtual TimePoint now() const = 0;
    // True when time passes by itself, so the loop may sleep until the next timer is due.
    // A clock that only moves when told does not let the loop sleep towards a deadline: whoever
    // moves it must wake the loop (MainLoop::wake) or serve it (HeadlessMainLoop::processEvents).
    virtual bool runsByItself() const = 0;
};

class SteadyLoopClock final : public LoopClock {
public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    bool runsByItself() const override { return true; }
};

// Starts at an arbitrary fixed point and moves only by advance(). Thread-safe.
class ManualLoopClock final : public LoopClock {
public:
    TimePoint now() const override { return TimePoint(std::chrono::nanoseconds(m_nanos.load())); }
    bool runsByItself() const override { return false; }
    void advance(std::chrono::nanoseconds by) { m_nanos.fetch_add(by.count()); }

private:
    std::atomic<std::chrono::nanoseconds::rep> m_nanos{1'000'000'000};
};

} // namespace Lift::Util
