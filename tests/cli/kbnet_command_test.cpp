// lift-lcd simulate-kbnet and lift-lcd kbnet end to end, over a pseudo-terminal.

#include "run_cli.h"

#include "fieldbus/pty_kbnet_adapter.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <thread>

namespace {

using Lift::Test::CliResult;
using Lift::Test::RunCli;

std::string Topology(const Lift::Test::TempDir& dir) {
    const std::string path = dir.file("net.ini");
    Lift::Test::WriteBytes(path,
                           "[KbnTopologic.Head]\r\nSignature=zeb\r\n\r\n[NetSegmentId_0x80]\r\n"
                           "Travel_000=Device( \"PRM_4i4o\" ) , NetNodeId( 0x05 )\r\n"
                           "Travel_001=Device( \"PRM_4i4o\" ) , NetNodeId( 0x07 )\r\n");
    return path;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

// The simulator as its own program, stopped as a technician stops it (a signal).
TEST(KbnetCommands, ShowsTheBusAndSetsOutputsOfASimulatorInAnotherProcess) {
    Lift::Test::TempDir dir;
    const std::string topology = Topology(dir);
    const std::string command = std::string("echo $$; exec ") + LIFT_CLI_PATH +
                                " simulate-kbnet --module 80:05 --r6 20 --script /dev/null";
    FILE* sim = ::popen(command.c_str(), "r");
    ASSERT_NE(sim, nullptr);
    char pid[32] = {}, path[256] = {};
    ASSERT_NE(std::fgets(pid, sizeof pid, sim), nullptr);
    ASSERT_NE(std::fgets(path, sizeof path, sim), nullptr);
    std::string port(path);
    port.erase(port.find_last_not_of('\n') + 1);

    const CliResult r = RunCli({"kbnet", "--port", port, "--topology", topology, "--set",
                                "80:05=03", "--outputs", "0x01"});
    ::kill(static_cast<pid_t>(std::stol(pid)), SIGTERM);
    std::string log;
    for (char line[256]; std::fgets(line, sizeof line, sim);)
        log += line;
    const int status = ::pclose(sim);

    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(
        Has(r.out, "R3 0x01  R4 0x02  R5 0x03  R6 0x14  R7 0x04  R8 0x05  R9 0x06  RE 0x00"))
        << r.out;
    EXPECT_TRUE(Has(r.out, "module 0x80:0x05  answers  inputs X3..X0 not reported yet")) << r.out;
    EXPECT_TRUE(Has(r.out, "module 0x80:0x07  unreachable")) << r.out;
    EXPECT_TRUE(Has(r.out, "module 0x80:0x05 outputs set to 0x03")) << r.out;
    // Everything reached the adapter before the port closed.
    EXPECT_TRUE(Has(log, "< >8005028403\n< +R0=01\n< ?R0\n")) << log;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log;
}

TEST(KbnetCommands, WatchPrintsInputChangesAndAnUnreachableAdapterFails) {
    Lift::Test::TempDir dir;
    const std::string topology = Topology(dir);
    Lift::Fieldbus::KbnAdapterSimConfig config;
    config.modules = {{0x80, 0x05}};
    Lift::Fieldbus::PtyKbnAdapter pty(config);
    ASSERT_TRUE(pty.open()) << pty.error();
    // Once the adapter has been asked for its flags, the module's inputs change.
    pty.setOnReceived([&pty] {
        pty.access([](Lift::Fieldbus::KbnAdapterSimulator& s) {
            const auto& c = s.commands();
            if (!c.empty() && c.back() == "?RE")
                s.setModuleInputs(0x80, 0x05, 0x0A);
        });
    });
    std::thread server([&] { pty.run(); });
    const CliResult r =
        RunCli({"kbnet", "--port", pty.path(), "--topology", topology, "--watch-ms", "1000"});
    pty.stop();
    server.join();
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "module 0x80:0x05 inputs X3..X0 1010 (were 0000)")) << r.out;

    // Nothing answers on a terminal nobody serves.
    Lift::Fieldbus::PtyKbnAdapter silent(config);
    ASSERT_TRUE(silent.open());
    const CliResult none = RunCli({"kbnet", "--port", silent.path(), "--topology", topology});
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(Has(none.err, "did not report its registers within 2 seconds")) << none.err;
}
