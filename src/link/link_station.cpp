#include "link/link_station.h"

#include <cstdlib>

namespace Lift::Link {

// LinkPort over the serial component.
class LinkStation::UartPort final : public LinkPort {
public:
    explicit UartPort(YVclCtrl::TCustomUart& uart) : m_uart(uart) {}
    bool opened() const override { return m_uart.Opened(); }
    bool open() override { return m_uart.Open(); }
    std::string lastError() const override { return m_uart.LastErrMsg(); }
    void close() override { m_uart.Close(); }
    unsigned portNumber() const override { return m_uart.pr_UartPortNumber(); }
    void setPortNumber(unsigned number) override { m_uart.pw_UartPortNumber(number); }
    void sendData(std::span<const std::uint8_t> bytes) override {
        m_uart.SendData(static_cast<std::uint32_t>(bytes.size()), bytes.data());
    }

private:
    YVclCtrl::TCustomUart& m_uart;
};

// LinkTimer over a periodic timer of the main loop.
class LinkStation::LoopTimer1 final : public LinkTimer {
public:
    LoopTimer1(Util::MainLoop& loop, std::chrono::milliseconds period, std::function<void()> onTick)
        : m_timer(loop.createTimer(Util::TimerKind::Periodic, std::move(onTick))),
          m_period(static_cast<int>(period.count())) {}
    void start() override { m_timer->start(m_period); }
    void stop() override { m_timer->stop(); }

private:
    std::unique_ptr<Util::LoopTimer> m_timer;
    int m_period;
};

LinkStation::LinkStation(Util::MainLoop& loop, Editor::EditorUi& ui,
                         std::chrono::milliseconds period, const LinkClock* clock) {
    m_uart.SetName("PcUart1");
    m_uart.setMainLoop(&loop);
    m_uart.pw_UartPortNumber(1);
    m_uart.pw_UartBaud(115200);
    m_uart.pw_UartBitsPerByte(8);
    m_uart.pw_UartParityBit(YVclCtrl::upb_None);
    m_uart.pw_UartStopBits(YVclCtrl::usb_1bit);
    m_uart.pw_FlowCtrlStyle(YVclCtrl::fcs_None);
    m_uart.pw_SysUartWriteStyle(YVclCtrl::suws_WriteViaQueue);
    m_uart.pw_SysUartTxdQueueSize(1024);
    m_uart.pw_SysUartRxdQueueSize(1024);
    m_uart.pw_SysUartRxdIntervalTimeout(3);
    m_uart.pw_RxdFilter_Style(YVclCtrl::rfs_None);
    m_uart.pw_RxdFilter_DelimiterChar('\n');
    m_uart.pw_BytesOfRxdPacket(1);

    m_port = std::make_unique<UartPort>(m_uart);
    m_timer = std::make_unique<LoopTimer1>(loop, period, [this] { m_link->Timer1Timer(); });
    m_link =
        std::make_unique<ControllerLink>(*m_port, *m_timer, clock ? *clock : m_systemClock, ui);
    m_uart.OnRxdDatas = [this](YVclCtrl::TComponent*, std::int32_t bytes, const char* datas) {
        if (bytes > 0)
            m_link->PcUart1RxdDatas(std::span(reinterpret_cast<const std::uint8_t*>(datas),
                                              static_cast<std::size_t>(bytes)));
    };
    m_uart.OnMonitorStopped = [this](YVclCtrl::TComponent*) {
        m_link->PcUart1Lost(m_uart.monitorFatalError());
    };
}

LinkStation::~LinkStation() {
    // Close while the link still exists: a hand-over served during Close may reach it.
    m_uart.Close();
    m_uart.OnRxdDatas = nullptr;
    m_uart.OnMonitorStopped = nullptr;
}

void LinkStation::ComboBox11Change(const std::string& itemText) {
    m_uart.pw_UartBaud(static_cast<std::uint32_t>(std::strtoul(itemText.c_str(), nullptr, 10)));
}

} // namespace Lift::Link
