#pragma once
// LinkStation: the controller link wired to the serial component PcUart1 and a Timer1 on the
// main loop, with PcUart1 configured as the window places it (115200 baud, 8 data bits, no
// parity, one stop bit, no flow control, queues of 1024 bytes, every received chunk handed
// over as it came). The window and the command line each own one. When PcUart1 loses its
// device, the link hears it at once (ControllerLink::PcUart1Lost).
//
// Thread: create, use and destroy on the main loop's thread. The EditorUi, the loop and the
// clock must outlive the station. Destroying it closes the port.

#include "link/controller_link.h"
#include "serial/pc_uart.h"
#include "util/main_loop.h"

#include <chrono>
#include <memory>
#include <string>

namespace Lift::Link {

inline constexpr std::chrono::milliseconds kTimer1Period{10000};

class LinkStation {
public:
    // period: Timer1's interval; clock: null for the system clocks.
    LinkStation(Util::MainLoop& loop, Editor::EditorUi& ui,
                std::chrono::milliseconds period = kTimer1Period, const LinkClock* clock = nullptr);
    ~LinkStation();
    LinkStation(const LinkStation&) = delete;
    LinkStation& operator=(const LinkStation&) = delete;

    ZebCtrl::TPcUart& PcUart1() { return m_uart; }
    ControllerLink& link() { return *m_link; }

    // The hidden baud combo: sets UartBaud to the chosen item's value ("14400" ... "115200");
    // it takes effect at the next Connect.
    void ComboBox11Change(const std::string& itemText);

private:
    class UartPort;
    class LoopTimer1;

    SystemLinkClock m_systemClock;
    ZebCtrl::TPcUart m_uart;
    std::unique_ptr<UartPort> m_port;
    std::unique_ptr<LoopTimer1> m_timer;
    std::unique_ptr<ControllerLink> m_link;
};

} // namespace Lift::Link
