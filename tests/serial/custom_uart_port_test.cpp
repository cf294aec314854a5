// The component against real pseudo-terminals: the test plays the far end on the master side
// and serves the main loop on its own thread.
#include "serial/custom_uart.h"
#include "serial/port_lock.h"
#include "serial/port_table.h"
#include "serial/pty_endpoint.h"
#include "util/headless_main_loop.h"

#include "support/error_box_recorder.h"
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
using namespace YVclCtrl;
using Lift::Test::MasterReader;
using Lift::Test::PseudoTerminal;
using Lift::Util::HeadlessMainLoop;

namespace {

constexpr auto kLong = 20s; // reaching this means the component is stuck
constexpr unsigned kPort = 7;

class UartPort : public ::testing::Test {
protected:
    UartPort() {
        Lift::Serial::SetComPortDevicePath(kPort, pty.slavePath());
        uart.SetName("PcUart1");
        uart.setMainLoop(&loop);
        uart.pw_UartPortNumber(kPort);
        uart.pw_UartBaud(115200);
    }
    ~UartPort() override {
        uart.Close();
        Lift::Serial::SetComPortDevicePath(kPort, "");
    }

    bool waitFor(const std::function<bool()>& done) { return loop.waitUntil(done, kLong); }

    // Records OnRxdDatas calls.
    void recordUnits() {
        uart.OnRxdDatas = [this](TComponent* sender, std::int32_t bytes, const char* datas) {
            EXPECT_EQ(sender, &uart);
            EXPECT_TRUE(loop.isLoopThread());
            units.emplace_back(datas, static_cast<std::size_t>(bytes));
        };
    }

    Lift::Test::ErrorBoxRecorder boxes;
    HeadlessMainLoop loop;
    PseudoTerminal pty;
    TCustomUart uart;
    std::vector<std::string> units;
};

} // namespace

// ---- the port table --------------------------------------------------------------------------

TEST(PortTable, DefaultOverrideAndEnvironment) {
    EXPECT_EQ(Lift::Serial::ComPortDevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(Lift::Serial::ComPortDevicePath(16), "/dev/ttyS15");
    ::setenv("LIFT_LCD_COM3", "/dev/ttyUSB0", 1);
    EXPECT_EQ(Lift::Serial::ComPortDevicePath(3), "/dev/ttyUSB0");
    Lift::Serial::SetComPortDevicePath(3, "/dev/pts/9");
    EXPECT_EQ(Lift::Serial::ComPortDevicePath(3), "/dev/pts/9") << "the program's own setting wins";
    Lift::Serial::SetComPortDevicePath(3, "");
    EXPECT_EQ(Lift::Serial::ComPortDevicePath(3), "/dev/ttyUSB0");
    ::unsetenv("LIFT_LCD_COM3");
    EXPECT_EQ(Lift::Serial::ComPortDevicePath(3), "/dev/ttyS2");
    EXPECT_EQ(Lift::Serial::ComPortName(12), "COM12");
}

// A simulator's link may replace its own stale link, never a file of the user's; a hang-up
// and the end close what the endpoint opened.
TEST(PtyEndpoint, LinkReplacesAnOldLinkButNoFileAndNothingStaysOpen) {
    Lift::Test::TempDir dir;
    const auto fds = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    const auto before = fds();
    {
        Lift::Serial::PtyEndpoint end;
        ASSERT_TRUE(end.open()) << end.error();
        const std::string link = dir.file("port");
        Lift::Test::WriteBytes(link, "mine");
        EXPECT_FALSE(end.makeLink(link));
        EXPECT_EQ(Lift::Test::ReadBytes(link), "mine");
        std::filesystem::remove(link);
        std::filesystem::create_symlink("/nonexistent", link);
        ASSERT_TRUE(end.makeLink(link)) << end.error();
        EXPECT_EQ(std::filesystem::read_symlink(link), end.path());
        const auto open = fds();
        end.hangUp();
        EXPECT_EQ(fds(), open - 1);
    }
    EXPECT_EQ(fds(), before);
}

// ---- open and close --------------------------------------------------------------------------

TEST_F(UartPort, DeviceHeldByAnotherIsRefused) {
    const std::string busy = "The comm device can not access (may be opened by another)";
    ASSERT_TRUE(uart.Open());
    TCustomUart other;
    other.setMainLoop(&loop);
    other.pw_UartPortNumber(kPort);
    EXPECT_FALSE(other.Open());
    EXPECT_EQ(other.LastErrMsg(), busy);
    EXPECT_FALSE(other.Opened());
    uart.Close();
    EXPECT_TRUE(other.Open()) << "free again once the first closed it: " << other.LastErrMsg();
    other.Close();

    // Another program in exclusive mode (the superuser's open would get through it).
    const int held = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::ioctl(held, TIOCEXCL), 0);
    EXPECT_FALSE(uart.Open());
    EXPECT_EQ(uart.LastErrMsg(), busy);
    ::ioctl(held, TIOCNXCL); // a pseudo-terminal keeps the mode while its master is open
    ::close(held);

    // A lock file (named after the device a link leads to) of a running process; then stale
    // ones: of no process, of this process, of nothing readable.
    Lift::Test::TempDir dir;
    Lift::Serial::SetPortLockDirectory(dir.path().string());
    const std::string link = dir.file("port-link");
    std::filesystem::create_symlink(pty.slavePath(), link);
    Lift::Serial::SetComPortDevicePath(kPort, link);
    const auto lock = [](pid_t pid) { return YVclUtil::Format("%10d\n", static_cast<int>(pid)); };
    for (const std::string& text :
         {lock(::getppid()), lock(2147483646), lock(::getpid()), std::string("lock\n")}) {
        Lift::Test::WriteBytes(
            dir.file("LCK.." + std::filesystem::path(pty.slavePath()).filename().string()), text);
        EXPECT_EQ(uart.Open(), text != lock(::getppid())) << text;
        uart.Close();
    }
    Lift::Serial::SetPortLockDirectory("");
}

TEST_F(UartPort, DevicesThatCannotServeAreRefusedAndTheSendSaysClosed) {
    const struct {
        const char* device;
        const char* message;
    } cases[] = {{"/dev/no-such-serial-device", "The comm device not exist"},
                 {"/dev/null", "Can not set comm config"}};
    for (const auto& c : cases) {
        Lift::Serial::SetComPortDevicePath(kPort, c.device);
        EXPECT_FALSE(uart.Open()) << c.device;
        EXPECT_EQ(uart.LastErrMsg(), c.message);
        EXPECT_FALSE(uart.Opened());
        EXPECT_EQ(uart.SendData(1, "x"), 2u);
    }
}

TEST_F(UartPort, WithoutAMainLoopTheMonitorCannotStart) {
    uart.setMainLoop(nullptr);
    Lift::Util::MainLoop::setCurrent(nullptr);
    EXPECT_FALSE(uart.Open());
    EXPECT_EQ(uart.LastErrMsg(), "Can not create TCommEventMonitorThread");
    EXPECT_FALSE(uart.Opened());
    Lift::Util::MainLoop::setCurrent(&loop);
}

// Linux has one handshake flag for both directions: only CTS output flow control may set it,
// so a peer holding CTS low cannot stall writes nobody asked to be held.
TEST_F(UartPort, OnlyCtsOutputFlowControlSetsTheHandshakeFlag) {
    uart.pw_FlowCtrlStyle(fcs_Hardware);
    const struct {
        TFlowCtrlHwRxd rxd;
        TFlowCtrlHwTxd txd;
        bool handshake;
    } cases[] = {{fchr_RTS, fcht_None, false},
                 {fchr_RTS, fcht_DSR, false},
                 {fchr_None, fcht_CTS, true},
                 {fchr_DTR, fcht_DSR_CTS, true}};
    for (const auto& c : cases) {
        uart.pw_FlowCtrlHwRxd(c.rxd);
        uart.pw_FlowCtrlHwTxd(c.txd);
        ASSERT_TRUE(uart.Open()) << uart.LastErrMsg();
        termios tio{};
        ASSERT_EQ(::tcgetattr(pty.masterFd(), &tio), 0); // the device side's settings
        EXPECT_EQ((tio.c_cflag & CRTSCTS) != 0, c.handshake) << c.rxd << " " << c.txd;
        uart.Close();
    }
}

// Nobody reads the far end: the queue fills and the write gives up after its time-out.
TEST_F(UartPort, WriteThatCannotLeaveTimesOut) {
    ASSERT_TRUE(uart.Open());
    const std::string block(1 << 20, 'w');
    EXPECT_EQ(uart.SendData(static_cast<std::uint32_t>(block.size()), block.data()), 4u);
    EXPECT_EQ(uart.LastErrMsg(), "Timeout when send to comm");
    EXPECT_TRUE(uart.Close());
    EXPECT_EQ(uart.LastErrMsg(), "");
}

// ---- receiving --------------------------------------------------------------------------------

// An overflow or a lost device ends the monitor thread, never the process: the component says
// why on the loop thread (the port itself stays open), and the reason goes to the debug
// channel. After an overflow the port works again once reopened.
TEST_F(UartPort, MonitorThatStopsForGoodSaysWhy) {
    std::mutex debugMutex;
    std::vector<std::string> debugLines;
    auto previous = YVclUtil::SetDebugSink([&](const std::string& line) {
        std::lock_guard<std::mutex> lock(debugMutex);
        debugLines.push_back(line);
    });
    recordUnits();
    std::vector<std::string> stops;
    uart.OnMonitorStopped = [&](TComponent* sender) {
        EXPECT_EQ(sender, &uart);
        EXPECT_TRUE(loop.isLoopThread());
        EXPECT_FALSE(uart.monitorRunning());
        stops.push_back(uart.monitorFatalError());
    };
    uart.pw_RxdFilter_Style(rfs_ByDelimiterChar);
    auto stopsWith = [&](const std::string& reason) {
        ASSERT_TRUE(waitFor([&] { return !stops.empty(); }));
        EXPECT_EQ(stops, std::vector<std::string>{reason});
        EXPECT_FALSE(uart.monitorRunning());
        EXPECT_TRUE(uart.Opened()) << "the port itself stays open";
        {
            std::lock_guard<std::mutex> lock(debugMutex);
            ASSERT_FALSE(debugLines.empty());
            EXPECT_NE(debugLines.back().find(reason), std::string::npos) << debugLines.back();
        }
        uart.Close();
        EXPECT_EQ(uart.monitorFatalError(), reason) << "still readable after Close";
        EXPECT_EQ(stops.size(), 1u);
        EXPECT_EQ(boxes.count(), 0u) << "the component shows nothing";
        stops.clear();
    };

    ASSERT_TRUE(uart.Open());
    pty.write("short\n" + std::string(1024, 'x') + "lost\n");
    stopsWith("TCustomUart FilteredRxdBuff overflow, when delimiting the received datas !!!");
    EXPECT_EQ(units, (std::vector<std::string>{"short\n"}));
    ASSERT_TRUE(uart.Open());
    EXPECT_EQ(uart.monitorFatalError(), "");
    pty.write("again\n");
    ASSERT_TRUE(waitFor([&] { return units.size() == 2; }));
    EXPECT_EQ(units.back(), "again\n");

    pty.hangUp();
    stopsWith("The comm device was lost (hang-up)");
    YVclUtil::SetDebugSink(previous);
}

// ---- close while the thread is busy -----------------------------------------------------------

namespace {
// A loop that lets the test see a hand-over arrive before it is served.
class WatchedLoop final : public Lift::Util::MainLoop {
public:
    void post(std::function<void()> fn) override { inner.post(std::move(fn)); }
    void invokeSync(const std::function<void()>& fn) override {
        if (!inner.isLoopThread()) {
            std::lock_guard<std::mutex> lock(mutex);
            waiting++;
            cv.notify_all();
        }
        inner.invokeSync(fn);
    }
    std::unique_ptr<Lift::Util::LoopTimer> createTimer(Lift::Util::TimerKind kind,
                                                       std::function<void()> fn) override {
        return inner.createTimer(kind, std::move(fn));
    }
    int run() override { return inner.run(); }
    void quit(int code) override { inner.quit(code); }
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds t) override {
        return inner.waitUntil(done, t);
    }
    void wake() override { inner.wake(); }
    bool isLoopThread() const override { return inner.isLoopThread(); }

    bool waitForHandOver(int n) {
        std::unique_lock<std::mutex> lock(mutex);
        return cv.wait_for(lock, kLong, [&] { return waiting >= n; });
    }

    HeadlessMainLoop inner;
    std::mutex mutex;
    std::condition_variable cv;
    int waiting = 0;
};
} // namespace

TEST_F(UartPort, CloseCompletesTheDeliveryInFlightFirstButNotAStop) {
    WatchedLoop watched;
    uart.setMainLoop(&watched);
    recordUnits();
    uart.pw_RxdFilter_Style(rfs_ByDelimiterChar);
    ASSERT_TRUE(uart.Open());
    pty.write("last words\n");
    ASSERT_TRUE(watched.waitForHandOver(1)); // the monitor thread waits for this thread now
    EXPECT_TRUE(units.empty());
    EXPECT_TRUE(uart.Close());
    EXPECT_EQ(units, (std::vector<std::string>{"last words\n"}));
    EXPECT_FALSE(uart.monitorRunning());

    // A stop being handed over when Close comes is nobody's news any more.
    int stops = 0;
    uart.OnMonitorStopped = [&](TComponent*) { ++stops; };
    ASSERT_TRUE(uart.Open());
    pty.hangUp();
    ASSERT_TRUE(watched.waitForHandOver(2));
    EXPECT_TRUE(uart.Close());
    EXPECT_EQ(stops, 0);
}

// ---- text files -------------------------------------------------------------------------------

class UartTxtFile : public UartPort {
protected:
    Lift::Test::TempDir dir;
    std::string threeLines() {
        const std::string path = dir.file("lines.txt");
        // The long middle line leaves in pieces of the queue size.
        Lift::Test::WriteBytes(path, "first line\r\n" + std::string(2500, 'q') +
                                         "\r\nthird, no line end");
        return path;
    }
};

TEST_F(UartTxtFile, IntervalZeroSendsEveryLineWholeThenOneTxdEmpty) {
    MasterReader far(pty, [this] { loop.wake(); });
    int empties = 0;
    uart.OnTxdEmpty = [&](TComponent*) {
        empties++;
        EXPECT_FALSE(uart.SendingTxtFile()) << "fired before the last line had left";
    };
    ASSERT_TRUE(uart.Open());
    EXPECT_EQ(uart.SendTxtFile(dir.file("missing.txt"), 0), 5u);
    EXPECT_EQ(uart.LastErrMsg(), "Can not open file");
    EXPECT_EQ(uart.SendTxtFile(threeLines(), 0), 0u);
    const std::string expected =
        "first line\r\n" + std::string(2500, 'q') + "\r\nthird, no line end";
    ASSERT_TRUE(waitFor([&] { return empties >= 1; }));
    ASSERT_TRUE(waitFor([&] { return far.all().size() >= expected.size(); }));
    EXPECT_EQ(far.all(), expected);
    EXPECT_EQ(empties, 1);
    // A plain write afterwards brings exactly one more: none was left over from the file.
    EXPECT_EQ(uart.SendData(1, "!"), 0u);
    ASSERT_TRUE(waitFor([&] { return empties >= 2; }));
    EXPECT_EQ(empties, 2);
}

TEST_F(UartTxtFile, CloseEndsTheTransferCleanly) {
    MasterReader far(pty, [this] { loop.wake(); });
    ASSERT_TRUE(uart.Open());
    EXPECT_EQ(uart.SendTxtFile(threeLines(), 60000), 0u);
    ASSERT_TRUE(waitFor([&] { return far.all().size() >= 12; }));
    EXPECT_TRUE(uart.SendingTxtFile());
    EXPECT_EQ(uart.SendData(1, "x"), 3u) << "no other write while a file is being sent";
    EXPECT_EQ(uart.SendData_printf("y"), 3u);
    EXPECT_EQ(uart.SendTxtFile(threeLines(), 0), 3u);
    EXPECT_EQ(uart.LastErrMsg(), "");
    EXPECT_TRUE(uart.Close());
    EXPECT_FALSE(uart.SendingTxtFile());
    ASSERT_TRUE(uart.Open());
    EXPECT_EQ(uart.SendData(4, "next"), 0u) << "a fresh open is not stuck in the old transfer";
    ASSERT_TRUE(waitFor([&] { return far.all().size() >= 16; }));
    EXPECT_EQ(far.all().substr(0, 12), "first line\r\n") << "only the first line went out";
    EXPECT_EQ(far.all().substr(12, 4), "next");
    EXPECT_EQ(uart.SendTxtFile(threeLines(), 0), 0u);
}
