#include "util/headless_main_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using Lift::Util::HeadlessMainLoop;
using Lift::Util::LoopTimer;
using Lift::Util::MainLoop;
using Lift::Util::ManualLoopClock;
using Lift::Util::TimerKind;

namespace {

// Generous limit for waits that must end; reaching it means the loop is broken.
constexpr auto kLong = 20s;

} // namespace

// ---- queued calls ---------------------------------------------------------------------

TEST(MainLoopCalls, PostedCallsRunInOrderAndNeverAtOnce) {
    HeadlessMainLoop loop;
    std::vector<std::string> log;
    loop.post([&] {
        log.push_back("a");
        loop.post([&] { log.push_back("c (posted by a)"); });
    });
    loop.post([&] { log.push_back("b"); });
    EXPECT_TRUE(log.empty()) << "post must not run the call on the spot";

    EXPECT_EQ(loop.processEvents(), 2) << "a call posted during a turn waits for the next";
    EXPECT_EQ(loop.processEvents(), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c (posted by a)"}));
}

TEST(MainLoopCalls, ExceptionFromPostedCallGoesToHandlerAndLoopGoesOn) {
    HeadlessMainLoop loop;
    std::vector<std::string> reported;
    loop.setExceptionHandler([&](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& ex) {
            reported.push_back(ex.what());
        }
    });
    bool after = false;
    loop.post([] { throw std::runtime_error("handler failed"); });
    loop.post([&] { after = true; });
    loop.processEvents();
    EXPECT_EQ(reported, (std::vector<std::string>{"handler failed"}));
    EXPECT_TRUE(after);
}

// ---- invokeSync (the hand-over) ---------------------------------------------------------

TEST(MainLoopHandOver, ExceptionIsRethrownInTheCallingThread) {
    HeadlessMainLoop loop;
    std::string caught;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        try {
            loop.invokeSync([] { throw std::runtime_error("from the loop"); });
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
        done = true;
        loop.wake();
    });
    ASSERT_TRUE(loop.waitUntil([&] { return done.load(); }, kLong));
    worker.join();
    EXPECT_EQ(caught, "from the loop");
}

// ---- waitUntil --------------------------------------------------------------------------

// What closing a port needs: the loop waits for a worker to end while that worker is itself
// waiting for the loop to run its hand-overs.
TEST(MainLoopWaitUntil, ServesHandOversUntilTheConditionHolds) {
    HeadlessMainLoop loop;
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> ended{false};
    int handOvers = 0;
    std::atomic<bool> firstHandOverRan{false};
    std::thread worker([&] {
        while (!stopRequested) {
            loop.invokeSync([&] {
                handOvers++;
                firstHandOverRan = true;
            });
        }
        loop.invokeSync([&] { handOvers++; }); // one more after the stop request
        ended = true;
        loop.wake();
    });
    ASSERT_TRUE(loop.waitUntil([&] { return firstHandOverRan.load(); }, kLong));
    stopRequested = true;
    ASSERT_TRUE(loop.waitUntil([&] { return ended.load(); }, kLong));
    worker.join();
    EXPECT_GE(handOvers, 2);
}

// ---- run and quit -----------------------------------------------------------------------

// ---- timers (manual clock) --------------------------------------------------------------

// A quit ends the run it reaches, given before it or during it, and only that one; a real
// timer wakes the sleeping loop.
TEST(MainLoopRun, QuitEndsOnlyTheRunItReachesAndARealTimerWakesIt) {
    HeadlessMainLoop loop; // steady clock
    loop.quit(3);
    EXPECT_EQ(loop.run(), 3);
    auto timer = loop.createTimer(TimerKind::SingleShot, [&] { loop.quit(4); });
    timer->start(5);
    EXPECT_EQ(loop.run(), 4);
}

class MainLoopTimers : public ::testing::Test {
protected:
    std::shared_ptr<ManualLoopClock> clock = std::make_shared<ManualLoopClock>();
    HeadlessMainLoop loop{clock};

    void advance(std::chrono::milliseconds by) {
        clock->advance(by);
        loop.processEvents();
    }
};

TEST_F(MainLoopTimers, RestartCountsAFullPeriodAnew) {
    int ticks = 0;
    auto timer = loop.createTimer(TimerKind::Periodic, [&] { ticks++; });
    timer->start(10000);
    advance(9000ms);
    timer->start(); // re-enable: the remaining 1000 ms are forgotten
    advance(9999ms);
    EXPECT_EQ(ticks, 0);
    advance(1ms);
    EXPECT_EQ(ticks, 1);
    // Stop then start again, as the link restarts its time-out.
    advance(4000ms);
    timer->stop();
    timer->start();
    advance(9999ms);
    EXPECT_EQ(ticks, 1);
    advance(1ms);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(timer->periodMs(), 10000);
}

TEST_F(MainLoopTimers, ATimerMayDestroyItselfOrAnotherFromItsCallback) {
    std::unique_ptr<LoopTimer> first, second;
    int fired = 0;
    first = loop.createTimer(TimerKind::Periodic, [&] {
        fired++;
        second.reset();
        first.reset();
    });
    second = loop.createTimer(TimerKind::Periodic, [&] { fired += 100; });
    first->start(10);
    second->start(10);
    advance(10ms);
    advance(10ms);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(first, nullptr);
}

TEST(MainLoopTimerLifetime, TimerOutlivingItsLoopIsInert) {
    std::unique_ptr<LoopTimer> timer;
    {
        HeadlessMainLoop loop;
        timer = loop.createTimer(TimerKind::Periodic, [] {});
    }
    timer->start(10);
    EXPECT_FALSE(timer->isActive());
}
