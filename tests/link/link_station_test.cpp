#include "link/link_station.h"

#include "support/scripted_ui.h"
#include "util/headless_main_loop.h"

#include <gtest/gtest.h>

namespace Lift::Link {
namespace {

TEST(LinkStation, TimerTicksReachTheLinkAtItsPeriod) {
    auto clock = std::make_shared<Util::ManualLoopClock>();
    Util::HeadlessMainLoop loop(clock);
    Lift::Test::ScriptedUi ui;
    LinkStation station(loop, ui, std::chrono::milliseconds(10000));
    station.link().SpeedButton2Click(); // starts Timer1 without a port: ends by time-out
    clock->advance(std::chrono::milliseconds(9999));
    loop.processEvents();
    EXPECT_EQ(station.link().timeoutCount(), 0);
    for (int i = 1; i <= 10; ++i) {
        clock->advance(std::chrono::milliseconds(i == 1 ? 1 : 10000));
        loop.processEvents();
        EXPECT_EQ(station.link().statistics().timeoutTicks, i);
    }
    EXPECT_EQ(station.link().outcome(), LinkOutcome::Aborted);
    clock->advance(std::chrono::milliseconds(50000));
    loop.processEvents();
    EXPECT_EQ(station.link().statistics().timeoutTicks, 10); // stopped
}

} // namespace
} // namespace Lift::Link
