// The component's device work on a POSIX terminal device.
#include "serial/comm_monitor_thread.h"
#include "serial/custom_uart.h"
#include "serial/port_io.h"
#include "serial/port_lock.h"
#include "serial/port_table.h"
#include "util/main_loop.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace YVclCtrl {

namespace {

// The one place where the reasons of a failed open become texts.
const char* openFailureText(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return "The comm device not exist";
    case EACCES:
    case EPERM:
    case EBUSY:
    case EWOULDBLOCK:
        return "The comm device can not access (may be opened by another)";
    default:
        return "Can not open comm device file";
    }
}

void setModemLine(int fd, int line, bool on) {
    // Pseudo-terminals have no modem lines and refuse; that is not a failure of the port.
    (void)::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

} // namespace

bool TCustomUart::configureDevice(int fd) const {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return false;
    ::cfmakeraw(&tio); // binary: no translation, no echo, no signals, no XON/XOFF
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | IGNPAR | PARMRK | INPCK);
    tio.c_cflag |= CREAD | CLOCAL;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= m_uartBitsPerByte == 7 ? CS7 : CS8;
    if (m_uartParityBit != upb_None) {
        tio.c_cflag |= PARENB;
        if (m_uartParityBit == upb_Odd)
            tio.c_cflag |= PARODD;
        // Bad bytes are marked in the data so the monitor thread can replace them.
        tio.c_iflag |= INPCK | PARMRK;
    }
    if (m_uartStopBits == usb_2bits)
        tio.c_cflag |= CSTOPB;
    // One flag for both directions: only CTS output handshaking may stall our writes.
    if (m_flowCtrlStyle == fcs_Hardware &&
        (m_flowCtrlHwTxd == fcht_CTS || m_flowCtrlHwTxd == fcht_DSR_CTS))
        tio.c_cflag |= CRTSCTS;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return false;
    return Lift::Serial::SetPortBaudRate(fd, m_uartBaud);
}

bool TCustomUart::Open() {
    if (m_fd >= 0)
        return true;
    reapEndedMonitors();

    const std::string path = Lift::Serial::ComPortDevicePath(m_uartPortNumber);
    // A program that announced the device by a lock file is not disturbed, not even by the
    // modem lines an open may raise.
    if (Lift::Serial::DeviceLockedByAnother(path)) {
        m_lastErrMsg = openFailureText(EBUSY);
        return false;
    }
    int flags = O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    if (m_sysUartWriteStyle == suws_WriteThrough)
        flags |= O_SYNC;
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        m_lastErrMsg = openFailureText(errno);
        return false;
    }
    // Exclusive use: another program's exclusive mode refuses us (the superuser's open gets
    // through it, so ask); an advisory lock keeps other programs of ours (and other instances
    // in this process) out, TIOCEXCL keeps out everyone else who opens the device afterwards.
    int exclusive = 0;
    const bool heldExclusively = ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
    if (heldExclusively || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = heldExclusively ? EBUSY : errno;
        ::close(fd);
        m_lastErrMsg = openFailureText(error == EWOULDBLOCK ? EBUSY : error);
        return false;
    }
    m_fd = fd;
    (void)::ioctl(fd, TIOCEXCL);

    // Queue sizes are the driver's own here; nothing to recommend.
    if (!configureDevice(fd)) {
        failOpen("Can not set comm config");
        return false;
    }
    m_lowLatencyTurnedOn = Lift::Serial::RequestLowLatency(fd);
    m_run = buildRunConfig(); // time-outs and the event mask

    setModemLine(fd, TIOCM_DTR, true);
    setModemLine(fd, TIOCM_RTS, true);

    Lift::Util::MainLoop* loop = m_loop ? m_loop : Lift::Util::MainLoop::current();
    {
        std::lock_guard<std::mutex> lock(m_fatalMutex);
        m_lastFatalError.clear();
    }
    m_rxdEventInUse = m_buffers.rxdEvent.get();
    if (loop) {
        m_monitor = std::make_unique<TCommMonitorThread>(
            this, fd, m_buffers.rxdEvent.get(), m_buffers.filtered.get(), m_buffers.raw.get(),
            m_run, m_uartBaud, bitsPerChar(), loop);
        if (!m_monitor->Start())
            m_monitor.reset();
    }
    if (!m_monitor) {
        failOpen("Can not create TCommEventMonitorThread");
        return false;
    }
    m_opened = true;
    m_lastErrMsg.clear();
    return true;
}

bool TCustomUart::Close() {
    if (m_fd < 0)
        return true;

    if (m_monitor) {
        m_monitor->Terminate();
        Lift::Util::MainLoop* loop = m_monitor->Loop();
        if (m_handOverDepth > 0) {
            // Closed from one of the thread's own hand-overs: it cannot end before this call
            // returns, so it is joined later. It touches the port no more, and a reason to
            // stop it had is known already.
            {
                std::lock_guard<std::mutex> lock(m_fatalMutex);
                m_lastFatalError = m_monitor->FatalError();
            }
            m_endingMonitors.push_back(std::move(m_monitor));
        } else {
            // The thread may be waiting for the loop to run a hand-over: keep serving.
            if (loop->isLoopThread())
                loop->waitUntil([this] { return m_monitor->Finished(); });
            m_monitor->WaitFor();
            {
                std::lock_guard<std::mutex> lock(m_fatalMutex);
                m_lastFatalError = m_monitor->FatalError();
            }
            m_monitor.reset();
        }
    }
    {
        // A text file still being sent ends here, its file closed and its buffer released.
        std::lock_guard<std::mutex> lock(m_txtMutex);
        endTxtFileLocked();
    }

    setModemLine(m_fd, TIOCM_RTS, false);
    setModemLine(m_fd, TIOCM_DTR, false);
    ::tcflush(m_fd, TCIOFLUSH);
    // The driver's options as they were before Open; exclusive mode would otherwise outlive
    // this open where the device stays open elsewhere.
    if (m_lowLatencyTurnedOn)
        Lift::Serial::RestoreLowLatency(m_fd);
    m_lowLatencyTurnedOn = false;
    (void)::ioctl(m_fd, TIOCNXCL);
    const bool closed = ::close(m_fd) == 0 || errno == EINTR;
    m_fd = -1;
    m_opened = false;
    if (m_endingMonitors.empty()) {
        m_retiredBuffers.clear();
        m_rxdEventInUse = m_buffers.rxdEvent.get();
    }
    m_lastErrMsg = closed ? "" : "Can not close comm";
    return true;
}

std::uint32_t TCustomUart::SendData(std::uint32_t count, const void* data) {
    m_lastErrMsg.clear();
    if (m_fd < 0)
        return 2;
    if (m_sendingTxtFile.load())
        return 3;
    if (count == 0)
        return 0;
    const auto result = Lift::Serial::WritePort(m_fd, data, count, m_run.writeTotalTimeoutMs, -1);
    if (result.error != 0) {
        m_lastErrMsg = "Can not send to comm";
        return 1;
    }
    if (m_monitor) {
        // Inside a hand-over the monitor thread looks at the queue as soon as it resumes;
        // waking it as well would only cost time on the way back.
        if (m_handOverFrom == m_monitor.get())
            m_monitor->WatchTxdQueue();
        else
            m_monitor->NotifyTxdQueued();
    }
    if (result.written < count) {
        m_lastErrMsg = "Timeout when send to comm";
        return 4;
    }
    return 0;
}

std::uint32_t TCustomUart::SendTxtFile(const std::string& fileName, std::uint32_t lineInterval) {
    m_lastErrMsg.clear();
    if (m_fd < 0)
        return 2;
    if (m_sendingTxtFile.load())
        return 3;
    // "r+": the file must be writable, as the component always asked.
    std::FILE* file = std::fopen(fileName.c_str(), "r+be");
    if (!file) {
        m_lastErrMsg = "Can not open file";
        return 5;
    }
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[m_sysUartTxdQueueSize]);
    if (!buffer) {
        std::fclose(file);
        m_lastErrMsg = "Can not alloc mem";
        return 1;
    }

    // Holding the lock keeps the monitor thread from starting a second line meanwhile.
    std::lock_guard<std::mutex> lock(m_txtMutex);
    m_txtFile = file;
    m_txtLineBuff = std::move(buffer);
    m_txtLineBuffSize = m_sysUartTxdQueueSize;
    if (!readTxtLineLocked()) {
        endTxtFileLocked();
        m_lastErrMsg = "Can not read file";
        return 5;
    }
    m_sendingTxtFile.store(true);
    m_txtFileLineInterval = lineInterval;

    const auto result = Lift::Serial::WritePort(m_fd, m_txtLineBuff.get(), m_txtLineLength,
                                                m_run.writeTotalTimeoutMs, -1);
    if (result.error != 0) {
        m_lastErrMsg = "Can not send txt file to comm";
        endTxtFileLocked();
        return 1;
    }
    if (result.written < m_txtLineLength) {
        m_lastErrMsg = "Timeout when send txt file to comm";
        endTxtFileLocked();
        return 4;
    }
    if (m_monitor)
        m_monitor->NotifyTxdQueued();
    return 0;
}

bool TCustomUart::trySendNextLineLocked(TCommMonitorThread& monitor) {
    if (!readTxtLineLocked()) {
        endTxtFileLocked(); // end of file or a read error
        return false;
    }
    // Close must not wait out a line stuck behind flow control: its request cancels the write.
    const auto result =
        Lift::Serial::WritePort(m_fd, m_txtLineBuff.get(), m_txtLineLength,
                                m_run.writeTotalTimeoutMs, monitor.TerminateEventFd());
    if (result.error != 0 || result.written < m_txtLineLength) {
        endTxtFileLocked();
        return false;
    }
    monitor.NotifyTxdQueued();
    return true;
}

bool TCustomUart::modemStatus(std::uint32_t bit) const {
    if (!m_opened || m_fd < 0)
        throw std::runtime_error("Illegal property access, because TCustomUart not in opened "
                                 "state !!!");
    int lines = 0;
    if (::ioctl(m_fd, TIOCMGET, &lines) != 0)
        return false; // no modem lines (a pseudo-terminal): all off
    std::uint32_t status = 0;
    if (lines & TIOCM_CTS)
        status |= MS_CTS_ON;
    if (lines & TIOCM_DSR)
        status |= MS_DSR_ON;
    if (lines & TIOCM_RNG)
        status |= MS_RING_ON;
    if (lines & TIOCM_CAR)
        status |= MS_RLSD_ON;
    return (status & bit) != 0;
}

bool TCustomUart::pr_RiState() const {
    return modemStatus(MS_RING_ON);
}
bool TCustomUart::pr_CdState() const {
    return modemStatus(MS_RLSD_ON);
}
bool TCustomUart::pr_DsrState() const {
    return modemStatus(MS_DSR_ON);
}
bool TCustomUart::pr_CtsState() const {
    return modemStatus(MS_CTS_ON);
}

} // namespace YVclCtrl
