#pragma once
// TCustomUart: a serial port component (one COM port, POSIX terminal device).
//
// Configure through the pw_ setters, then Open; received data, an empty transmit queue, line
// errors and modem-line changes arrive as events on the main loop's thread, handed over from the
// port's monitor thread (TCommMonitorThread). Settings take effect at the next Open.
//
// Devices: port number n (1..16) names a device through the port table (serial/port_table.h):
// /dev/ttyS<n-1> unless overridden by LIFT_LCD_COM<n> or SetComPortDevicePath.
//
// Threads: create, configure, open, close, send and destroy on the main loop's thread. Assign
// the handlers before Open: the monitor thread decides at Open which events it serves (and
// whether received bytes are wanted at all). The loop is the one given to setMainLoop, else
// MainLoop::current() at Open.
//
// Errors: a refused property value shows an error box captioned with the component's Name and
// keeps or substitutes a value. Open, Close and the sends show nothing: they return a result and
// keep the reason in LastErrMsg. The modem-line accessors throw std::runtime_error on a closed
// port.
//
// Exclusive use: Open refuses a device that another program holds as far as Linux can tell
// (it set exclusive mode, TIOCEXCL, or a lock file LCK..<name> in /var/lock names a live
// process) with "The comm device can not access (may be opened by another)". While open, the
// component holds the device in exclusive mode (a later open by anyone but the superuser fails)
// and with an advisory flock; it writes no lock file, so a program that only looks for lock
// files is not kept out.
//
// A lost device (USB adapter unplugged, far end of a pseudo-terminal closed) and a receive-
// buffer overflow end the monitor thread for good: monitorRunning() turns false,
// monitorFatalError() says why and OnMonitorStopped fires on the loop thread. The port stays
// open until Close.
//
// Platform notes: Linux has one hardware handshake flag (CRTSCTS) for both directions. It is
// set only when CTS output flow control is chosen (fcht_CTS, fcht_DSR_CTS), so a peer that holds
// CTS low never stalls output unless that was asked for; RTS then also signals the input
// queue's room, whatever FlowCtrlHwRxd says. fchr_RTS alone keeps RTS raised (no input
// handshake). There is no hardware DSR output flow control nor DTR input handshake: fcht_DSR
// alone gives no output flow control and fchr_DTR keeps DTR raised. With parity on, a byte
// received with a parity or framing error, or a break, reads as 0x0A. Line errors and
// modem-line changes are reported where the driver counts them (TIOCGICOUNT, real UARTs); the
// monitor thread then samples the counters every 20 ms. A device without modem lines (a
// pseudo-terminal) reads all lines off. SysUartRxdIntervalTimeout is kept but has nothing to
// do: bytes are handed on as soon as the driver has them; the driver's low-latency option is
// asked for while the port is open and put back as it was at Close. Destroy the component
// before its main loop.

#include "serial/uart_types.h"
#include "util/component.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Lift::Util {
class MainLoop;
}

namespace YVclCtrl {

class TCommMonitorThread;

// What the monitor thread works with, fixed at Open.
struct UartRunConfig {
    std::uint32_t eventMask = 0;
    TRxdFilter rxdFilterStyle = rfs_None;
    char rxdFilterDelimiterChar = '\n';
    std::uint32_t rxdFilterBytesOfPacket = 1;
    std::uint32_t rxdQueueSize = 1024;
    bool rxdDatasAssigned = false;
    bool txdEmptyAssigned = false;
    bool parityMarks = false; // bad bytes arrive marked in the data (parity checking on)
    std::uint32_t readTotalTimeoutMs = 5000;
    std::uint32_t writeTotalTimeoutMs = 5000;
};

class TCustomUart : public TComponent {
public:
    explicit TCustomUart(TComponent* owner = nullptr);
    ~TCustomUart() override;

    // ---- properties (stored; used at the next Open) ----
    std::uint32_t pr_UartPortNumber() const { return m_uartPortNumber; }
    void pw_UartPortNumber(std::uint32_t value);
    std::uint32_t pr_UartBaud() const { return m_uartBaud; }
    void pw_UartBaud(std::uint32_t value);
    std::uint32_t pr_UartBitsPerByte() const { return m_uartBitsPerByte; }
    void pw_UartBitsPerByte(std::uint32_t value);
    TUartParityBit pr_UartParityBit() const { return m_uartParityBit; }
    void pw_UartParityBit(TUartParityBit value) { m_uartParityBit = value; }
    TUartStopBits pr_UartStopBits() const { return m_uartStopBits; }
    void pw_UartStopBits(TUartStopBits value) { m_uartStopBits = value; }
    TFlowCtrlStyle pr_FlowCtrlStyle() const { return m_flowCtrlStyle; }
    void pw_FlowCtrlStyle(TFlowCtrlStyle value);
    TFlowCtrlHwRxd pr_FlowCtrlHwRxd() const { return m_flowCtrlHwRxd; }
    void pw_FlowCtrlHwRxd(TFlowCtrlHwRxd value);
    TFlowCtrlHwTxd pr_FlowCtrlHwTxd() const { return m_flowCtrlHwTxd; }
    void pw_FlowCtrlHwTxd(TFlowCtrlHwTxd value);
    TSysUartWriteStyle pr_SysUartWriteStyle() const { return m_sysUartWriteStyle; }
    void pw_SysUartWriteStyle(TSysUartWriteStyle value) { m_sysUartWriteStyle = value; }
    std::uint32_t pr_SysUartTxdQueueSize() const { return m_sysUartTxdQueueSize; }
    void pw_SysUartTxdQueueSize(std::uint32_t value);
    std::uint32_t pr_SysUartRxdQueueSize() const { return m_sysUartRxdQueueSize; }
    // Accepting a value replaces the three receive buffers (value + 8 bytes each).
    void pw_SysUartRxdQueueSize(std::uint32_t value);
    std::uint32_t pr_SysUartRxdIntervalTimeout() const { return m_sysUartRxdIntervalTimeout; }
    void pw_SysUartRxdIntervalTimeout(std::uint32_t value) { m_sysUartRxdIntervalTimeout = value; }
    TRxdFilter pr_RxdFilter_Style() const { return m_rxdFilterStyle; }
    void pw_RxdFilter_Style(TRxdFilter value) { m_rxdFilterStyle = value; }
    char pr_RxdFilter_DelimiterChar() const { return m_rxdFilterDelimiterChar; }
    void pw_RxdFilter_DelimiterChar(char value) { m_rxdFilterDelimiterChar = value; }
    std::uint32_t pr_RxdFilter_BytesOfPacket() const { return m_rxdFilterBytesOfPacket; }
    void pw_BytesOfRxdPacket(std::uint32_t value);

    // ---- events (main loop thread) ----
    TNotifyEvent OnRiChanged;
    TNotifyEvent OnCdChanged;
    TNotifyEvent OnDsrChanged;
    TNotifyEvent OnCtsChanged;
    TNotifyEvent OnTxdEmpty;
    TRxdDatasEvent OnRxdDatas;
    TNotifyEvent OnFrameErr;
    TNotifyEvent OnParityErr;
    TNotifyEvent OnBreakLevelErr;
    TNotifyEvent OnRxOverrunErr;
    TNotifyEvent OnTxOverrunErr;

    // ---- state ----
    bool Opened() const { return m_opened; }
    const std::string& LastErrMsg() const { return m_lastErrMsg; }
    // Modem lines of the open port; throw std::runtime_error when the port is closed.
    bool pr_RiState() const;
    bool pr_CdState() const;
    bool pr_DsrState() const;
    bool pr_CtsState() const;

    // ---- operations ----
    // Opens the port; true when open (also when it already was). On failure LastErrMsg says
    // why and the component is closed.
    bool Open();
    // Ends the monitor thread (serving its hand-overs meanwhile), ends a text-file transfer,
    // lowers RTS and DTR, discards both queues and closes the device. Always true.
    bool Close();
    // Result codes: 0 written, 1 refused, 2 not open, 3 a text file is being sent, 4 write
    // time-out (fewer bytes written).
    std::uint32_t SendData(std::uint32_t count, const void* data);
    // printf into 1024 bytes (longer text is cut at 1023) and SendData of the result.
    std::uint32_t SendData_printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Sends the first line now and the rest, line by line, each after the transmit queue ran
    // empty (and lineInterval ms more). Codes as SendData, plus 5 (cannot open / empty file).
    std::uint32_t SendTxtFile(const std::string& fileName, std::uint32_t lineInterval);

    // ---- called by the monitor thread's hand-overs (main loop thread) ----
    void FireRxdDatasEvent(std::int32_t count);
    void FireTxdEmptyEvent();
    void FireUartErrEvent(std::uint32_t lineErrors);
    void FireModemSignalEvent(std::uint32_t events);

    // ---- called on the monitor thread ----
    bool PrrallelProcessingWhenDetectedTxdEmpty();
    bool PrrallelProcessingTrySendNextLineOfTxtFile();

    // ---- additions of this platform ----
    // The loop whose thread runs the events; null: MainLoop::current() at Open.
    void setMainLoop(Lift::Util::MainLoop* loop) { m_loop = loop; }
    // Fires (main loop thread) when the monitor thread stops serving the open port for good:
    // the device was lost or a receive buffer overflowed. Not after Close. The handler may
    // Close (and Open again).
    TNotifyEvent OnMonitorStopped;
    // Why the monitor thread stopped serving the port (the device was lost, a receive-buffer
    // overflow), or empty while it runs normally. Still readable after Close; cleared by the
    // next Open.
    std::string monitorFatalError() const;
    // True while the monitor thread serves the port.
    bool monitorRunning() const;
    // The device path the port number currently names.
    std::string devicePath() const;
    bool SendingTxtFile() const { return m_sendingTxtFile.load(); }
    // What the last Open fixed: event mask, filter, time-outs.
    const UartRunConfig& runConfig() const { return m_run; }

protected:
    void RunConstructor();
    void RunDestructor();

private:
    friend class TCommMonitorThread;

    struct Buffers {
        std::unique_ptr<char[]> rxdEvent, filtered, raw;
    };

    // The monitor thread's side of the text-file continuation.
    bool whenDetectedTxdEmpty(TCommMonitorThread& monitor);
    bool trySendNextLine(TCommMonitorThread& monitor);
    bool trySendNextLineLocked(TCommMonitorThread& monitor);
    void reapEndedMonitors();
    // Hand-over of a monitor thread that stopped serving the port (main loop thread).
    void monitorStopped(TCommMonitorThread& monitor);

    UartRunConfig buildRunConfig() const;
    std::uint32_t eventMask() const;
    void allocateRxdBuffers(std::uint32_t queueSize);
    void failOpen(const char* message);
    void endTxtFileLocked();
    bool readTxtLineLocked();
    bool modemStatus(std::uint32_t bit) const;
    std::uint32_t bitsPerChar() const;

    // Platform parts (custom_uart_posix.cpp).
    bool configureDevice(int fd) const;

    // properties
    std::uint32_t m_uartPortNumber = 1;
    std::uint32_t m_uartBaud = 9600;
    std::uint32_t m_uartBitsPerByte = 8;
    TUartParityBit m_uartParityBit = upb_None;
    TUartStopBits m_uartStopBits = usb_1bit;
    TFlowCtrlStyle m_flowCtrlStyle = fcs_None;
    TFlowCtrlHwRxd m_flowCtrlHwRxd = fchr_None;
    TFlowCtrlHwTxd m_flowCtrlHwTxd = fcht_None;
    TSysUartWriteStyle m_sysUartWriteStyle = suws_WriteViaQueue;
    std::uint32_t m_sysUartTxdQueueSize = 1024;
    std::uint32_t m_sysUartRxdQueueSize = 1024;
    std::uint32_t m_sysUartRxdIntervalTimeout = 3;
    TRxdFilter m_rxdFilterStyle = rfs_None;
    char m_rxdFilterDelimiterChar = '\n';
    std::uint32_t m_rxdFilterBytesOfPacket = 1;

    // state
    Lift::Util::MainLoop* m_loop = nullptr;
    int m_fd = -1;
    bool m_opened = false;
    bool m_lowLatencyTurnedOn = false; // put back at Close
    std::string m_lastErrMsg;
    UartRunConfig m_run;
    std::unique_ptr<TCommMonitorThread> m_monitor;
    // Monitor threads asked to end by a Close inside one of their own hand-overs; they end as
    // soon as that hand-over returns and are joined later.
    std::vector<std::unique_ptr<TCommMonitorThread>> m_endingMonitors;
    Buffers m_buffers;
    char* m_rxdEventInUse = nullptr; // RxdEventBuff the running monitor thread fills
    std::uint32_t m_buffersSize = 0;
    // Buffers replaced while the monitor thread still used them; freed at Close.
    std::vector<Buffers> m_retiredBuffers;
    // Depth of hand-overs of this component being run on the loop thread.
    int m_handOverDepth = 0;
    // The monitor thread whose hand-over is running now, if any (loop thread only).
    TCommMonitorThread* m_handOverFrom = nullptr;
    mutable std::mutex m_fatalMutex;
    std::string m_lastFatalError;

    // Text-file sending: shared with the monitor thread, guarded by m_txtMutex (the monitor
    // thread takes it for each further line; SendTxtFile holds it over the first).
    std::mutex m_txtMutex;
    std::atomic<bool> m_sendingTxtFile{false};
    std::FILE* m_txtFile = nullptr;
    std::unique_ptr<char[]> m_txtLineBuff;
    std::uint32_t m_txtLineBuffSize = 0;
    std::uint32_t m_txtLineLength = 0;
    std::uint32_t m_txtFileLineInterval = 0;
};

} // namespace YVclCtrl
