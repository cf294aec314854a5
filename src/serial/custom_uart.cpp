#include "serial/custom_uart.h"

#include "serial/comm_monitor_thread.h"
#include "serial/port_table.h"
#include "util/main_loop.h"
#include "util/standalone_function.h"

#include <cstdarg>
#include <cstring>
#include <new>

namespace YVclCtrl {

TCustomUart::TCustomUart(TComponent* owner) : TComponent(owner) {
    RunConstructor();
}

TCustomUart::~TCustomUart() {
    RunDestructor();
}

void TCustomUart::RunConstructor() {
    // The defaults are the members' initialisers. The write events of the original have no
    // counterpart here: writes wait on the descriptor itself.
    pw_SysUartTxdQueueSize(1024);
    pw_SysUartRxdQueueSize(1024);
}

void TCustomUart::RunDestructor() {
    Close();
    reapEndedMonitors();
    m_retiredBuffers.clear();
    m_buffers = {};
    m_rxdEventInUse = nullptr;
}

// ---- properties ------------------------------------------------------------------------------

void TCustomUart::pw_UartPortNumber(std::uint32_t value) {
    if (value < 1 || value > 16) {
        YVclUtil::ShowErrMsgBox_Printf(this, "Invalid value !!!");
        return;
    }
    m_uartPortNumber = value;
}

void TCustomUart::pw_UartBaud(std::uint32_t value) {
    if (value < 300 || value > 921600) {
        YVclUtil::ShowErrMsgBox_Printf(this, "Invalid or unsupported value !!!");
        m_uartBaud = 9600;
        return;
    }
    m_uartBaud = value;
}

void TCustomUart::pw_UartBitsPerByte(std::uint32_t value) {
    if (value != 7 && value != 8) {
        YVclUtil::ShowErrMsgBox_Printf(this, "Invalid value !!!");
        return;
    }
    m_uartBitsPerByte = value;
}

void TCustomUart::pw_FlowCtrlStyle(TFlowCtrlStyle value) {
    m_flowCtrlStyle = value;
    if (value == fcs_Hardware) {
        m_flowCtrlHwRxd = fchr_None;
        m_flowCtrlHwTxd = fcht_CTS;
    } else {
        m_flowCtrlHwRxd = fchr_None;
        m_flowCtrlHwTxd = fcht_None;
    }
}

void TCustomUart::pw_FlowCtrlHwRxd(TFlowCtrlHwRxd value) {
    if (m_flowCtrlStyle != fcs_Hardware && value != fchr_None) {
        YVclUtil::ShowErrMsgBox_Printf(
            this, "Invalid selection !!!\n Because FlowCtrlStyle != fcs_Hardware");
        m_flowCtrlHwRxd = fchr_None;
        return;
    }
    m_flowCtrlHwRxd = value;
}

void TCustomUart::pw_FlowCtrlHwTxd(TFlowCtrlHwTxd value) {
    if (m_flowCtrlStyle != fcs_Hardware && value != fcht_None) {
        YVclUtil::ShowErrMsgBox_Printf(
            this, "Invalid selection !!!\n Because FlowCtrlStyle != fcs_Hardware");
        m_flowCtrlHwTxd = fcht_None;
        return;
    }
    m_flowCtrlHwTxd = value;
}

void TCustomUart::pw_SysUartTxdQueueSize(std::uint32_t value) {
    if (value < 1024) {
        YVclUtil::ShowErrMsgBox_Printf(
            this, "Invalid value !!!\n Because SysUartTxdQueueSize must >= 1024");
        m_sysUartTxdQueueSize = 1024;
        return;
    }
    m_sysUartTxdQueueSize = value;
}

void TCustomUart::pw_SysUartRxdQueueSize(std::uint32_t value) {
    if (value < 1024) {
        YVclUtil::ShowErrMsgBox_Printf(
            this, "Invalid value !!!\n Because SysUartRxdQueueSize must >= 1024");
        m_sysUartRxdQueueSize = 1024;
        return;
    }
    m_sysUartRxdQueueSize = value;
    allocateRxdBuffers(value);
}

void TCustomUart::pw_BytesOfRxdPacket(std::uint32_t value) {
    if (value == 0) {
        YVclUtil::ShowErrMsgBox_Printf(this, "Invalid value !!!\n Because this value must >= 1");
        m_rxdFilterBytesOfPacket = 1;
        return;
    }
    if (value > m_sysUartRxdQueueSize) {
        YVclUtil::ShowErrMsgBox_Printf(this,
                                       "Invalid value \nBecause great then SysUartRxdQueueSize");
        return;
    }
    m_rxdFilterBytesOfPacket = value;
}

void TCustomUart::allocateRxdBuffers(std::uint32_t queueSize) {
    Buffers fresh;
    const std::size_t size = static_cast<std::size_t>(queueSize) + 8;
    fresh.rxdEvent.reset(new char[size]());
    fresh.filtered.reset(new char[size]());
    fresh.raw.reset(new char[size]());
    // A running monitor thread keeps the buffers it was given until Close.
    if (m_monitor || !m_endingMonitors.empty())
        m_retiredBuffers.push_back(std::move(m_buffers));
    m_buffers = std::move(fresh);
    m_buffersSize = queueSize;
    if (!m_monitor)
        m_rxdEventInUse = m_buffers.rxdEvent.get();
}

// ---- configuration fixed at Open --------------------------------------------------------------

std::uint32_t TCustomUart::eventMask() const {
    std::uint32_t mask = EV_RXCHAR | EV_TXEMPTY;
    if (OnFrameErr || OnParityErr || OnBreakLevelErr || OnRxOverrunErr || OnTxOverrunErr)
        mask |= EV_ERR;
    if (OnRiChanged)
        mask |= EV_RING;
    if (OnCdChanged)
        mask |= EV_RLSD;
    if (OnCtsChanged && m_flowCtrlHwTxd != fcht_CTS && m_flowCtrlHwTxd != fcht_DSR_CTS)
        mask |= EV_CTS;
    if (OnDsrChanged && m_flowCtrlHwTxd != fcht_DSR && m_flowCtrlHwTxd != fcht_DSR_CTS)
        mask |= EV_DSR;
    return mask;
}

std::uint32_t TCustomUart::bitsPerChar() const {
    return 1 + m_uartBitsPerByte + (m_uartParityBit != upb_None ? 1 : 0) +
           (m_uartStopBits == usb_2bits ? 2 : 1);
}

UartRunConfig TCustomUart::buildRunConfig() const {
    UartRunConfig c;
    c.eventMask = eventMask();
    c.rxdFilterStyle = m_rxdFilterStyle;
    c.rxdFilterDelimiterChar = m_rxdFilterDelimiterChar;
    c.rxdFilterBytesOfPacket = m_rxdFilterBytesOfPacket;
    // The buffers in hand bound what the thread may store, whatever the property says now.
    c.rxdQueueSize = m_buffersSize;
    c.rxdDatasAssigned = static_cast<bool>(OnRxdDatas);
    c.txdEmptyAssigned = static_cast<bool>(OnTxdEmpty);
    c.parityMarks = m_uartParityBit != upb_None;
    const std::uint64_t bits = bitsPerChar();
    c.readTotalTimeoutMs =
        static_cast<std::uint32_t>(5000 + bits * m_sysUartRxdQueueSize / m_uartBaud);
    c.writeTotalTimeoutMs =
        static_cast<std::uint32_t>(5000 + bits * m_sysUartTxdQueueSize / m_uartBaud);
    return c;
}

// ---- events -----------------------------------------------------------------------------------

void TCustomUart::FireRxdDatasEvent(std::int32_t count) {
    if (OnRxdDatas)
        OnRxdDatas(this, count, m_rxdEventInUse);
}

void TCustomUart::FireTxdEmptyEvent() {
    if (OnTxdEmpty)
        OnTxdEmpty(this);
}

void TCustomUart::FireUartErrEvent(std::uint32_t lineErrors) {
    if ((lineErrors & CE_FRAME) && OnFrameErr)
        OnFrameErr(this);
    if ((lineErrors & CE_RXPARITY) && OnParityErr)
        OnParityErr(this);
    if ((lineErrors & CE_BREAK) && OnBreakLevelErr)
        OnBreakLevelErr(this);
    if ((lineErrors & CE_RXOVER) && OnRxOverrunErr)
        OnRxOverrunErr(this);
    if ((lineErrors & CE_TXFULL) && OnTxOverrunErr)
        OnTxOverrunErr(this);
}

void TCustomUart::FireModemSignalEvent(std::uint32_t events) {
    if ((events & EV_RING) && OnRiChanged)
        OnRiChanged(this);
    if ((events & EV_RLSD) && OnCdChanged)
        OnCdChanged(this);
    if ((events & EV_DSR) && OnDsrChanged)
        OnDsrChanged(this);
    if ((events & EV_CTS) && OnCtsChanged)
        OnCtsChanged(this);
}

// ---- sending ----------------------------------------------------------------------------------

std::uint32_t TCustomUart::SendData_printf(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    const int length = format ? std::vsnprintf(buffer, sizeof buffer, format, args) : 0;
    va_end(args);
    // vsnprintf cuts longer text at 1023 characters; never send past the buffer.
    const std::uint32_t count =
        length <= 0 ? 0 : static_cast<std::uint32_t>(std::min<int>(length, sizeof buffer - 1));
    return SendData(count, buffer);
}

bool TCustomUart::PrrallelProcessingWhenDetectedTxdEmpty() {
    if (!m_monitor)
        return m_run.txdEmptyAssigned;
    return whenDetectedTxdEmpty(*m_monitor);
}

bool TCustomUart::PrrallelProcessingTrySendNextLineOfTxtFile() {
    if (!m_monitor)
        return false;
    return trySendNextLine(*m_monitor);
}

bool TCustomUart::whenDetectedTxdEmpty(TCommMonitorThread& monitor) {
    std::lock_guard<std::mutex> lock(m_txtMutex);
    if (!m_sendingTxtFile.load())
        return m_run.txdEmptyAssigned;
    if (m_txtFileLineInterval == 0) {
        if (trySendNextLineLocked(monitor))
            return false;
        return m_run.txdEmptyAssigned;
    }
    if (!monitor.ArmLineTimer(m_txtFileLineInterval)) {
        endTxtFileLocked();
        return m_run.txdEmptyAssigned;
    }
    return false;
}

bool TCustomUart::trySendNextLine(TCommMonitorThread& monitor) {
    std::lock_guard<std::mutex> lock(m_txtMutex);
    return trySendNextLineLocked(monitor);
}

bool TCustomUart::readTxtLineLocked() {
    if (!m_txtFile ||
        !std::fgets(m_txtLineBuff.get(), static_cast<int>(m_txtLineBuffSize), m_txtFile))
        return false;
    m_txtLineLength = static_cast<std::uint32_t>(std::strlen(m_txtLineBuff.get()));
    return true;
}

void TCustomUart::endTxtFileLocked() {
    if (m_txtFile)
        std::fclose(m_txtFile);
    m_txtFile = nullptr;
    m_txtLineBuff.reset();
    m_txtLineBuffSize = 0;
    m_txtLineLength = 0;
    m_sendingTxtFile.store(false);
}

// ---- monitor thread bookkeeping ---------------------------------------------------------------

std::string TCustomUart::monitorFatalError() const {
    if (m_monitor)
        return m_monitor->FatalError();
    std::lock_guard<std::mutex> lock(m_fatalMutex);
    return m_lastFatalError;
}

bool TCustomUart::monitorRunning() const {
    return m_monitor && !m_monitor->Stopped() && !m_monitor->Finished();
}

void TCustomUart::monitorStopped(TCommMonitorThread& monitor) {
    // A thread already asked to end (by a Close meanwhile) is nobody's concern any more.
    if (monitor.Terminated() || m_monitor.get() != &monitor)
        return;
    if (TNotifyEvent handler = OnMonitorStopped) // a copy: the handler may reassign it
        handler(this);
}

std::string TCustomUart::devicePath() const {
    return Lift::Serial::ComPortDevicePath(m_uartPortNumber);
}

void TCustomUart::reapEndedMonitors() {
    if (m_handOverDepth > 0)
        return; // still inside one of their hand-overs
    for (auto& monitor : m_endingMonitors) {
        Lift::Util::MainLoop* loop = monitor->Loop();
        if (loop && loop->isLoopThread())
            loop->waitUntil([&] { return monitor->Finished(); });
        monitor->WaitFor();
    }
    m_endingMonitors.clear();
}

void TCustomUart::failOpen(const char* message) {
    Close();
    m_lastErrMsg = message;
}

} // namespace YVclCtrl
