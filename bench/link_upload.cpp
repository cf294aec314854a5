// Upload turnaround over a pseudo-terminal against the simulated controller, beside two
// references measured in the same run:
//   - a bare poll() loop doing the same 976 exchanges against the same simulator, which is
//     what the pseudo-terminal and the simulator cost by themselves;
//   - lrzsz's sx -> rx XMODEM sending the same 62464 bytes over a socat pseudo-terminal pair.
// And the wire-time check: with the simulator paced at 115200 baud, a full upload should take
// no more than 1.05 x the line time of 976 frames and their answers (5.846 s).
//
// Run: build/bench/bench_link_upload   (about 20 s; the lrzsz reference needs socat, sx, rx)
#include "editor/editor_ui.h"
#include "link/link_station.h"
#include "link/pty_controller.h"
#include "serial/port_table.h"
#include "util/headless_main_loop.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;
using Lift::Link::ControllerSimulator;
using Lift::Link::PtyController;
using Lift::Link::SimulatorConfig;

constexpr int kBlocks = 976;
constexpr std::size_t kImageSize = 64512;

class NullUi final : public Lift::Editor::EditorUi {
public:
    std::optional<std::string> openAnswer;
    std::optional<std::string> chooseSaveFile(const Lift::Editor::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseOpenFile(const Lift::Editor::FileDialogRequest&) override {
        return openAnswer;
    }
    std::optional<std::string> choosePictureFile(const Lift::Editor::FileDialogRequest&) override {
        return std::nullopt;
    }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void messageBox(const std::string&, const std::string&) override {}
    void appendLog(const std::string&) override {}
    void clearLog() override {}
    void setStatusPanel(int, const std::string&) override {}
    void setBusy(bool) override {}
};

// The simulated controller on its own thread.
class Simulator {
public:
    explicit Simulator(const SimulatorConfig& c) : m_controller(c) {
        if (!m_controller.open())
            throw std::runtime_error(m_controller.error());
        m_thread = std::thread([this] { m_outcome = m_controller.run(2000ms, 120s); });
    }
    ~Simulator() {
        m_controller.stop();
        m_thread.join();
    }
    const std::string& path() const { return m_controller.path(); }
    bool finished() {
        m_thread.join();
        m_thread = std::thread([] {});
        return m_outcome == PtyController::Outcome::Finished;
    }

private:
    PtyController m_controller;
    PtyController::Outcome m_outcome = PtyController::Outcome::Failed;
    std::thread m_thread;
};

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

std::string WriteImage() {
    const std::string path = TempPath("lift-bench-upload.bin");
    std::string bytes(kImageSize, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 31 + 7);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
    return path;
}

// One upload through the link, the serial component and the main loop. Returns the time
// from block 1 leaving to the last block acknowledged, or nothing when it failed.
std::optional<std::chrono::duration<double>> UploadOnce(const SimulatorConfig& config,
                                                        const std::string& image) {
    Simulator sim(config);
    Lift::Serial::SetComPortDevicePath(1, sim.path());
    Lift::Util::HeadlessMainLoop loop;
    NullUi ui;
    ui.openAnswer = image;
    Lift::Link::LinkStation station(loop, ui);
    auto& link = station.link();
    std::optional<SteadyClock::time_point> first, last;
    link.setChangeHandler([&] {
        if (link.blockNo() >= 1 && !first)
            first = SteadyClock::now();
        if (link.outcome() != Lift::Link::LinkOutcome::None)
            last = SteadyClock::now();
    });
    link.SpeedButton5Click();
    link.SpeedButton9Click(1);
    loop.waitUntil([&] { return link.linkMode() == Lift::Link::LinkMode::Idle; }, 60s);
    link.SpeedButton5Click();
    Lift::Serial::SetComPortDevicePath(1, "");
    const bool simFinished = sim.finished();
    if (link.outcome() != Lift::Link::LinkOutcome::UploadFinished || !first || !last ||
        !simFinished) {
        std::fprintf(stderr, "upload: outcome %d, first %d, last %d, simulator finished %d\n",
                     static_cast<int>(link.outcome()), first.has_value(), last.has_value(),
                     simFinished);
        return std::nullopt;
    }
    return *last - *first;
}

void BM_LinkUploadOverPty(benchmark::State& state) {
    const std::string image = WriteImage();
    SimulatorConfig c;
    c.askInterval = 250ms; // long enough that no request crosses block 1
    double total = 0;
    for (auto _ : state) {
        const auto t = UploadOnce(c, image);
        if (!t) {
            state.SkipWithError("upload failed");
            return;
        }
        state.SetIterationTime(t->count());
        total += t->count();
    }
    state.counters["us_per_block"] =
        total * 1e6 / kBlocks / static_cast<double>(state.iterations());
}
BENCHMARK(BM_LinkUploadOverPty)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The same 976 exchanges written as a plain poll() loop on the device side.
void BM_BarePollLoopOverPty(benchmark::State& state) {
    std::vector<std::uint8_t> image(kImageSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 31 + 7);
    SimulatorConfig c;
    c.askInterval = 250ms; // long enough that no request crosses block 1
    c.baud = static_cast<unsigned>(state.range(0));
    double total = 0;
    for (auto _ : state) {
        Simulator sim(c);
        const int fd = ::open(sim.path().c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
        const auto waitByte = [&] {
            for (;;) {
                pollfd p{fd, POLLIN, 0};
                if (::poll(&p, 1, 5000) <= 0)
                    return -1;
                std::uint8_t b[64];
                const ssize_t n = ::read(fd, b, sizeof b);
                for (ssize_t i = 0; i < n; ++i)
                    if (b[i] == 'C' || b[i] == 0x06 || b[i] == 0x15)
                        return static_cast<int>(b[i]);
            }
        };
        if (waitByte() != 'C') {
            state.SkipWithError("no request");
            ::close(fd);
            return;
        }
        const auto begin = SteadyClock::now();
        for (int block = 1; block <= kBlocks;) {
            const auto frame = Lift::Link::MakeRomBlockFrame(image, block);
            if (::write(fd, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size()))
                break;
            const int answer = waitByte();
            if (answer == 0x06)
                ++block;
            else if (answer < 0)
                break;
        }
        const std::chrono::duration<double> elapsed = SteadyClock::now() - begin;
        ::close(fd);
        if (!sim.finished()) {
            state.SkipWithError("bare loop did not finish");
            return;
        }
        state.SetIterationTime(elapsed.count());
        total += elapsed.count();
    }
    state.counters["us_per_block"] =
        total * 1e6 / kBlocks / static_cast<double>(state.iterations());
    if (c.baud)
        state.counters["ratio_to_wire"] =
            total / static_cast<double>(state.iterations()) / (kBlocks * 69 * 10.0 / c.baud);
}

// Unpaced (0), and paced at 115200 baud: what the wire-time check costs without the link.
BENCHMARK(BM_BarePollLoopOverPty)
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_BarePollLoopOverPty)
    ->Arg(115200)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

pid_t Spawn(const std::vector<std::string>& argv, const std::string& io = {},
            const std::string& cwd = {}) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!cwd.empty())
        posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    if (!io.empty()) {
        posix_spawn_file_actions_addopen(&actions, 0, io.c_str(), O_RDONLY | O_NOCTTY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, io.c_str(), O_WRONLY | O_NOCTTY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void Reap(pid_t pid) {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
}

// lrzsz XMODEM (128-byte blocks, CRC-16) of the same 62464 bytes over a socat pair.
void BM_LrzszXmodemOverSocat(benchmark::State& state) {
    const std::string dir = TempPath("lift-bench-xmodem");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string a = dir + "/A", b = dir + "/B", in = dir + "/in.bin", out = dir + "/out.bin";
    std::string bytes(kBlocks * 64, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 31 + 7);
    std::ofstream(in, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
    for (auto _ : state) {
        std::filesystem::remove(out);
        const pid_t socat =
            Spawn({"socat", "pty,raw,echo=0,link=" + a, "pty,raw,echo=0,link=" + b});
        for (int i = 0; i < 500 && !(std::filesystem::exists(a) && std::filesystem::exists(b)); ++i)
            std::this_thread::sleep_for(5ms);
        if (socat < 0 || !std::filesystem::exists(b)) {
            Reap(socat);
            state.SkipWithError("socat not available");
            return;
        }
        const auto begin = SteadyClock::now();
        // rx refuses paths outside its working directory.
        const pid_t rx = Spawn({"rx", "-X", "-q", "out.bin"}, b, dir);
        const pid_t sx = Spawn({"sx", "-X", "-q", "in.bin"}, a, dir);
        int status = 0;
        // The receiver ends when the whole file is in; sx may linger on its final handshake.
        const bool ok = rx > 0 && ::waitpid(rx, &status, 0) == rx && WIFEXITED(status) &&
                        WEXITSTATUS(status) == 0;
        const std::chrono::duration<double> elapsed = SteadyClock::now() - begin;
        Reap(sx);
        Reap(socat);
        if (!ok || std::filesystem::file_size(out) < bytes.size()) {
            state.SkipWithError("lrzsz transfer failed");
            return;
        }
        state.SetIterationTime(elapsed.count());
        state.counters["ms_per_block"] = elapsed.count() * 1e3 / (bytes.size() / 128.0);
        state.counters["us_per_64_bytes"] = elapsed.count() * 1e6 / kBlocks;
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LrzszXmodemOverSocat)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

// A paced simulator at 115200 baud: the link must keep the line busy.
void BM_PacedUpload115200(benchmark::State& state) {
    const std::string image = WriteImage();
    SimulatorConfig c;
    c.askInterval = 250ms; // long enough that no request crosses block 1
    c.baud = 115200;
    const double wire = kBlocks * 69 * 10 / 115200.0;
    for (auto _ : state) {
        const auto t = UploadOnce(c, image);
        if (!t) {
            state.SkipWithError("upload failed");
            return;
        }
        state.SetIterationTime(t->count());
        state.counters["wire_s"] = wire;
        state.counters["ratio_to_wire"] = t->count() / wire;
    }
}
BENCHMARK(BM_PacedUpload115200)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
BENCHMARK_MAIN();
