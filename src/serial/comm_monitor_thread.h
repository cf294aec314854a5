#pragma once
// TCommMonitorThread: the worker thread of an open TCustomUart.
//
// It waits on the port (poll), reads received bytes as soon as they arrive, cuts them into units
// by the component's receive filter, watches the transmit queue run empty, times the pause
// between the lines of a text file, and hands every unit and every port event over to the main
// loop's thread (MainLoop::invokeSync), waiting until each has run there.
//
// Lifetime: created by Open, started with Start; Close asks it to end (Terminate) and waits for
// Finished while the loop keeps serving its hand-overs, then destroys it (the destructor joins).
// After Terminate the thread no longer touches the port: whatever it was doing ends at the next
// check, a hand-over in flight first completes on the loop.
//
// An exception that leaves the loop (a receive-buffer overflow) ends the thread, not the
// process; so does a device that went away (a read error or hang-up). Either reason is kept as
// FatalError, sent to the debug channel and, unless the thread was asked to end, handed over
// to the owner (TCustomUart::monitorStopped).

#include "serial/custom_uart.h"
#include "serial/parity_mark_decoder.h"
#include "serial/rxd_assembler.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace Lift::Util {
class MainLoop;
}

namespace YVclCtrl {

class TCommMonitorThread {
public:
    TCommMonitorThread(TCustomUart* owner, int portFd, char* rxdEventBuff, char* filteredRxdBuff,
                       char* rawRxdBuff, const UartRunConfig& config, std::uint32_t baud,
                       std::uint32_t bitsPerChar, Lift::Util::MainLoop* loop);
    ~TCommMonitorThread();

    TCommMonitorThread(const TCommMonitorThread&) = delete;
    TCommMonitorThread& operator=(const TCommMonitorThread&) = delete;

    // Starts the thread; false when its wait objects or the thread cannot be created.
    bool Start();
    // Any thread: asks the thread to end and wakes it.
    void Terminate();
    bool Terminated() const { return m_terminated.load(); }
    // True once the thread has left its loop (it wakes the main loop then).
    bool Finished() const { return m_finished.load(); }
    // True once the thread has given up serving the port (FatalError says why); it may still
    // be handing that over.
    bool Stopped() const { return m_stopped.load(); }
    // Joins the thread. Call after Finished, or where no hand-over can be pending.
    void WaitFor();
    std::string FatalError() const;
    Lift::Util::MainLoop* Loop() const { return m_loop; }

    // Any thread: bytes were queued for sending; watch for the queue to run empty.
    void NotifyTxdQueued();
    // The same without waking the thread: for calls made while it waits for a hand-over.
    void WatchTxdQueue() { m_txWatch.store(true); }
    // Readable once Terminate was called; lets a blocking write give up.
    int TerminateEventFd() const { return m_terminateFd; }

    // Monitor thread only: arms the one-shot line timer to go off lineIntervalMs from now.
    bool ArmLineTimer(std::uint32_t lineIntervalMs);

private:
    void threadMain();
    void Execute();
    void handlePortEvent(std::uint32_t events, std::uint32_t lineErrors);
    void handleReceived(std::size_t n);
    void handOver(const std::function<void()>& call);
    bool outputQueueEmpty() const;
    int drainPollMs() const;

    TCustomUart* m_owner;
    int m_portFd;
    char* m_rxdEventBuff;
    char* m_filteredRxdBuff;
    char* m_rawRxdBuff;
    UartRunConfig m_config;
    std::uint32_t m_baud;
    std::uint32_t m_bitsPerChar;
    Lift::Util::MainLoop* m_loop;

    int m_terminateFd = -1; // eventfd, stays readable once signalled
    int m_kickFd = -1;      // eventfd: bytes were queued
    int m_timerFd = -1;     // timerfd: the line timer

    std::thread m_thread;
    std::atomic<bool> m_terminated{false};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_stopped{false};
    std::atomic<bool> m_txWatch{false};
    bool m_lineTimerArmed = false;
    std::string m_lostReason;               // set when the device went away
    Lift::Serial::RxdAssembler m_assembler; // holds FilteredCount across reads
    Lift::Serial::ParityMarkDecoder m_parityMarks;

    mutable std::mutex m_fatalMutex;
    std::string m_fatalError;
};

} // namespace YVclCtrl
