#include "link/controller_link.h"

#include "link_fakes.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace Lift::Link {
namespace {

using Test::FakeLinkClock;
using Test::FakeLinkPort;
using Test::FakeLinkTimer;
using Test::ScriptedUi;
using Test::TempDir;

std::string Image(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 31 + 17 + i / 97) & 0xFF);
    return s;
}

class LinkTest : public ::testing::Test {
protected:
    FakeLinkPort port;
    FakeLinkTimer timer;
    FakeLinkClock clock;
    ScriptedUi ui;
    ControllerLink link{port, timer, clock, ui};
    TempDir dir;

    void connect() { link.SpeedButton5Click(); }
    void rx(std::initializer_list<std::uint8_t> bytes) {
        std::vector<std::uint8_t> v(bytes);
        link.PcUart1RxdDatas(v);
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            link.Timer1Timer();
    }
    // Starts an upload of the given file contents; returns the path.
    std::string startUpload(const std::string& bytes, const std::string& name = "rom.bin") {
        const std::string path = dir.file(name);
        Lift::Test::WriteBytes(path, bytes);
        ui.openAnswers.push_back(path);
        link.SpeedButton9Click(1);
        return path;
    }
    // Image bytes as the controller must receive them: header unmasked.
    static std::string Unmasked(std::string image) {
        std::vector<std::uint8_t> v(image.begin(), image.end());
        ToggleHeaderMask(v);
        return std::string(v.begin(), v.end());
    }
    // A refused start leaves the link idle with no timer started and Upload still usable.
    void expectNothingStarted() {
        EXPECT_EQ(link.linkMode(), LinkMode::Idle);
        EXPECT_TRUE(link.controls().uploadEnabled);
        EXPECT_EQ(timer.starts, 0);
    }
    // After any ending the link is idle, its timer stopped and both buttons usable again.
    void expectEnded(LinkOutcome outcome) {
        EXPECT_EQ(link.outcome(), outcome);
        EXPECT_EQ(link.linkMode(), LinkMode::Idle);
        EXPECT_FALSE(timer.active);
        EXPECT_TRUE(link.controls().uploadEnabled);
        EXPECT_TRUE(link.controls().syncEnabled);
    }
    void expectDisconnected() {
        EXPECT_EQ(link.controls().connectCaption, "Connect");
        EXPECT_FALSE(link.connected());
        EXPECT_TRUE(link.controls().comPortEnabled);
        EXPECT_FALSE(link.controls().uploadEnabled);
        EXPECT_FALSE(link.controls().syncEnabled);
    }
    std::string sentPayload(std::size_t i) const {
        const LinkFrame& f = port.sent.at(i);
        return std::string(f.begin() + 3, f.begin() + 67);
    }
};

// --- Connect and Disconnect --------------------------------------------------------------

TEST_F(LinkTest, ConnectOpensTheChosenPortAndDisconnectClosesIt) {
    expectDisconnected();
    EXPECT_EQ(link.linkMode(), LinkMode::Idle);
    link.controls().comPortIndex = 2;
    connect();
    EXPECT_EQ(port.calls, std::vector<std::string>{"open 3"});
    EXPECT_EQ(ui.log, std::vector<std::string>{">>> Open COM 3 <<<"});
    EXPECT_EQ(link.controls().connectCaption, "Disconnect");
    EXPECT_TRUE(link.connected());
    EXPECT_FALSE(link.controls().comPortEnabled);
    EXPECT_TRUE(link.controls().uploadEnabled);
    EXPECT_TRUE(link.controls().syncEnabled);

    timer.active = true;
    link.SpeedButton5Click();
    EXPECT_EQ(port.calls.back(), "close");
    EXPECT_EQ(ui.log.back(), ">>> Close COM 3 <<<");
    expectDisconnected();
    EXPECT_FALSE(timer.active);
}

TEST_F(LinkTest, ConnectThatCannotOpenThePortShownSaysWhyAndStaysDisconnected) {
    link.controls().comPortIndex = 16; // "COM 17": the component keeps COM 1, which stays shut
    connect();
    EXPECT_EQ(port.calls, std::vector<std::string>{"refused 17"});
    EXPECT_EQ(ui.log,
              (std::vector<std::string>{">>> Open COM 17 <<<",
                                        "===> Open COM 17 failed: invalid port number <==="}));
    expectDisconnected();

    port.openSucceeds = false;
    link.controls().comPortIndex = 2;
    connect();
    EXPECT_EQ(ui.log.back(), "===> Open COM 3 failed: The comm device not exist <===");
    expectDisconnected();
}

// --- Starting an upload ------------------------------------------------------------------

TEST_F(LinkTest, EncodeZeroIsRefusedWithItsBoxAndNothingElse) {
    connect();
    link.SpeedButton9Click(0);
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{
                  "No service!! | ZEB init version\n\n No support download function!!\n\n"});
    EXPECT_TRUE(ui.dialogs.empty());
    expectNothingStarted();
}

TEST_F(LinkTest, CancelledDialogStartsNothing) {
    connect();
    link.SpeedButton9Click(1);
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].filter, "PRV620BX7 ROM File (*.bin)|*.bin");
    EXPECT_EQ(ui.dialogs[0].initialName, "");
    expectNothingStarted();
}

TEST_F(LinkTest, UnreadableFilesGetTheirOwnLinesAndStartNothing) {
    connect();
    ui.openAnswers.push_back(dir.file("missing.bin"));
    link.SpeedButton9Click(1);
    ASSERT_EQ(ui.log.size(), 4u);
    EXPECT_EQ(ui.log[1], "*** Warning.... ***");
    EXPECT_EQ(ui.log[2], "=== Can not open ROM image!! ===");
    EXPECT_EQ(ui.log[3], "=== " + dir.file("missing.bin") + ": No such file or directory ===");

    std::filesystem::create_directory(dir.file("folder.bin"));
    ui.openAnswers.push_back(dir.file("folder.bin"));
    link.SpeedButton9Click(1);
    EXPECT_EQ(ui.log[5], "=== Can not read ROM image!! ===");
    expectNothingStarted();
}

TEST_F(LinkTest, EndlessDeviceIsTooLargeAfterReadingPastTheLimit) {
    connect();
    ui.openAnswers.push_back("/dev/zero");
    link.SpeedButton9Click(1);
    EXPECT_EQ(ui.log.back(), "=== ROM image too large!! ===");
    expectNothingStarted();
}

// Only a file of exactly 975 blocks is sent short; the buffer's whole size is accepted.
TEST_F(LinkTest, BlockCountFollowsTheFileSize) {
    connect();
    const std::pair<int, int> cases[] = {{62399, 976}, {62400, 975}, {62401, 976}, {458752, 976}};
    for (const auto& [size, blocks] : cases) {
        startUpload(Image(static_cast<std::size_t>(size)));
        EXPECT_EQ(link.linkMode(), LinkMode::UploadRom) << size;
        EXPECT_TRUE(timer.active) << "a silent controller must time out";
        EXPECT_EQ(link.blockCount(), blocks) << size;
    }
}

// --- The upload exchange -----------------------------------------------------------------

// Within one received chunk only the first decisive byte counts; an ACK before any request
// starts with block 1 as a request would.
TEST_F(LinkTest, FirstDecisiveByteOfAChunkDecides) {
    const struct {
        std::vector<std::vector<std::uint8_t>> chunks;
        std::vector<int> blocks;
    } cases[] = {
        {{{'C'}, {0x06, 0x15, 0x43}}, {1, 2}},
        {{{0x06}}, {1}},
        {{{0x55, 0x15, 0x06}}, {}},
    };
    connect();
    for (const auto& c : cases) {
        startUpload(Image(64512));
        port.sent.clear();
        for (const auto& chunk : c.chunks)
            link.PcUart1RxdDatas(chunk);
        std::vector<int> blocks;
        for (const auto& f : port.sent)
            blocks.push_back(RomBlockNumber(f).value_or(-1));
        EXPECT_EQ(blocks, c.blocks);
        EXPECT_EQ(link.nakCount(), c.blocks.empty() ? 1 : 0);
    }
}

TEST_F(LinkTest, WholeImageArrivesInOrderAndEndsIdle) {
    connect();
    link.controls().msgOn = true;
    const std::string image = Image(64512);
    startUpload(image);
    rx({'C'});
    clock.mono += std::chrono::milliseconds(5850);
    int guard = 0;
    while (link.linkMode() == LinkMode::UploadRom && ++guard < 2000)
        rx({0x06});
    ASSERT_EQ(port.sent.size(), 976u);
    std::string received;
    for (std::size_t i = 0; i < port.sent.size(); ++i) {
        EXPECT_EQ(RomBlockNumber(port.sent[i]), static_cast<int>(i) + 1);
        received += sentPayload(i);
    }
    EXPECT_EQ(received, Unmasked(image).substr(0, 976 * 64));
    EXPECT_EQ(link.controls().progressPosition, 975); // the bar's maximum
    expectEnded(LinkOutcome::UploadFinished);
    ASSERT_GE(ui.log.size(), 2u);
    EXPECT_EQ(ui.log[ui.log.size() - 2], "===> UpLoad ROM image finish.<===");
    EXPECT_EQ(ui.log.back(), "Time = 5850 ms");

    // A late request finds the link idle: it stops the timer and sends nothing.
    timer.active = true;
    rx({'C'});
    EXPECT_EQ(port.sent.size(), 976u);
    EXPECT_FALSE(timer.active);
}

TEST_F(LinkTest, FramesRestartTheTimerForAFullPeriod) {
    connect();
    startUpload(Image(64512));
    timer.calls.clear();
    rx({'C'});
    rx({0x15});
    rx({0x06});
    EXPECT_EQ(timer.calls,
              (std::vector<std::string>{"stop", "start", "stop", "start", "stop", "start"}));
}

TEST_F(LinkTest, NineNaksInARowAreRiddenAndTheTenthFails) {
    connect();
    startUpload(Image(64512));
    rx({'C'});
    rx({0x06});
    for (int i = 0; i < 9; ++i)
        rx({0x15});
    EXPECT_EQ(link.nakCount(), 9);
    EXPECT_EQ(port.sent.size(), 11u);
    for (std::size_t i = 2; i < 11; ++i)
        EXPECT_EQ(port.sent[i], port.sent[1]); // the same block 2 again
    rx({0x06});
    EXPECT_EQ(link.nakCount(), 0);
    EXPECT_EQ(link.statistics().framesResent, 9);
    EXPECT_EQ(RomBlockNumber(port.sent.back()), 3);
    EXPECT_EQ(link.linkMode(), LinkMode::UploadRom);

    for (int i = 0; i < 10; ++i)
        rx({0x15});
    EXPECT_EQ(port.sent.size(), 21u); // nine more resends of block 3
    EXPECT_EQ(ui.log.back(), "===> UpLoad ROM image failed <===");
    expectEnded(LinkOutcome::UploadFailed);
    EXPECT_EQ(link.nakCount(), 0);
}

// --- Time-outs ---------------------------------------------------------------------------

// Each start counts its own silent periods, whatever the one before left.
TEST_F(LinkTest, TenSilentPeriodsAbortWithNumberedLines) {
    connect();
    link.SpeedButton2Click();
    ticks(9);
    EXPECT_EQ(link.linkMode(), LinkMode::DateTimeSync);
    startUpload(Image(64512));
    ui.log.clear();
    ticks(9);
    EXPECT_EQ(link.linkMode(), LinkMode::UploadRom);
    ticks(1);
    std::vector<std::string> expected;
    for (int i = 1; i <= 10; ++i)
        expected.push_back("===> PRM-620BX7 respond timeout #" + std::to_string(i) + "<===");
    expected.push_back("===> Transmit abort!! <===");
    EXPECT_EQ(ui.log, expected);
    expectEnded(LinkOutcome::Aborted);
}

// --- Date and time -----------------------------------------------------------------------

TEST_F(LinkTest, SyncSendsTheClockOnRequestAndFinishesOnAck) {
    connect();
    link.SpeedButton2Click();
    EXPECT_EQ(ui.log, (std::vector<std::string>{"*** Date & Time Sync. ***",
                                                "=== Waiting PRM-620BX7 respond.... ==="}));
    EXPECT_FALSE(link.controls().uploadEnabled);
    EXPECT_FALSE(link.controls().syncEnabled);
    EXPECT_TRUE(port.sent.empty());
    rx({0x43});
    ASSERT_EQ(port.sent.size(), 1u);
    EXPECT_EQ(port.sent[0], MakeDateTimeFrame(clock.local));
    EXPECT_EQ(port.sent[0][67], 0xA3);
    rx({0x06});
    EXPECT_EQ(ui.log.back(), "===> Date & Time Sync. finish <===");
    expectEnded(LinkOutcome::SyncFinished);
}

TEST_F(LinkTest, SyncResendReadsTheClockAgain) {
    connect();
    link.controls().msgOn = true;
    link.SpeedButton2Click();
    rx({'C'});
    clock.local.second = 31;
    rx({0x15});
    ASSERT_EQ(port.sent.size(), 2u);
    EXPECT_EQ(port.sent[1][9], 0x31);
    EXPECT_NE(port.sent[1][67], port.sent[0][67]);
    char expected[64];
    std::snprintf(expected, sizeof expected,
                  "===> Resend data block: 1,CRC = %02X <===", port.sent[1][67]);
    EXPECT_EQ(ui.log.back(), expected);
    for (int i = 2; i < 10; ++i)
        rx({0x15});
    EXPECT_EQ(link.linkMode(), LinkMode::DateTimeSync);
    rx({0x15});
    EXPECT_EQ(ui.log.back(), "===> Date & Time Sync. failed <===");
    EXPECT_EQ(link.outcome(), LinkOutcome::SyncFailed);
}

} // namespace
} // namespace Lift::Link
