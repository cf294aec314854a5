#include "link/controller_simulator.h"

#include "link/controller_link.h"
#include "link_fakes.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace Lift::Link {
namespace {

using namespace std::chrono_literals;
using TimePoint = ControllerSimulator::TimePoint;

const TimePoint kT0{std::chrono::seconds(100)};

std::vector<std::uint8_t> Bytes(const LinkFrame& f) {
    return {f.begin(), f.end()};
}

SimulatorConfig Quiet() {
    SimulatorConfig c;
    c.askInterval = 1000ms;
    return c;
}

// --- The simulator alone -----------------------------------------------------------------

TEST(ControllerSimulator, AsksUntilTheFirstByteArrives) {
    ControllerSimulator sim(Quiet());
    sim.start(kT0);
    EXPECT_EQ(sim.takeDue(kT0), std::vector<std::uint8_t>{'C'});
    EXPECT_TRUE(sim.takeDue(kT0 + 999ms).empty());
    EXPECT_EQ(sim.nextDue(), kT0 + 1000ms);
    EXPECT_EQ(sim.takeDue(kT0 + 1000ms), std::vector<std::uint8_t>{'C'});
    const std::vector<std::uint8_t> image(64, 0xAB);
    sim.receive(Bytes(MakeRomBlockFrame(image, 1)), kT0 + 1500ms);
    EXPECT_EQ(sim.takeDue(kT0 + 1500ms), std::vector<std::uint8_t>{kAckByte});
    EXPECT_FALSE(sim.nextDue());
    EXPECT_TRUE(sim.takeDue(kT0 + 10s).empty());
}

TEST(ControllerSimulator, ChecksCrcOrderAndKind) {
    ControllerSimulator sim(Quiet());
    const std::vector<std::uint8_t> image(64 * 4, 0x11);
    const auto ask = [&](LinkFrame f) {
        sim.receive(Bytes(f), kT0);
        return sim.takeDue(kT0);
    };
    LinkFrame bad = MakeRomBlockFrame(image, 1);
    bad[20] ^= 0x40;
    EXPECT_EQ(ask(bad), std::vector<std::uint8_t>{kNakByte});
    EXPECT_EQ(ask(MakeRomBlockFrame(image, 2)), std::vector<std::uint8_t>{kNakByte});
    EXPECT_EQ(ask(MakeRomBlockFrame(image, 1)), std::vector<std::uint8_t>{kAckByte});
    LinkFrame unknown = MakeRomBlockFrame(image, 2);
    unknown[0] = 0x07;
    unknown[67] = FrameCrc(unknown);
    EXPECT_EQ(ask(unknown), std::vector<std::uint8_t>{kNakByte});
    EXPECT_EQ(ask(MakeRomBlockFrame(image, 2)), std::vector<std::uint8_t>{kAckByte});
    EXPECT_EQ(sim.stats().crcErrors, 1);
    EXPECT_EQ(sim.stats().orderErrors, 2);
    EXPECT_EQ(sim.stats().blocksAccepted, 2);
    EXPECT_FALSE(sim.finished());
}

TEST(ControllerSimulator, FramesSplitAcrossChunksAndFragmentsAfterAGap) {
    ControllerSimulator sim(Quiet());
    const std::vector<std::uint8_t> image(64, 0x22);
    const auto frame = Bytes(MakeRomBlockFrame(image, 1));
    sim.receive(std::span(frame).first(30), kT0);
    sim.receive(std::span(frame).subspan(30), kT0 + 10ms);
    EXPECT_EQ(sim.takeDue(kT0 + 10ms), std::vector<std::uint8_t>{kAckByte});

    // Half a frame, then nothing: dropped and answered NAK after the gap.
    sim.receive(std::span(frame).first(10), kT0 + 20ms);
    EXPECT_EQ(sim.nextDue(), kT0 + 520ms);
    EXPECT_TRUE(sim.takeDue(kT0 + 519ms).empty());
    EXPECT_EQ(sim.takeDue(kT0 + 520ms), std::vector<std::uint8_t>{kNakByte});
    EXPECT_EQ(sim.stats().fragments, 1);
}

// --- The link against the simulator, on virtual time --------------------------------------

// Wires the real link to the simulator: frames go straight to the simulator, answers come
// back as received chunks, and Timer1 ticks on virtual time.
class VirtualLine : public LinkPort, public LinkTimer, public LinkClock {
public:
    explicit VirtualLine(const SimulatorConfig& c, std::chrono::milliseconds period = 10000ms)
        : sim(c), m_period(period) {}

    ControllerSimulator sim;
    Test::ScriptedUi ui;
    ControllerLink link{*this, *this, *this, ui};
    TimePoint now = kT0;

    bool opened() const override { return true; }
    bool open() override { return true; }
    std::string lastError() const override { return {}; }
    void close() override {}
    unsigned portNumber() const override { return 1; }
    void setPortNumber(unsigned) override {}
    void sendData(std::span<const std::uint8_t> bytes) override { sim.receive(bytes, now); }
    void start() override { m_deadline = now + m_period; }
    void stop() override { m_deadline.reset(); }
    LocalDateTime localNow() const override { return {2026, 12, 6, 7, 23, 30, 0}; }
    std::chrono::steady_clock::time_point monotonicNow() const override { return now; }

    // Runs until the link is idle again (or a virtual hour passed).
    void run() {
        const TimePoint limit = now + std::chrono::hours(1);
        while (link.linkMode() != LinkMode::Idle && now < limit) {
            std::optional<TimePoint> next = sim.nextDue();
            if (m_deadline && (!next || *m_deadline < *next))
                next = m_deadline;
            if (!next)
                break;
            now = std::max(now, *next);
            if (m_deadline && *m_deadline <= now) {
                m_deadline = now + m_period; // periodic
                link.Timer1Timer();
            }
            const auto bytes = sim.takeDue(now);
            if (!bytes.empty())
                link.PcUart1RxdDatas(bytes);
        }
    }

private:
    std::chrono::milliseconds m_period;
    std::optional<TimePoint> m_deadline;
};

class LinkAgainstSimulator : public ::testing::Test {
protected:
    Lift::Test::TempDir dir;
    std::string romPath;
    std::vector<std::uint8_t> rom;

    void SetUp() override {
        rom.resize(64512);
        for (std::size_t i = 0; i < rom.size(); ++i)
            rom[i] = static_cast<std::uint8_t>(i ^ (i >> 8) ^ 0x5A);
        romPath = dir.file("rom.bin");
        Lift::Test::WriteBytes(romPath, std::string(rom.begin(), rom.end()));
    }
    std::vector<std::uint8_t> expectedImage(int blocks) const {
        std::vector<std::uint8_t> v(rom.begin(), rom.begin() + blocks * 64);
        ToggleHeaderMask(v);
        return v;
    }
    void upload(VirtualLine& line) {
        line.link.SpeedButton5Click();
        line.ui.openAnswers.push_back(romPath);
        line.link.SpeedButton9Click(1);
        line.sim.start(line.now);
        line.run();
    }
};

TEST_F(LinkAgainstSimulator, CleanPacedUploadArrivesWholeInTheWireTime) {
    SimulatorConfig c = Quiet();
    c.baud = 115200;
    VirtualLine line(c);
    upload(line);
    ASSERT_EQ(line.link.outcome(), LinkOutcome::UploadFinished);
    EXPECT_EQ(line.sim.result(), ControllerSimulator::Result::Image);
    EXPECT_EQ(line.sim.image(), expectedImage(976));
    EXPECT_EQ(line.sim.stats().naks, 0);
    // 976 frames of 68 bytes and their one-byte answers at ten bits a byte: 5.846 s.
    const double seconds = std::chrono::duration<double>(line.now - kT0).count();
    EXPECT_NEAR(seconds, 976 * 69 * 10 / 115200.0, 0.001);
}

TEST_F(LinkAgainstSimulator, GarbageRandomNaksAndARestartStillDeliverTheImage) {
    SimulatorConfig c = Quiet();
    c.faults.seed = 4242;
    c.faults.garbageRate = 0.3;
    c.faults.nakRate = 0.05;
    c.faults.restartAtFrame = 500;
    VirtualLine line(c);
    upload(line);
    EXPECT_EQ(line.link.outcome(), LinkOutcome::UploadFinished);
    EXPECT_EQ(line.sim.image(), expectedImage(976));
    EXPECT_EQ(line.sim.stats().restarts, 1);
    EXPECT_GT(line.sim.stats().garbageBytes, 0);
    EXPECT_GT(line.sim.stats().naks, 0);
    // Blocks 1..500 went out before the restart, then all 976 again.
    EXPECT_EQ(line.link.statistics().framesSent, 500 + 976);
}

TEST_F(LinkAgainstSimulator, SilentAnswersCostTimeOutTicksButNotTheUpload) {
    SimulatorConfig c = Quiet();
    c.faults.seed = 5;
    c.faults.silentRate = 0.01;
    c.faults.silentMs = 25;
    VirtualLine line(c, 10ms);
    upload(line);
    EXPECT_EQ(line.link.outcome(), LinkOutcome::UploadFinished);
    EXPECT_GT(line.sim.stats().silentAnswers, 0);
    EXPECT_GE(line.link.statistics().timeoutTicks, 2 * line.sim.stats().silentAnswers);
}

} // namespace
} // namespace Lift::Link
