#include "serial/pc_uart.h"

#include "support/error_box_recorder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace YVclCtrl;
using Lift::Test::ErrorBoxRecorder;

namespace {

class UartProperties : public ::testing::Test {
protected:
    UartProperties() { uart.SetName("PcUart1"); }
    ErrorBoxRecorder boxes;
    ZebCtrl::TPcUart uart;

    void expectOneBox(const std::string& text) {
        ASSERT_EQ(boxes.count(), 1u) << "expected the box: " << text;
        EXPECT_EQ(boxes.at(0).caption, "PcUart1");
        EXPECT_EQ(boxes.at(0).text, text);
        boxes.clear();
    }
};

} // namespace

TEST_F(UartProperties, DefaultsOfANewComponent) {
    EXPECT_EQ(uart.pr_UartPortNumber(), 1u);
    EXPECT_EQ(uart.pr_UartBaud(), 9600u);
    EXPECT_EQ(uart.pr_UartBitsPerByte(), 8u);
    EXPECT_EQ(uart.pr_UartParityBit(), upb_None);
    EXPECT_EQ(uart.pr_UartStopBits(), usb_1bit);
    EXPECT_EQ(uart.pr_FlowCtrlStyle(), fcs_None);
    EXPECT_EQ(uart.pr_FlowCtrlHwRxd(), fchr_None);
    EXPECT_EQ(uart.pr_FlowCtrlHwTxd(), fcht_None);
    EXPECT_EQ(uart.pr_SysUartWriteStyle(), suws_WriteViaQueue);
    EXPECT_EQ(uart.pr_SysUartTxdQueueSize(), 1024u);
    EXPECT_EQ(uart.pr_SysUartRxdQueueSize(), 1024u);
    EXPECT_EQ(uart.pr_SysUartRxdIntervalTimeout(), 3u);
    EXPECT_EQ(uart.pr_RxdFilter_Style(), rfs_None);
    EXPECT_EQ(uart.pr_RxdFilter_DelimiterChar(), '\n');
    EXPECT_EQ(uart.pr_RxdFilter_BytesOfPacket(), 1u);
    EXPECT_FALSE(uart.Opened());
    EXPECT_EQ(uart.LastErrMsg(), "");
    EXPECT_EQ(boxes.count(), 0u) << "construction shows nothing";
}

TEST_F(UartProperties, PortNumberOutsideOneToSixteenKeepsThePrevious) {
    uart.pw_UartPortNumber(16);
    EXPECT_EQ(uart.pr_UartPortNumber(), 16u);
    for (std::uint32_t bad : {0u, 17u, 20u}) {
        uart.pw_UartPortNumber(bad);
        expectOneBox("Invalid value !!!");
        EXPECT_EQ(uart.pr_UartPortNumber(), 16u);
    }
    uart.pw_UartPortNumber(1);
    EXPECT_EQ(uart.pr_UartPortNumber(), 1u);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(UartProperties, BaudOutsideRangeBecomes9600) {
    for (std::uint32_t good : {300u, 115200u, 921600u}) {
        uart.pw_UartBaud(good);
        EXPECT_EQ(uart.pr_UartBaud(), good);
    }
    EXPECT_EQ(boxes.count(), 0u);
    for (std::uint32_t bad : {299u, 921601u, 0u}) {
        uart.pw_UartBaud(115200);
        uart.pw_UartBaud(bad);
        expectOneBox("Invalid or unsupported value !!!");
        EXPECT_EQ(uart.pr_UartBaud(), 9600u);
    }
}

TEST_F(UartProperties, BitsPerByteOnlySevenOrEight) {
    uart.pw_UartBitsPerByte(7);
    EXPECT_EQ(uart.pr_UartBitsPerByte(), 7u);
    uart.pw_UartBitsPerByte(6);
    expectOneBox("Invalid value !!!");
    EXPECT_EQ(uart.pr_UartBitsPerByte(), 7u);
    uart.pw_UartBitsPerByte(9);
    expectOneBox("Invalid value !!!");
    EXPECT_EQ(uart.pr_UartBitsPerByte(), 7u);
}

TEST_F(UartProperties, HardwareSelectionsNeedHardwareFlowControl) {
    const std::string box = "Invalid selection !!!\n Because FlowCtrlStyle != fcs_Hardware";
    uart.pw_FlowCtrlHwTxd(fcht_CTS);
    expectOneBox(box);
    EXPECT_EQ(uart.pr_FlowCtrlHwTxd(), fcht_None);
    uart.pw_FlowCtrlHwRxd(fchr_RTS);
    expectOneBox(box);
    EXPECT_EQ(uart.pr_FlowCtrlHwRxd(), fchr_None);
    uart.pw_FlowCtrlHwTxd(fcht_None); // the one value that is always allowed
    uart.pw_FlowCtrlHwRxd(fchr_None);
    EXPECT_EQ(boxes.count(), 0u);

    uart.pw_FlowCtrlStyle(fcs_Hardware);
    EXPECT_EQ(uart.pr_FlowCtrlHwTxd(), fcht_CTS);
    EXPECT_EQ(uart.pr_FlowCtrlHwRxd(), fchr_None);
    uart.pw_FlowCtrlHwTxd(fcht_DSR_CTS);
    uart.pw_FlowCtrlHwRxd(fchr_DTR);
    EXPECT_EQ(uart.pr_FlowCtrlHwTxd(), fcht_DSR_CTS);
    EXPECT_EQ(uart.pr_FlowCtrlHwRxd(), fchr_DTR);
    EXPECT_EQ(boxes.count(), 0u);

    uart.pw_FlowCtrlStyle(fcs_None);
    EXPECT_EQ(uart.pr_FlowCtrlHwTxd(), fcht_None);
    EXPECT_EQ(uart.pr_FlowCtrlHwRxd(), fchr_None);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(UartProperties, QueueSizesBelow1024Become1024) {
    uart.pw_SysUartTxdQueueSize(8192);
    EXPECT_EQ(uart.pr_SysUartTxdQueueSize(), 8192u);
    uart.pw_SysUartTxdQueueSize(1023);
    expectOneBox("Invalid value !!!\n Because SysUartTxdQueueSize must >= 1024");
    EXPECT_EQ(uart.pr_SysUartTxdQueueSize(), 1024u);

    uart.pw_SysUartRxdQueueSize(8192);
    EXPECT_EQ(uart.pr_SysUartRxdQueueSize(), 8192u);
    uart.pw_SysUartRxdQueueSize(0);
    expectOneBox("Invalid value !!!\n Because SysUartRxdQueueSize must >= 1024");
    EXPECT_EQ(uart.pr_SysUartRxdQueueSize(), 1024u);
}

TEST_F(UartProperties, BytesOfPacketBetweenOneAndTheReceiveQueue) {
    uart.pw_BytesOfRxdPacket(1024);
    EXPECT_EQ(uart.pr_RxdFilter_BytesOfPacket(), 1024u);
    uart.pw_BytesOfRxdPacket(1025);
    expectOneBox("Invalid value \nBecause great then SysUartRxdQueueSize");
    EXPECT_EQ(uart.pr_RxdFilter_BytesOfPacket(), 1024u);
    uart.pw_BytesOfRxdPacket(0);
    expectOneBox("Invalid value !!!\n Because this value must >= 1");
    EXPECT_EQ(uart.pr_RxdFilter_BytesOfPacket(), 1u);
    // A larger receive queue admits larger packets.
    uart.pw_SysUartRxdQueueSize(4096);
    uart.pw_BytesOfRxdPacket(4096);
    EXPECT_EQ(uart.pr_RxdFilter_BytesOfPacket(), 4096u);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(UartProperties, UnnamedComponentGivesAnEmptyCaption) {
    TCustomUart plain;
    plain.pw_UartBitsPerByte(5);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.at(0).caption, "");
}

TEST_F(UartProperties, ClosedPortRefusesModemAccessAndSends) {
    for (auto read : {&TCustomUart::pr_CtsState, &TCustomUart::pr_DsrState,
                      &TCustomUart::pr_RiState, &TCustomUart::pr_CdState}) {
        try {
            (void)(uart.*read)();
            ADD_FAILURE() << "a closed port must refuse modem-line access";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(),
                         "Illegal property access, because TCustomUart not in opened state !!!");
        }
    }
    EXPECT_EQ(uart.SendData(3, "abc"), 2u);
    EXPECT_EQ(uart.LastErrMsg(), "");
    EXPECT_EQ(uart.SendData_printf("%d", 5), 2u);
    EXPECT_EQ(uart.SendTxtFile("/nonexistent", 0), 2u);
    EXPECT_EQ(uart.LastErrMsg(), "");
    EXPECT_TRUE(uart.Close());
}

TEST_F(UartProperties, LineErrorsAndModemSignalsFireInTheirOrder) {
    std::vector<std::string> fired;
    auto note = [&](const char* name) {
        return [this, &fired, name](TComponent* sender) {
            EXPECT_EQ(sender, &uart);
            fired.push_back(name);
        };
    };
    uart.OnFrameErr = note("frame");
    uart.OnParityErr = note("parity");
    uart.OnBreakLevelErr = note("break");
    uart.OnRxOverrunErr = note("rx overrun");
    uart.OnTxOverrunErr = note("tx overrun");
    uart.OnRiChanged = note("ri");
    uart.OnCdChanged = note("cd");
    uart.OnDsrChanged = note("dsr");
    uart.OnCtsChanged = note("cts");

    uart.FireUartErrEvent(0x1FF);
    EXPECT_EQ(fired,
              (std::vector<std::string>{"frame", "parity", "break", "rx overrun", "tx overrun"}));
    fired.clear();
    uart.FireUartErrEvent(CE_OVERRUN); // the hardware overrun has no event of its own
    EXPECT_TRUE(fired.empty());
    uart.FireUartErrEvent(CE_BREAK | CE_RXOVER);
    EXPECT_EQ(fired, (std::vector<std::string>{"break", "rx overrun"}));
    fired.clear();

    uart.FireModemSignalEvent(EV_CTS | EV_DSR | EV_RLSD | EV_RING | EV_RXCHAR | EV_TXEMPTY);
    EXPECT_EQ(fired, (std::vector<std::string>{"ri", "cd", "dsr", "cts"}));
    fired.clear();
    uart.OnCdChanged = nullptr; // unassigned events are skipped
    uart.FireModemSignalEvent(EV_RLSD | EV_CTS);
    EXPECT_EQ(fired, (std::vector<std::string>{"cts"}));
}

TEST_F(UartProperties, ReceivedDataEventSeesExactlyTheCount) {
    int calls = 0;
    uart.FireRxdDatasEvent(3); // unassigned: nothing happens
    uart.OnRxdDatas = [&](TComponent* sender, std::int32_t bytes, const char* datas) {
        calls++;
        EXPECT_EQ(sender, &uart);
        EXPECT_EQ(bytes, 0);
        EXPECT_NE(datas, nullptr);
    };
    uart.FireRxdDatasEvent(0);
    EXPECT_EQ(calls, 1);
}
