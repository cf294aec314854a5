#pragma once
// TKBNetViaPrm232: the KBNet network manager that reaches the bus through the adapter module
// on an RS-232 port. It owns its serial port component (Uart) and a one-shot connect timer.
//
// Connect: checks that OnConnectOK, OnConnectFail and OnUartTxdFail have handlers, checks the
// topology file (creating default modules), opens port UartPortNumber, sends the nine
// register queries and waits up to 2000 ms for their reports. OnConnectOK fires when exactly
// R0, R1 and R3..R9 have reported; otherwise the attempt ends with Disconnect and
// OnConnectFail. Once connected, the register accessors read what the adapter last reported,
// writes and queries send command lines, and packets travel as hex lines; received packets go
// to the node they address (FilteringReceivedKbnPacket).
//
// Errors: Connect's handler check, Connect while connected, a port that does not open, and
// every register or packet operation outside the connected state throw std::runtime_error; the
// topology check and packet sizes raise YVclUtil::EYGeneral. A failed send calls
// OnUartTxdFail. Malformed lines from the adapter are dropped. When the port stops serving
// while connecting or connected (the adapter was unplugged, or sent 8192 bytes without a line
// end), the component disconnects and fires OnConnectFail; lostReason() says why.
//
// Threads: create, use and destroy on the main loop's thread; events run there. The loop is
// the one given to setMainLoop, else MainLoop::current() at Connect. Destroy it before its
// loop.

#include "fieldbus/kbnet_rnsm.h"
#include "serial/pc_uart.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace Lift::Util {
class LoopTimer;
class MainLoop;
} // namespace Lift::Util

namespace ZebCtrl {

class TKBNetViaPrm232 : public TKBNet_Rnsm {
public:
    static constexpr int kConnectTimeoutMs = 2000;

    explicit TKBNetViaPrm232(YVclCtrl::TComponent* AOwner);
    ~TKBNetViaPrm232() override;

    // ---- published ----
    std::int32_t pr_UartPortNumber() const { return m_uartPortNumber; }
    // Not while connected.
    void pw_UartPortNumber(std::int32_t AValue);

    YVclCtrl::TNotifyEvent OnConnectOK;
    YVclCtrl::TNotifyEvent OnConnectFail;
    YVclCtrl::TNotifyEvent OnUartTxdFail;
    YVclCtrl::TNotifyEvent OnReplyYout;
    YVclCtrl::TNotifyEvent OnReplyXin;
    YVclCtrl::TNotifyEvent OnReplyKbnFlags;
    YVclCtrl::TNotifyEvent OnResetRnsm_OK;
    YVclCtrl::TNotifyEvent OnResetRnsm_WDT;

    // ---- state ----
    bool pr_Connected() const { return m_connected; }
    bool pr_Connecting() const { return m_connecting; }
    bool pr_ResetPending() const { return m_resetPending; }
    std::uint32_t pr_ConnectReplyMask() const { return m_connectReplyMask; }
    ZebCtrl::TPcUart& Uart() { return m_uart; }
    // Why the port stopped serving, when it did since the last Connect; empty otherwise.
    const std::string& lostReason() const { return m_lostReason; }

    virtual void Connect();
    // Closes the port if it is open; not connected afterwards.
    virtual void Disconnect();

    // ---- registers (connected only) ----
    std::uint8_t pr_Yout() const;
    void pw_Yout(std::uint8_t AValue); // sends " +R0=HH"
    bool pr_Y(int AIndex) const;       // bits 0..3; others false
    void pw_Y(int AIndex, bool AValue);
    std::uint8_t pr_Xin() const;
    bool pr_X(int AIndex) const;
    bool pr_Old_X(int AIndex) const;
    std::uint8_t pr_R3() const;
    std::uint8_t pr_R4() const;
    std::uint8_t pr_R5() const;
    std::uint8_t pr_R6() const; // largest number of data bytes per packet, as reported
    std::uint8_t pr_R7() const;
    std::uint8_t pr_R8() const;
    void pw_R8(std::uint8_t AValue); // " +R8=HH" then " ?R8"
    std::uint8_t pr_R9() const;
    void pw_R9(std::uint8_t AValue);
    std::uint8_t pr_RE() const;

    void QueryYout();
    void QueryXin();
    void QueryKbnFlags();
    // Clears the outputs (" +R0=00"), resets the bus (" +RF=00"); OnResetRnsm_OK fires when
    // the adapter reports the reset done.
    void ResetRnsm();

    // One packet as a hex line. BytesOfDatas 0, or above both R6 and the line's room
    // (kKbnMaxLineDataBytes), raises EYGeneral before anything is sent.
    void SendKbnPacket(const _SKBNTXDPACKET& ATxdPacket) override;
    void SendTxtFileToRS232(const std::string& AFileName, std::uint32_t ALineInterval);

    // One received line (what Uart's OnRxdDatas delivers).
    void UartRxdLine(std::string_view ALine);

    // The loop whose timer times the connect; null: MainLoop::current() at Connect.
    void setMainLoop(Lift::Util::MainLoop* ALoop);

protected:
    void RunConstructor();
    void RunDestructor();

private:
    void requireConnected() const;
    std::uint8_t connectedRegister(int AIndex) const;
    // Sends through Uart; a failure calls OnUartTxdFail. True when sent.
    bool send(std::string_view AText);
    void fire(const YVclCtrl::TNotifyEvent& AEvent);
    void connectTimeout();
    void uartStopped();
    void registerReported(int AIndex, std::uint32_t ABit, std::uint8_t AValue);

    std::int32_t m_uartPortNumber = 1;
    ZebCtrl::TPcUart m_uart;
    Lift::Util::MainLoop* m_loop = nullptr;
    Lift::Util::MainLoop* m_timerLoop = nullptr;
    std::unique_ptr<Lift::Util::LoopTimer> m_timeoutTimer;
    bool m_connected = false;
    bool m_connecting = false;
    bool m_resetPending = false;
    std::uint32_t m_connectReplyMask = 0;
    std::uint8_t m_registers[16] = {};
    std::uint8_t m_oldXin = 0;
    std::string m_lostReason;
};

} // namespace ZebCtrl
