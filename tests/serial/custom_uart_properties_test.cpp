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

// Each setter takes a value inside its range silently; outside it shows its box and either
// keeps the previous value or falls back to a fixed one.
TEST_F(UartProperties, OutOfRangeValuesShowTheBoxAndKeepOrResetTheValue) {
    struct Property {
        const char* name;
        void (TCustomUart::*set)(std::uint32_t);
        std::uint32_t (TCustomUart::*get)() const;
    };
    const Property port{"port", &TCustomUart::pw_UartPortNumber, &TCustomUart::pr_UartPortNumber};
    const Property baud{"baud", &TCustomUart::pw_UartBaud, &TCustomUart::pr_UartBaud};
    const Property bits{"bits", &TCustomUart::pw_UartBitsPerByte, &TCustomUart::pr_UartBitsPerByte};
    const Property txq{"txd queue", &TCustomUart::pw_SysUartTxdQueueSize,
                       &TCustomUart::pr_SysUartTxdQueueSize};
    const Property rxq{"rxd queue", &TCustomUart::pw_SysUartRxdQueueSize,
                       &TCustomUart::pr_SysUartRxdQueueSize};
    const Property packet{"packet", &TCustomUart::pw_BytesOfRxdPacket,
                          &TCustomUart::pr_RxdFilter_BytesOfPacket};
    const std::string invalid = "Invalid value !!!", badBaud = "Invalid or unsupported value !!!";
    struct Case {
        Property property;
        std::uint32_t before, value;
        std::string box; // empty: accepted
        std::uint32_t after;
    };
    const Case cases[] = {
        {port, 3, 16, "", 16},
        {port, 3, 1, "", 1},
        {port, 16, 0, invalid, 16},
        {port, 16, 17, invalid, 16},
        {baud, 9600, 300, "", 300},
        {baud, 9600, 921600, "", 921600},
        {baud, 115200, 299, badBaud, 9600},
        {baud, 115200, 921601, badBaud, 9600},
        {bits, 8, 7, "", 7},
        {bits, 7, 6, invalid, 7},
        {bits, 7, 9, invalid, 7},
        {txq, 1024, 8192, "", 8192},
        {txq, 8192, 1023, invalid + "\n Because SysUartTxdQueueSize must >= 1024", 1024},
        {rxq, 8192, 0, invalid + "\n Because SysUartRxdQueueSize must >= 1024", 1024},
        {packet, 1, 1024, "", 1024},
        {packet, 1000, 1025, "Invalid value \nBecause great then SysUartRxdQueueSize", 1000},
        {packet, 1000, 0, invalid + "\n Because this value must >= 1", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.property.name) + " " + std::to_string(c.value));
        (uart.*c.property.set)(c.before);
        ASSERT_EQ(boxes.count(), 0u);
        (uart.*c.property.set)(c.value);
        if (c.box.empty())
            EXPECT_EQ(boxes.count(), 0u);
        else
            expectOneBox(c.box);
        EXPECT_EQ((uart.*c.property.get)(), c.after);
    }
    // A larger receive queue admits larger packets.
    uart.pw_SysUartRxdQueueSize(4096);
    uart.pw_BytesOfRxdPacket(4096);
    EXPECT_EQ(uart.pr_RxdFilter_BytesOfPacket(), 4096u);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(UartProperties, HardwareSelectionsNeedHardwareFlowControl) {
    uart.pw_FlowCtrlHwTxd(fcht_CTS);
    expectOneBox("Invalid selection !!!\n Because FlowCtrlStyle != fcs_Hardware");
    EXPECT_EQ(uart.pr_FlowCtrlHwTxd(), fcht_None);
    uart.pw_FlowCtrlHwRxd(fchr_None); // the one value that is always allowed
    EXPECT_EQ(boxes.count(), 0u);

    uart.pw_FlowCtrlStyle(fcs_Hardware);
    EXPECT_EQ(uart.pr_FlowCtrlHwTxd(), fcht_CTS);
    uart.pw_FlowCtrlHwRxd(fchr_DTR);
    EXPECT_EQ(uart.pr_FlowCtrlHwRxd(), fchr_DTR);
    uart.pw_FlowCtrlStyle(fcs_None);
    EXPECT_EQ(uart.pr_FlowCtrlHwTxd(), fcht_None);
    EXPECT_EQ(uart.pr_FlowCtrlHwRxd(), fchr_None);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(UartProperties, ClosedPortRefusesModemAccessAndSends) {
    EXPECT_THROW((void)uart.pr_CtsState(), std::runtime_error);
    EXPECT_EQ(uart.SendData(3, "abc"), 2u);
    EXPECT_EQ(uart.SendTxtFile("/nonexistent", 0), 2u);
    EXPECT_EQ(uart.LastErrMsg(), "");
}
