// The real link and serial component against the simulated controller, over
// pseudo-terminals, through the upload and sync-time commands.

#include "cli/run_cli.h"
#include "link/link_frame.h"
#include "link/link_io.h"
#include "link/pty_controller.h"
#include "support/fake_device_tree.h"
#include "support/simulator_thread.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace Lift::Link {
namespace {

using namespace std::chrono_literals;
using Outcome = PtyController::Outcome;

using Lift::Test::SimulatorThread;

SimulatorConfig Config() {
    SimulatorConfig c;
    c.askInterval = 50ms;
    return c;
}

using CommandResult = Lift::Test::CliResult;
using Lift::Test::RunCli;

std::vector<std::string> Lines(const std::string& out) {
    std::vector<std::string> v;
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);)
        v.push_back(l);
    return v;
}

std::vector<std::uint8_t> Unmasked(const std::string& file, std::size_t n) {
    std::vector<std::uint8_t> v(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
    ToggleHeaderMask(v);
    return v;
}

class UploadOverPty : public ::testing::Test {
protected:
    Lift::Test::TempDir dir;
    std::string rom;
    std::string romPath;

    void SetUp() override { writeRom(64512); }
    void writeRom(std::size_t size) {
        rom.assign(size, '\0');
        std::uint32_t x = 12345;
        for (auto& c : rom) {
            x = x * 1103515245 + 12345;
            c = static_cast<char>(x >> 24);
        }
        romPath = dir.file("image.bin");
        Lift::Test::WriteBytes(romPath, rom);
    }
    CommandResult upload(const SimulatorThread& sim, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"upload", romPath, "--port", sim.path()};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunCli(args);
    }
};

// A failed upload exits with 1, its last lines telling why, and the port closed. A line that
// goes dead ends it at once, not after ten silent periods of 10 s; a peer that only ever sends
// bytes the link skips (here its request is 'x') is given up at the time limit.
TEST_F(UploadOverPty, FailuresExitWithOneAndTheirLastLines) {
    std::vector<std::string> timeouts;
    for (int i = 1; i <= 10; ++i)
        timeouts.push_back("===> PRM-620BX7 respond timeout #" + std::to_string(i) + "<===");
    timeouts.push_back("===> Transmit abort!! <===");
    struct Case {
        const char* name;
        SimulatorConfig config;
        std::vector<std::string> extra, tail;
        int blocksAccepted;
        Outcome outcome;
        std::string err;
    } cases[] = {
        {"ten NAKs", Config(), {}, {"===> UpLoad ROM image failed <==="}, 99,
         Outcome::ClientLeft, ""},
        {"muted", Config(), {"--period-ms", "20"}, timeouts, 5, Outcome::ClientLeft, ""},
        {"hung up", Config(), {},
         {"===> Transmit abort!! <===", "=== COM 1: The comm device was lost (hang-up) ==="}, 5,
         Outcome::HungUp, "lift-lcd upload: lost COM1 ("},
        {"endless noise", Config(), {"--time-limit", "1"}, {}, 0, Outcome::ClientLeft,
         "lift-lcd upload: stopped: no result within the time limit of 1 s (--time-limit)\n"},
    };
    cases[0].config.faults.nakBlock = 100;
    cases[0].config.faults.nakCount = 10;
    cases[1].config.faults.muteAfterFrames = 5;
    cases[2].config.faults.hangUpAfterFrames = 5;
    cases[3].config.askByte = 'x';
    cases[3].config.askInterval = 1ms;
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatorThread sim(c.config);
        const CommandResult r = upload(sim, c.extra);
        EXPECT_EQ(r.code, 1);
        c.tail.push_back(">>> Close COM 1 <<<");
        const auto lines = Lines(r.out);
        ASSERT_GE(lines.size(), c.tail.size());
        EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<std::ptrdiff_t>(c.tail.size()),
                                           lines.end()),
                  c.tail);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(sim.join(), c.outcome);
        EXPECT_EQ(sim.sim().stats().blocksAccepted, c.blocksAccepted);
    }
}

std::time_t Seconds(const LocalDateTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

TEST(SyncTimeOverPty, DateTimeFrameCarriesTheLocalClockFieldByField) {
    SimulatorThread sim(Config());
    // The system's clock, not the link's, is the measure.
    const std::time_t before = std::time(nullptr);
    const CommandResult r = RunCli({"sync-time", "--port", sim.path(), "--msg"});
    const std::time_t after = std::time(nullptr);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(sim.join(), Outcome::Finished);
    ASSERT_TRUE(sim.sim().dateTimeFrame());
    const LinkFrame& f = *sim.sim().dateTimeFrame();
    const auto got = DecodeDateTimeFrame(f);
    ASSERT_TRUE(got);
    EXPECT_GE(Seconds(*got), before);
    EXPECT_LE(Seconds(*got), after);
    // The weekday is the one of the date carried.
    std::tm tm{};
    const std::time_t t = Seconds(*got);
    localtime_r(&t, &tm);
    EXPECT_EQ(got->weekday, tm.tm_wday == 0 ? 7 : tm.tm_wday);

    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 6u) << r.out;
    EXPECT_EQ(lines[1], "*** Date & Time Sync. ***");
    EXPECT_EQ(lines[3].rfind("===> Send data block: 1,CRC = ", 0), 0u);
    EXPECT_EQ(lines[4], "===> Date & Time Sync. finish <===");
}

} // namespace
} // namespace Lift::Link

namespace Lift::Link {
namespace {

// Both commands as separate programs, as a technician would run them, the simulator
// standing in for a USB adapter that is found by its by-id name.
TEST(LinkCommandsAsPrograms, UploadToASimulatorInAnotherProcess) {
    Lift::Test::TempDir dir;
    std::string rom(64512, '\0');
    for (std::size_t i = 0; i < rom.size(); ++i)
        rom[i] = static_cast<char>(i * 13 + 7);
    Lift::Test::WriteBytes(dir.file("rom.bin"), rom);
    const std::string cli = LIFT_CLI_PATH;
    const std::string simCommand = cli + " simulate-controller --ask-ms 50 --link " +
                                   dir.file("port") + " --out " + dir.file("got.bin");
    FILE* sim = ::popen(simCommand.c_str(), "r");
    ASSERT_NE(sim, nullptr);
    char first[256] = {};
    ASSERT_NE(std::fgets(first, sizeof first, sim), nullptr); // the device path
    EXPECT_EQ(std::string(first).rfind("/dev/pts/", 0), 0u) << first;

    constexpr const char* kAdapter = "usb-Lift_Service_Cable_0042-if00-port0";
    const Lift::Test::FakeDeviceTree tree(dir.path() / "root");
    tree.plug("ttyUSB0", dir.file("port"), kAdapter);
    std::filesystem::create_directories(dir.path() / "config/lift-lcd");
    Lift::Test::WriteBytes(dir.file("config/lift-lcd/com-ports"), "1 usb-Other-if00-port0\n");
    const std::string env = "LIFT_LCD_DEVICE_ROOT=" + tree.root() +
                            " XDG_CONFIG_HOME=" + dir.file("config") + " " + cli;
    EXPECT_EQ(
        std::system(("LIFT_LCD_COM4=/dev/x " + env + " ports > " + dir.file("ports.txt")).c_str()),
        0);
    EXPECT_EQ(Lift::Test::ReadBytes(dir.file("ports.txt")),
              "COM1   usb-Other-if00-port0                    adapter, not plugged in\n"
              "COM2   usb-Lift_Service_Cable_0042-if00-port0  adapter, /dev/ttyUSB0\n"
              "COM4   /dev/x                                  set by LIFT_LCD_COM4\n");

    const std::string upload = env + " upload " + dir.file("rom.bin") + " --port " + kAdapter +
                               " > " + dir.file("log.txt");
    EXPECT_EQ(std::system(upload.c_str()), 0);
    std::string rest;
    for (char line[256]; std::fgets(line, sizeof line, sim);)
        rest += line;
    const int status = ::pclose(sim);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << rest;
    EXPECT_NE(rest.find("image received: 976 blocks (62464 bytes)"), std::string::npos) << rest;

    const std::string got = Lift::Test::ReadBytes(dir.file("got.bin"));
    const auto expected = Unmasked(rom, 976 * 64);
    EXPECT_EQ(got, std::string(expected.begin(), expected.end()));
    EXPECT_FALSE(std::filesystem::exists(dir.file("port"))); // the link went with it
    EXPECT_EQ(Lift::Test::ReadBytes(dir.file("log.txt")),
              ">>> Open COM 2 <<<\n*** UpLoad ROM image ***\n"
              "=== Waiting PRM-620BX7 respond.... ===\n===> UpLoad ROM image finish.<===\n"
              ">>> Close COM 2 <<<\n");
}

} // namespace
} // namespace Lift::Link
