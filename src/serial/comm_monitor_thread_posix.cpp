#include "serial/comm_monitor_thread.h"

#include "util/errno_text.h"
#include "util/main_loop.h"
#include "util/standalone_function.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace YVclCtrl {

namespace {

constexpr const char* kCaption = "TCommEventMonitorThread";
// Line errors and modem lines have no wake-up of their own here; their counters are sampled.
constexpr int kCounterSampleMs = 20;
constexpr std::uint32_t kModemEvents = EV_CTS | EV_DSR | EV_RLSD | EV_RING;

Lift::Serial::RxdFilterConfig filterConfig(const UartRunConfig& c) {
    Lift::Serial::RxdFilterConfig f;
    f.style = c.rxdFilterStyle;
    f.delimiter = c.rxdFilterDelimiterChar;
    f.bytesOfPacket = c.rxdFilterBytesOfPacket;
    f.rxdQueueSize = c.rxdQueueSize;
    return f;
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

void drainEventFd(int fd) {
    std::uint64_t value;
    while (::read(fd, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

} // namespace

TCommMonitorThread::TCommMonitorThread(TCustomUart* owner, int portFd, char* rxdEventBuff,
                                       char* filteredRxdBuff, char* rawRxdBuff,
                                       const UartRunConfig& config, std::uint32_t baud,
                                       std::uint32_t bitsPerChar, Lift::Util::MainLoop* loop)
    : m_owner(owner), m_portFd(portFd), m_rxdEventBuff(rxdEventBuff),
      m_filteredRxdBuff(filteredRxdBuff), m_rawRxdBuff(rawRxdBuff), m_config(config),
      m_baud(baud ? baud : 9600), m_bitsPerChar(bitsPerChar), m_loop(loop),
      m_assembler(filterConfig(config), filteredRxdBuff) {
    m_terminateFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_terminateFd < 0)
        YVclUtil::ShowErrMsgBox_Printf(kCaption, "Err: Can not create hEventForTerminateThread");
    m_kickFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_kickFd < 0)
        YVclUtil::ShowErrMsgBox_Printf(kCaption, "Err: Can not create OlapUartEvt.hEvent");
    m_timerFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    if (m_timerFd < 0)
        YVclUtil::ShowErrMsgBox_Printf(kCaption, "Err: Can not create WaitableTimer");
}

TCommMonitorThread::~TCommMonitorThread() {
    Terminate();
    WaitFor();
    closeFd(m_terminateFd);
    closeFd(m_kickFd);
    closeFd(m_timerFd); // also cancels the line timer
}

bool TCommMonitorThread::Start() {
    // Without its termination event the thread could never be stopped: refuse to run it.
    if (m_terminateFd < 0 || m_kickFd < 0 || m_timerFd < 0 || !m_loop)
        return false;
    try {
        m_thread = std::thread([this] { threadMain(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void TCommMonitorThread::Terminate() {
    if (m_terminated.exchange(true))
        return;
    if (m_terminateFd >= 0) {
        const std::uint64_t one = 1;
        (void)!::write(m_terminateFd, &one, sizeof one);
    }
}

void TCommMonitorThread::WaitFor() {
    if (m_thread.joinable())
        m_thread.join();
}

std::string TCommMonitorThread::FatalError() const {
    std::lock_guard<std::mutex> lock(m_fatalMutex);
    return m_fatalError;
}

void TCommMonitorThread::NotifyTxdQueued() {
    m_txWatch.store(true);
    if (m_kickFd >= 0) {
        const std::uint64_t one = 1;
        (void)!::write(m_kickFd, &one, sizeof one);
    }
}

bool TCommMonitorThread::ArmLineTimer(std::uint32_t lineIntervalMs) {
    // An absolute time, so a late wake-up does not stretch the pause.
    timespec now{};
    if (m_timerFd < 0 || ::clock_gettime(CLOCK_MONOTONIC, &now) != 0)
        return false;
    itimerspec spec{};
    const long long nanos = static_cast<long long>(now.tv_nsec) +
                            static_cast<long long>(lineIntervalMs % 1000) * 1000000;
    spec.it_value.tv_sec = now.tv_sec + lineIntervalMs / 1000 + nanos / 1000000000;
    spec.it_value.tv_nsec = nanos % 1000000000;
    if (::timerfd_settime(m_timerFd, TFD_TIMER_ABSTIME, &spec, nullptr) != 0) {
        itimerspec off{};
        ::timerfd_settime(m_timerFd, 0, &off, nullptr);
        m_lineTimerArmed = false;
        return false;
    }
    m_lineTimerArmed = true;
    return true;
}

void TCommMonitorThread::threadMain() {
    Lift::Util::MainLoop* loop = m_loop;
    std::string fatal;
    try {
        Execute();
        fatal = m_lostReason;
    } catch (const std::exception& e) {
        fatal = e.what();
    } catch (...) {
        fatal = "unknown exception";
    }
    if (!fatal.empty()) {
        {
            std::lock_guard<std::mutex> lock(m_fatalMutex);
            m_fatalError = fatal;
        }
        m_stopped.store(true);
        YVclUtil::SendDbgString_Printf("%s: monitor thread ended: %s", kCaption, fatal.c_str());
        // The owner learns it on its own thread; after a Close nobody is waiting for it.
        if (!Terminated())
            handOver([this] { m_owner->monitorStopped(*this); });
    }
    m_finished.store(true);
    loop->wake();
}

void TCommMonitorThread::Execute() {
    m_assembler.reset();
    m_parityMarks.reset();
    m_lostReason.clear();
    m_lineTimerArmed = false;

    const bool sampleCounters = (m_config.eventMask & (EV_ERR | kModemEvents)) != 0;
    serial_icounter_struct last{};
    const bool haveCounters = sampleCounters && ::ioctl(m_portFd, TIOCGICOUNT, &last) == 0;

    while (!Terminated()) {
        pollfd fds[4] = {{m_portFd, POLLIN, 0},
                         {m_terminateFd, POLLIN, 0},
                         {m_kickFd, POLLIN, 0},
                         {m_timerFd, POLLIN, 0}};
        int timeout = -1;
        if (m_txWatch.load())
            timeout = drainPollMs();
        if (haveCounters)
            timeout = timeout < 0 ? kCounterSampleMs : std::min(timeout, kCounterSampleMs);

        const int ready = ::poll(fds, 4, timeout);
        if (Terminated())
            break;
        if (ready < 0) {
            if (errno != EINTR)
                ::poll(nullptr, 0, 10); // the wait failed: pause, then try again
            continue;
        }
        if (fds[2].revents & POLLIN)
            drainEventFd(m_kickFd);

        std::uint32_t events = 0;
        std::uint32_t lineErrors = 0;
        if (haveCounters) {
            serial_icounter_struct now{};
            if (::ioctl(m_portFd, TIOCGICOUNT, &now) == 0) {
                if (now.frame != last.frame)
                    lineErrors |= CE_FRAME;
                if (now.parity != last.parity)
                    lineErrors |= CE_RXPARITY;
                if (now.brk != last.brk)
                    lineErrors |= CE_BREAK;
                if (now.overrun != last.overrun)
                    lineErrors |= CE_OVERRUN;
                if (now.buf_overrun != last.buf_overrun)
                    lineErrors |= CE_RXOVER;
                if (lineErrors)
                    events |= EV_ERR;
                if (now.cts != last.cts)
                    events |= EV_CTS;
                if (now.dsr != last.dsr)
                    events |= EV_DSR;
                if (now.dcd != last.dcd)
                    events |= EV_RLSD;
                if (now.rng != last.rng)
                    events |= EV_RING;
                last = now;
            }
        }
        if (m_txWatch.load() && outputQueueEmpty() && m_txWatch.exchange(false))
            events |= EV_TXEMPTY;
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR))
            events |= EV_RXCHAR;

        handlePortEvent(events, lineErrors);
        if (Terminated() || !m_lostReason.empty())
            break;

        if (m_lineTimerArmed && (fds[3].revents & POLLIN)) {
            drainEventFd(m_timerFd); // clear its signal so it no longer wakes the loop
            m_lineTimerArmed = false;
            const bool sent = m_owner->trySendNextLine(*this);
            if (!sent && m_config.txdEmptyAssigned && !Terminated())
                handOver([this] { m_owner->FireTxdEmptyEvent(); });
        }
    }
}

void TCommMonitorThread::handlePortEvent(std::uint32_t events, std::uint32_t lineErrors) {
    if (Terminated())
        return;
    if ((events & EV_ERR) && (m_config.eventMask & EV_ERR))
        handOver([this, lineErrors] { m_owner->FireUartErrEvent(lineErrors); });
    const std::uint32_t modem = events & kModemEvents & m_config.eventMask;
    if (modem && !Terminated())
        handOver([this, modem] { m_owner->FireModemSignalEvent(modem); });
    if ((events & EV_TXEMPTY) && !Terminated()) {
        if (m_owner->whenDetectedTxdEmpty(*this) && !Terminated())
            handOver([this] { m_owner->FireTxdEmptyEvent(); });
    }
    if ((events & EV_RXCHAR) && !Terminated()) {
        const ssize_t n = ::read(m_portFd, m_rawRxdBuff, m_config.rxdQueueSize);
        if (n > 0) {
            std::size_t count = static_cast<std::size_t>(n);
            if (m_config.parityMarks)
                count = m_parityMarks.decode(m_rawRxdBuff, count);
            if (count > 0)
                handleReceived(count);
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            // The device went away (adapter unplugged, other end of a pseudo-terminal
            // closed): reads would fail at once for ever, so this thread ends.
            m_lostReason = std::string("The comm device was lost (") +
                           (n == 0 ? "hang-up" : Lift::Util::ErrnoText(errno)) + ")";
        }
    }
}

void TCommMonitorThread::handleReceived(std::size_t n) {
    if (!m_config.rxdDatasAssigned)
        return; // dropped, the partial unit stays as it was
    m_assembler.feed(m_rawRxdBuff, n, [this](std::uint32_t count) {
        if (Terminated())
            return false;
        handOver([this, count] {
            std::memcpy(m_rxdEventBuff, m_filteredRxdBuff, count);
            m_owner->FireRxdDatasEvent(static_cast<std::int32_t>(count));
        });
        // A handler that closed the port may have opened it again: the buffers serve the new
        // monitor thread now, so the rest of this read is dropped here.
        return !Terminated();
    });
}

void TCommMonitorThread::handOver(const std::function<void()>& call) {
    m_loop->invokeSync([&] {
        ++m_owner->m_handOverDepth;
        TCommMonitorThread* outer = m_owner->m_handOverFrom;
        m_owner->m_handOverFrom = this;
        try {
            call();
        } catch (...) {
            // A handler's exception is the loop's to report, like any handler's; this thread
            // goes on serving the port.
            auto error = std::current_exception();
            m_loop->post([error] { std::rethrow_exception(error); });
        }
        m_owner->m_handOverFrom = outer;
        --m_owner->m_handOverDepth;
    });
}

bool TCommMonitorThread::outputQueueEmpty() const {
    int queued = 0;
    if (::ioctl(m_portFd, TIOCOUTQ, &queued) != 0)
        return true; // the driver cannot tell: take the write as gone
    return queued <= 0;
}

int TCommMonitorThread::drainPollMs() const {
    int queued = 0;
    if (::ioctl(m_portFd, TIOCOUTQ, &queued) != 0 || queued <= 0)
        return 0;
    // Time for the queued characters to leave, within sensible bounds.
    const long long ms = static_cast<long long>(queued) * m_bitsPerChar * 1000 / m_baud;
    return static_cast<int>(std::clamp<long long>(ms, 1, 50));
}

} // namespace YVclCtrl
