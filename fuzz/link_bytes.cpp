// Arbitrary bytes from the port, fed to the link's receive path (during an upload or a
// date-time synchronisation, with time-out ticks in between) and to the simulated
// controller's frame parser. Checks the link's bounds and that every frame it sends is whole
// and carries a correct CRC.
//
// Input: byte 0 picks the operation; then records of one length byte L followed by L bytes
// (a received chunk), where L = 0xFF stands for a Timer1 tick instead.
#include "editor/editor_ui.h"
#include "link/controller_link.h"
#include "link/controller_simulator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace Lift::Link;

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "check failed: %s\n", #cond);                                     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

class Port final : public LinkPort {
public:
    int frames = 0;
    bool opened() const override { return true; }
    bool open() override { return true; }
    std::string lastError() const override { return {}; }
    void close() override {}
    unsigned portNumber() const override { return 1; }
    void setPortNumber(unsigned) override {}
    void sendData(std::span<const std::uint8_t> bytes) override {
        CHECK(bytes.size() == kFrameSize);
        LinkFrame f{};
        std::copy(bytes.begin(), bytes.end(), f.begin());
        CHECK(FrameCrcValid(f));
        ++frames;
    }
};

class Timer final : public LinkTimer {
public:
    bool active = false;
    void start() override { active = true; }
    void stop() override { active = false; }
};

class Clock final : public LinkClock {
public:
    LocalDateTime localNow() const override { return {2026, 12, 6, 7, 23, 59, 59}; }
    std::chrono::steady_clock::time_point monotonicNow() const override { return {}; }
};

class Ui final : public Lift::Editor::EditorUi {
public:
    std::string image;
    std::optional<std::string> chooseSaveFile(const Lift::Editor::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseOpenFile(const Lift::Editor::FileDialogRequest&) override {
        return image;
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

const std::string& ImagePath() {
    static const std::string path = [] {
        const std::string p =
            (std::filesystem::temp_directory_path() / "lift-fuzz-link-image.bin").string();
        std::string bytes(3000, '\0'); // short: later blocks go out as zeros
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i * 7);
        std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
        return p;
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    Port port;
    Timer timer;
    Clock clock;
    Ui ui;
    ui.image = ImagePath();
    ControllerLink link(port, timer, clock, ui);
    link.controls().msgOn = (data[0] & 2) != 0;
    link.SpeedButton5Click();
    if (data[0] & 1)
        link.SpeedButton9Click(1);
    else
        link.SpeedButton2Click();

    SimulatorConfig config;
    config.faults.seed = data[0];
    config.blocks = 64;
    config.faults.garbageRate = (data[0] & 4) ? 0.5 : 0;
    ControllerSimulator sim(config);
    auto now = std::chrono::steady_clock::time_point{} + std::chrono::seconds(1);
    sim.start(now);

    std::size_t i = 1;
    while (i < size) {
        const std::uint8_t len = data[i++];
        now += std::chrono::milliseconds(len);
        if (len == 0xFF) {
            if (timer.active)
                link.Timer1Timer();
        } else {
            const std::size_t n = std::min<std::size_t>(len, size - i);
            const std::span<const std::uint8_t> chunk(data + i, n);
            link.PcUart1RxdDatas(chunk);
            sim.receive(chunk, now);
            i += n;
        }
        (void)sim.takeDue(now);
        CHECK(link.nakCount() >= 0 && link.nakCount() < 10);
        CHECK(link.timeoutCount() <= 10);
        CHECK(link.blockNo() >= 0 && link.blockNo() <= link.blockCount());
        CHECK(link.controls().progressPosition >= 0 && link.controls().progressPosition <= 975);
        if (link.linkMode() == LinkMode::Idle)
            CHECK(link.controls().uploadEnabled && link.controls().syncEnabled);
    }
    CHECK(sim.stats().frames * kFrameSize <= size);
    return 0;
}
