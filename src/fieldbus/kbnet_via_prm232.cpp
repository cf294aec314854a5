#include "fieldbus/kbnet_via_prm232.h"

#include "fieldbus/kbnet_adapter_lines.h"
#include "fieldbus/kbnet_line_parser.h"
#include "util/eygeneral.h"
#include "util/main_loop.h"

#include <algorithm>
#include <stdexcept>

namespace ZebCtrl {

using Lift::Fieldbus::KbnAdapterLine;
using YVclUtil::EYGeneral;

namespace {
constexpr int kR0 = 0, kR1 = 1, kR3 = 3, kR4 = 4, kR5 = 5, kR6 = 6, kR7 = 7, kR8 = 8, kR9 = 9,
              kRE = 14, kRF = 15;

bool Bit(std::uint8_t byte, int index) {
    return index >= 0 && index <= 3 && ((byte >> index) & 1) != 0;
}
} // namespace

TKBNetViaPrm232::TKBNetViaPrm232(YVclCtrl::TComponent* AOwner) : TKBNet_Rnsm(AOwner) {
    RunConstructor();
}

TKBNetViaPrm232::~TKBNetViaPrm232() {
    RunDestructor();
}

void TKBNetViaPrm232::RunConstructor() {
    m_uart.SetName("Uart");
    m_uart.pw_UartBaud(38400);
    m_uart.pw_UartBitsPerByte(8);
    m_uart.pw_UartParityBit(YVclCtrl::upb_None);
    m_uart.pw_UartStopBits(YVclCtrl::usb_1bit);
    m_uart.pw_FlowCtrlStyle(YVclCtrl::fcs_Hardware);
    m_uart.pw_FlowCtrlHwRxd(YVclCtrl::fchr_None);
    m_uart.pw_FlowCtrlHwTxd(YVclCtrl::fcht_CTS);
    m_uart.pw_SysUartWriteStyle(YVclCtrl::suws_WriteViaQueue);
    m_uart.pw_SysUartTxdQueueSize(8192);
    m_uart.pw_SysUartRxdQueueSize(8192);
    m_uart.pw_SysUartRxdIntervalTimeout(3);
    m_uart.pw_RxdFilter_Style(YVclCtrl::rfs_ByDelimiterChar);
    m_uart.pw_RxdFilter_DelimiterChar('\n');
    m_uart.OnRxdDatas = [this](YVclCtrl::TComponent*, std::int32_t bytes, const char* datas) {
        if (bytes > 0)
            UartRxdLine(std::string_view(datas, static_cast<std::size_t>(bytes)));
    };
    m_uart.OnMonitorStopped = [this](YVclCtrl::TComponent*) { uartStopped(); };
}

void TKBNetViaPrm232::RunDestructor() {
    // Lines still handed over while the port closes must not reach handlers of a component
    // that is going away.
    m_uart.OnRxdDatas = nullptr;
    m_uart.OnMonitorStopped = nullptr;
    Disconnect();
    m_timeoutTimer.reset();
}

void TKBNetViaPrm232::setMainLoop(Lift::Util::MainLoop* ALoop) {
    m_loop = ALoop;
    m_uart.setMainLoop(ALoop);
}

void TKBNetViaPrm232::pw_UartPortNumber(std::int32_t AValue) {
    if (m_connected)
        throw std::runtime_error(
            "Illegal property access, because TKBNetViaPrm232 now in connected state !!!");
    m_uartPortNumber = AValue;
}

void TKBNetViaPrm232::requireConnected() const {
    if (!m_connected)
        throw std::runtime_error(
            "Illegal property access, because TKBNetViaPrm232 not in connected state !!!");
}

void TKBNetViaPrm232::fire(const YVclCtrl::TNotifyEvent& AEvent) {
    // A copy: the handler may reassign the event it runs from.
    if (YVclCtrl::TNotifyEvent handler = AEvent)
        handler(this);
}

bool TKBNetViaPrm232::send(std::string_view AText) {
    if (m_uart.SendData(static_cast<std::uint32_t>(AText.size()), AText.data()) == 0)
        return true;
    fire(OnUartTxdFail);
    return false;
}

// ---- connect ---------------------------------------------------------------------------------

void TKBNetViaPrm232::Connect() {
    // Connecting again would leave the reports to come taken for connect answers for good.
    if (m_connected)
        throw std::runtime_error(
            "Illegal property access, because TKBNetViaPrm232 now in connected state !!!");
    const std::pair<const char*, const YVclCtrl::TNotifyEvent*> required[] = {
        {"OnConnectOK", &OnConnectOK},
        {"OnConnectFail", &OnConnectFail},
        {"OnUartTxdFail", &OnUartTxdFail}};
    for (const auto& [name, event] : required)
        if (!*event)
            throw std::runtime_error(std::string("The event \"") + name +
                                     "\" of TKBNetViaPrm232, which handler is not specified !!!");

    LoadAndChkTopologicIniAndAssignDefaultKbnComponentToKbnTopologic();

    Lift::Util::MainLoop* loop = m_loop ? m_loop : Lift::Util::MainLoop::current();
    // The serial component would refuse a number outside its ports with an error box and
    // keep the old one; connecting to that other port instead would be worse than failing.
    const bool portNumberValid = m_uartPortNumber >= 1 && m_uartPortNumber <= 16;
    if (portNumberValid)
        m_uart.pw_UartPortNumber(static_cast<std::uint32_t>(m_uartPortNumber));
    if (!portNumberValid || !loop || !m_uart.Open())
        throw std::runtime_error("Open UART fail, when peform TKBNetViaPrm232::Connect() !!!");
    if (!m_timeoutTimer || m_timerLoop != loop) {
        m_timeoutTimer =
            loop->createTimer(Lift::Util::TimerKind::SingleShot, [this] { connectTimeout(); });
        m_timerLoop = loop;
    }

    m_connectReplyMask = 0;
    m_lostReason.clear();
    // A reset asked in an earlier session is no longer awaited: its report, if it ever comes,
    // and any later watchdog report must not pass for it.
    m_resetPending = false;
    const std::string_view queries = Lift::Fieldbus::kKbnConnectQueries;
    if (m_uart.SendData(static_cast<std::uint32_t>(queries.size()), queries.data()) != 0) {
        Disconnect();
        fire(OnUartTxdFail);
        fire(OnConnectFail);
        return;
    }
    m_connecting = true;
    m_timeoutTimer->start(kConnectTimeoutMs);
}

void TKBNetViaPrm232::Disconnect() {
    if (m_uart.Opened())
        m_uart.Close();
    m_connected = false;
}

void TKBNetViaPrm232::connectTimeout() {
    m_timeoutTimer->stop();
    if (m_connecting && !m_connected) {
        m_connecting = false;
        Disconnect();
        fire(OnConnectFail);
    }
}

void TKBNetViaPrm232::uartStopped() {
    // The port hears nothing any more: staying "connected" would only hide it.
    m_lostReason = m_uart.monitorFatalError();
    const bool wasActive = m_connected || m_connecting;
    m_connecting = false;
    if (m_timeoutTimer)
        m_timeoutTimer->stop();
    Disconnect();
    if (wasActive)
        fire(OnConnectFail);
}

// ---- receiving -------------------------------------------------------------------------------

void TKBNetViaPrm232::UartRxdLine(std::string_view ALine) {
    const KbnAdapterLine line = Lift::Fieldbus::ParseKbnAdapterLine(ALine);
    switch (line.kind) {
    case KbnAdapterLine::Kind::RegisterReport:
        registerReported(line.registerIndex, line.registerBit, line.value);
        break;
    case KbnAdapterLine::Kind::Packet:
        FilteringReceivedKbnPacket(line.packet);
        break;
    case KbnAdapterLine::Kind::Ignored:
        break;
    }
}

void TKBNetViaPrm232::registerReported(int AIndex, std::uint32_t ABit, std::uint8_t AValue) {
    if (AIndex == kR1)
        m_oldXin = m_registers[kR1];
    if (AIndex != kRF)
        m_registers[AIndex] = AValue;

    if (m_connecting) {
        m_connectReplyMask |= ABit;
        if (m_connectReplyMask == Lift::Fieldbus::kKbnConnectReplyMask) {
            if (m_timeoutTimer)
                m_timeoutTimer->stop();
            m_connected = true;
            m_connecting = false;
            fire(OnConnectOK);
        }
        return;
    }
    switch (AIndex) {
    case kR0:
        fire(OnReplyYout);
        break;
    case kR1:
        fire(OnReplyXin);
        break;
    case kRE:
        fire(OnReplyKbnFlags);
        break;
    case kRF:
        if (m_resetPending) {
            m_resetPending = false;
            fire(OnResetRnsm_OK);
        } else {
            // The adapter reset itself (watchdog): its outputs are lost, so send them again.
            send(Lift::Fieldbus::KbnWriteLine(kR0, m_registers[kR0]));
            fire(OnResetRnsm_WDT);
        }
        break;
    default:
        break;
    }
}

// ---- registers -------------------------------------------------------------------------------

std::uint8_t TKBNetViaPrm232::connectedRegister(int AIndex) const {
    requireConnected();
    return m_registers[AIndex];
}

std::uint8_t TKBNetViaPrm232::pr_Yout() const {
    return connectedRegister(kR0);
}

void TKBNetViaPrm232::pw_Yout(std::uint8_t AValue) {
    requireConnected();
    m_registers[kR0] = AValue;
    send(Lift::Fieldbus::KbnWriteLine(kR0, AValue));
}

bool TKBNetViaPrm232::pr_Y(int AIndex) const {
    return Bit(pr_Yout(), AIndex);
}

void TKBNetViaPrm232::pw_Y(int AIndex, bool AValue) {
    requireConnected();
    if (AIndex < 0 || AIndex > 3)
        return;
    const auto mask = static_cast<std::uint8_t>(1u << AIndex);
    pw_Yout(AValue ? static_cast<std::uint8_t>(m_registers[kR0] | mask)
                   : static_cast<std::uint8_t>(m_registers[kR0] & ~mask));
}

std::uint8_t TKBNetViaPrm232::pr_Xin() const {
    return connectedRegister(kR1);
}

bool TKBNetViaPrm232::pr_X(int AIndex) const {
    return Bit(pr_Xin(), AIndex);
}

bool TKBNetViaPrm232::pr_Old_X(int AIndex) const {
    requireConnected();
    return Bit(m_oldXin, AIndex);
}

std::uint8_t TKBNetViaPrm232::pr_R3() const {
    return connectedRegister(kR3);
}

std::uint8_t TKBNetViaPrm232::pr_R4() const {
    return connectedRegister(kR4);
}

std::uint8_t TKBNetViaPrm232::pr_R5() const {
    return connectedRegister(kR5);
}

std::uint8_t TKBNetViaPrm232::pr_R6() const {
    return connectedRegister(kR6);
}

std::uint8_t TKBNetViaPrm232::pr_R7() const {
    return connectedRegister(kR7);
}

std::uint8_t TKBNetViaPrm232::pr_R8() const {
    return connectedRegister(kR8);
}

std::uint8_t TKBNetViaPrm232::pr_R9() const {
    return connectedRegister(kR9);
}

std::uint8_t TKBNetViaPrm232::pr_RE() const {
    return connectedRegister(kRE);
}

void TKBNetViaPrm232::pw_R8(std::uint8_t AValue) {
    requireConnected();
    m_registers[kR8] = AValue;
    send(Lift::Fieldbus::KbnWriteAndQueryLine(kR8, AValue));
}

void TKBNetViaPrm232::pw_R9(std::uint8_t AValue) {
    requireConnected();
    m_registers[kR9] = AValue;
    send(Lift::Fieldbus::KbnWriteAndQueryLine(kR9, AValue));
}

void TKBNetViaPrm232::QueryYout() {
    requireConnected();
    send(Lift::Fieldbus::KbnQueryLine(kR0));
}

void TKBNetViaPrm232::QueryXin() {
    requireConnected();
    send(Lift::Fieldbus::KbnQueryLine(kR1));
}

void TKBNetViaPrm232::QueryKbnFlags() {
    requireConnected();
    send(Lift::Fieldbus::KbnQueryLine(kRE));
}

void TKBNetViaPrm232::ResetRnsm() {
    requireConnected();
    pw_Yout(0);
    // Only a reset that went out is awaited: otherwise the next watchdog report would pass
    // for its confirmation and the outputs would not be restored.
    if (send(Lift::Fieldbus::KbnWriteLine(kRF, 0)))
        m_resetPending = true;
}

// ---- packets ---------------------------------------------------------------------------------

void TKBNetViaPrm232::SendKbnPacket(const _SKBNTXDPACKET& ATxdPacket) {
    requireConnected();
    if (ATxdPacket.BytesOfDatas == 0)
        throw EYGeneral("The argument of .BytesOfDatas too small, when perform "
                        "TKBNetViaPrm232::SendKbnPacket(...) !!!");
    const int limit = std::min<int>(m_registers[kR6], Lift::Fieldbus::kKbnMaxLineDataBytes);
    if (ATxdPacket.BytesOfDatas > limit)
        throw EYGeneral("The argument of .BytesOfDatas too large, when perform "
                        "TKBNetViaPrm232::SendKbnPacket(...) !!!");
    send(Lift::Fieldbus::KbnPacketLine(ATxdPacket));
}

void TKBNetViaPrm232::SendTxtFileToRS232(const std::string& AFileName,
                                         std::uint32_t ALineInterval) {
    requireConnected();
    m_uart.SendTxtFile(AFileName, ALineInterval);
}

} // namespace ZebCtrl
