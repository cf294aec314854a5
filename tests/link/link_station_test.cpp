#include "link/link_station.h"

#include "support/scripted_ui.h"
#include "util/headless_main_loop.h"

#include <gtest/gtest.h>

namespace Lift::Link {
namespace {

class LinkStationTest : public ::testing::Test {
protected:
    Util::HeadlessMainLoop loop;
    Lift::Test::ScriptedUi ui;
    LinkStation station{loop, ui};
};

TEST_F(LinkStationTest, PlacesPcUart1AsTheWindowDoes) {
    auto& u = station.PcUart1();
    EXPECT_EQ(u.Name(), "PcUart1");
    EXPECT_EQ(u.pr_UartPortNumber(), 1u);
    EXPECT_EQ(u.pr_UartBaud(), 115200u);
    EXPECT_EQ(u.pr_UartBitsPerByte(), 8u);
    EXPECT_EQ(u.pr_UartParityBit(), YVclCtrl::upb_None);
    EXPECT_EQ(u.pr_UartStopBits(), YVclCtrl::usb_1bit);
    EXPECT_EQ(u.pr_FlowCtrlStyle(), YVclCtrl::fcs_None);
    EXPECT_EQ(u.pr_SysUartTxdQueueSize(), 1024u);
    EXPECT_EQ(u.pr_SysUartRxdQueueSize(), 1024u);
    EXPECT_EQ(u.pr_SysUartRxdIntervalTimeout(), 3u);
    EXPECT_EQ(u.pr_RxdFilter_Style(), YVclCtrl::rfs_None);
    EXPECT_EQ(u.pr_RxdFilter_BytesOfPacket(), 1u);
    EXPECT_TRUE(static_cast<bool>(u.OnRxdDatas));
    EXPECT_FALSE(u.Opened());
}

TEST_F(LinkStationTest, HiddenBaudComboSetsTheBaudForTheNextConnect) {
    for (const char* item : {"14400", "19200", "38400", "57600", "115200"}) {
        station.ComboBox11Change(item);
        EXPECT_EQ(station.PcUart1().pr_UartBaud(), std::stoul(item));
    }
}

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
