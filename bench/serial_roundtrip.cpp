// Round trip through the serial component on a pseudo-terminal: the far end (this thread, on the
// master side) sends a 1-byte answer, the component's monitor thread reads it, hands it over to
// the main loop, the handler answers with a 68-byte frame through SendData, and the far end reads
// that frame. The same exchange served by a bare poll() loop on the device side is the baseline.
//
//   build/bench/bench_serial_roundtrip --benchmark_min_time=2
#include "serial/custom_uart.h"
#include "serial/port_table.h"
#include "util/headless_main_loop.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kFrame = 68;
constexpr unsigned kPort = 9;

struct Pty {
    Pty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            throw std::runtime_error("no pseudo-terminal");
        char name[128];
        ::ptsname_r(master, name, sizeof name);
        slave = name;
    }
    ~Pty() { ::close(master); }
    int master;
    std::string slave;
};

void writeAll(int fd, const char* data, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (w <= 0)
            throw std::runtime_error("write failed");
        data += w;
        n -= static_cast<std::size_t>(w);
    }
}

void readExactly(int fd, std::size_t n) {
    char buffer[256];
    while (n > 0) {
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, -1);
        const ssize_t r = ::read(fd, buffer, std::min(n, sizeof buffer));
        if (r < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (r <= 0)
            throw std::runtime_error("read failed");
        n -= static_cast<std::size_t>(r);
    }
}

// The far end's side of one round trip.
void roundTrip(int master) {
    writeAll(master, "C", 1);
    readExactly(master, kFrame);
}

// Runs the round trips and reports, besides the mean, the median and the 10th percentile of
// single round trips: on a shared machine the mean mostly measures the other processes.
void measure(benchmark::State& state, int master) {
    std::vector<double> micros;
    micros.reserve(1 << 16);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        roundTrip(master);
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    if (micros.empty())
        return;
    std::sort(micros.begin(), micros.end());
    state.counters["p10_us"] = micros[micros.size() / 10];
    state.counters["p50_us"] = micros[micros.size() / 2];
}

void BM_ComponentRoundTrip(benchmark::State& state) {
    Pty pty;
    Lift::Serial::SetComPortDevicePath(kPort, pty.slave);
    std::atomic<Lift::Util::HeadlessMainLoop*> loopPtr{nullptr};
    std::atomic<int> opened{0};
    std::thread window([&] {
        Lift::Util::HeadlessMainLoop loop;
        YVclCtrl::TCustomUart uart;
        uart.setMainLoop(&loop);
        uart.pw_UartPortNumber(kPort);
        uart.pw_UartBaud(115200);
        const std::string frame(kFrame, '\xA5');
        uart.OnRxdDatas = [&](YVclCtrl::TComponent*, std::int32_t, const char*) {
            uart.SendData(kFrame, frame.data());
        };
        const bool ok = uart.Open();
        loopPtr = &loop;
        opened = ok ? 1 : -1;
        if (ok)
            loop.run();
        uart.Close();
    });
    while (opened.load() == 0)
        std::this_thread::yield();
    if (opened.load() < 0) {
        window.join();
        state.SkipWithError("cannot open the pseudo-terminal through the component");
        return;
    }
    measure(state, pty.master);
    loopPtr.load()->quit(0);
    window.join();
    Lift::Serial::SetComPortDevicePath(kPort, "");
}
BENCHMARK(BM_ComponentRoundTrip)->UseRealTime();

void BM_BarePollRoundTrip(benchmark::State& state) {
    Pty pty;
    const int fd = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::cfsetspeed(&tio, B115200);
    ::tcsetattr(fd, TCSANOW, &tio);
    int stop[2];
    if (::pipe(stop) != 0) {
        state.SkipWithError("pipe");
        return;
    }
    std::thread server([&] {
        const std::string frame(kFrame, '\xA5');
        char buffer[1024];
        for (;;) {
            pollfd fds[2] = {{fd, POLLIN, 0}, {stop[0], POLLIN, 0}};
            ::poll(fds, 2, -1);
            if (fds[1].revents)
                return;
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0)
                writeAll(fd, frame.data(), frame.size());
        }
    });
    measure(state, pty.master);
    (void)!::write(stop[1], "x", 1);
    server.join();
    ::close(stop[0]);
    ::close(stop[1]);
    ::close(fd);
}
BENCHMARK(BM_BarePollRoundTrip)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
