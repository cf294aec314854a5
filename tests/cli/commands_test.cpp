// lift-lcd make-rom on a copy of the bundled demo data set, inspect, and the command line's
// EditorUi, run in-process; kbnet and simulate-kbnet end to end, over a pseudo-terminal.

#include "run_cli.h"

#include "fieldbus/pty_kbnet_adapter.h"
#include "lift_lcd/cli_ui.h"
#include "lift_lcd/program_directory.h"
#include "support/bundled_data.h"
#include "util/standalone_function.h"

#include <QImage>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace {

using namespace Lift;
using namespace Lift::Test;
namespace fs = std::filesystem;

using Result = CliResult;

class MakeRomCommandTest : public ::testing::Test {
protected:
    BundledDataCopy work; // also gives back the working directory that --workdir changes
    std::string w(const std::string& name) const { return work.file(name); }
    Result build(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"make-rom", w("demo.lcp"),   "--workdir",
                                         w(""),      "--program-dir", w("")};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunCli(args);
    }
};

TEST_F(MakeRomCommandTest, BuildsTheDemoIntoItsRomFileName) {
    const Result r = build();
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "Status: PRM-620BX7 Make ROM OK\n");
    EXPECT_TRUE(r.out.empty()) << r.out;      // every picture of the demo is there
    const std::string rom = w("HARBOUR.BIN"); // ROMFILENAME, in the working directory
    ASSERT_EQ(fs::file_size(rom), 64512u);
    EXPECT_FALSE(fs::exists(w("demo.lcp.bak")));
}

TEST_F(MakeRomCommandTest, RelativePathsAreTakenFromTheOriginalDirectory) {
    fs::create_directories("run");
    const Result r = RunCli(
        {"make-rom", "demo.lcp", "--workdir", ".", "--program-dir", ".", "-o", "run/out.bin"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(fs::file_size(w("run/out.bin")), 64512u);
}

TEST_F(MakeRomCommandTest, PreviewOfTheProjectAndOfItsImageWriteTheSamePictures) {
    ASSERT_EQ(build({"-o", w("demo.bin")}).code, 0);
    Result r = RunCli({"preview", w("demo.bin"), "--all", w("image"), "--table", "1", "--state",
                       "4", "--frame", "7", "--scale", "2"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = RunCli({"preview", w("demo.lcp"), "--workdir", w(""), "--program-dir", w(""), "--all",
                w("project"), "--table", "1", "--state", "4", "--frame", "7", "--scale", "2"});
    ASSERT_EQ(r.code, 0) << r.err;
    int files = 0;
    for (const auto& e : fs::directory_iterator(w("image"))) {
        EXPECT_EQ(ReadBytes(e.path()), ReadBytes(w("project/") + e.path().filename().string()));
        ++files;
    }
    EXPECT_EQ(files, 25 + 1); // the used codes of CTBL1 and the contact sheet
    EXPECT_TRUE(fs::exists(w("image/code_1F.png")));
    EXPECT_NE(ReadBytes(w("image/code_0F.png")), ReadBytes(w("image/code_1F.png")));
    EXPECT_EQ(QImage(QString::fromStdString(w("image/code_0F.png"))).size(), QSize(128, 256));

    // A problem is named with its code, and the picture is still written.
    r = RunCli({"preview", std::string(LIFT_TEST_DIR) + "/golden/rom/minimal.bin", "--code", "1",
                "--logo", "-o", w("logo.png")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "CTBL0-01 (1 ): the customer logo is OFF: the indicator shows no logo "
                     "screen\n");
    EXPECT_TRUE(fs::exists(w("logo.png")));
}

TEST_F(MakeRomCommandTest, StopsAndFailures) {
    WriteBytes(w("bad.lcp"), "[GLOBAL]\nCODENAME=prv620bx7\n");
    Result r = RunCli({"make-rom", w("bad.lcp"), "--workdir", w(""), "--program-dir", w("")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error: LCP file format error!!\n");
    // upload's --version and --workdir take their values: the port is what fails, not the usage.
    EXPECT_EQ(RunCli({"upload", w("HARBOUR.BIN"), "--version", "ZEB-STD", "--workdir", w(""),
                      "--port", w("no-port")})
                  .code,
              1);
    EXPECT_FALSE(fs::exists(w("HARBOUR.BIN")));

    // Start-ups that end early go on to the load and the build, as the window does.
    std::string settings = ReadBytes(w("ZEBPRV620BX7.INI"));
    settings.insert(settings.find("GLB="), "UBFGLB=MISSING.GLB\n");
    WriteBytes(w("ZEBPRV620BX7.INI"), settings);
    r = build();
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "Error: User define BMP file not found!!\nStatus: PRM-620BX7 Make ROM OK\n");

    fs::remove(w("HARBOUR.BIN"));
    fs::remove(w("P620BX7.GLB"));
    r = build();
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error: GLB file not found!!\nFile error: GLB File error!!\n");
    EXPECT_FALSE(fs::exists(w("HARBOUR.BIN")));
}

// A start from the desktop menu (in the home folder) works in a per-user copy of the
// installed data set; a start where the settings file is works there, as always.
TEST(WorkingFolder, MenuStartSeedsAPerUserFolderOnceAndNeverOverwritesIt) {
    TempDir installed, home, elsewhere;
    fs::copy(std::string(LIFT_SOURCE_DIR) + "/data", installed.path(), fs::copy_options::recursive);
    const std::string userData = home.file(".local/share");
    const std::string folder = userData + "/lift-lcd";

    Cli::WorkingFolder chosen =
        Cli::ChooseWorkingFolder(installed.file(""), installed.file(""), userData);
    EXPECT_EQ(chosen.folder, installed.file(""));
    EXPECT_EQ(chosen.logLine, "");
    EXPECT_EQ(Cli::ChooseWorkingFolder(elsewhere.file(""), std::nullopt, userData).folder,
              elsewhere.file(""));

    // Tools that write nothing read the installed set until the per-user folder exists.
    EXPECT_EQ(
        Cli::ChooseWorkingFolder(elsewhere.file(""), installed.file(""), userData, false).folder,
        installed.file(""));
    EXPECT_FALSE(fs::exists(userData));

    chosen = Cli::ChooseWorkingFolder(elsewhere.file(""), installed.file(""), userData);
    EXPECT_EQ(chosen.folder, folder);
    EXPECT_NE(chosen.logLine.find("first start"), std::string::npos) << chosen.logLine;
    EXPECT_EQ(ReadBytes(folder + "/DefaultImage2/LiftState/FIRE-16x64_EN.bmp"),
              ReadBytes(installed.file("DefaultImage2/LiftState/FIRE-16x64_EN.bmp")));
    EXPECT_EQ(std::distance(fs::directory_iterator(userData), fs::directory_iterator()), 1)
        << "nothing left of the copy";

    WriteBytes(folder + "/ZEBPRV620BX7.INI", "[mine]\n");
    fs::remove(folder + "/P620BX7.GLB");
    chosen = Cli::ChooseWorkingFolder(elsewhere.file(""), installed.file(""), userData);
    EXPECT_EQ(chosen.folder, folder);
    EXPECT_NE(chosen.logLine.find("Working folder " + folder), std::string::npos);
    EXPECT_EQ(
        Cli::ChooseWorkingFolder(elsewhere.file(""), installed.file(""), userData, false).folder,
        folder);
    EXPECT_EQ(ReadBytes(folder + "/ZEBPRV620BX7.INI"), "[mine]\n");
    EXPECT_FALSE(fs::exists(folder + "/P620BX7.GLB"));

    WriteBytes(home.file("file"), "");
    chosen = Cli::ChooseWorkingFolder(elsewhere.file(""), installed.file(""), home.file("file"));
    EXPECT_EQ(chosen.folder, elsewhere.file(""));
    EXPECT_EQ(chosen.logLine.rfind("Cannot make the working folder", 0), 0u) << chosen.logLine;
}

// ---- inspect and the command line's boxes -----------------------------------------------

std::string Golden(const std::string& name) {
    return std::string(LIFT_TEST_DIR) + "/golden/rom/" + name + ".bin";
}

TEST(CliCommands, UsageErrorsPrintTheSynopsis) {
    const std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
        {{"inspect"}, "Usage: lift-lcd inspect"},
        {{"inspect", "a.bin", "--encode", "2"}, "Usage: lift-lcd inspect"},
        {{"inspect", "a.bin", "--render"}, "Usage: lift-lcd inspect"},
        {{"inspect", "a.bin", "--frobnicate"}, "Usage: lift-lcd inspect"},
        {{"inspect", "a.bin", "b.bin"}, "Usage: lift-lcd inspect"},
        {{"make-rom"}, "Usage: lift-lcd make-rom"},
        {{"make-rom", "a.lcp", "-o"}, "Usage: lift-lcd make-rom"},
        {{"make-rom", "a.lcp", "--bogus"}, "Usage: lift-lcd make-rom"},
        {{"make-rom", "a.lcp", "b.lcp"}, "Usage: lift-lcd make-rom"},
        {{"preview", "a.bin", "--code", "1"}, "Usage: lift-lcd preview"},
        {{"preview", "a.bin", "--code", "100", "-o", "x.png"}, "Usage: lift-lcd preview"},
        {{"preview", "a.bin", "--all", "d", "--code", "1", "-o", "x.png"}, "Usage: lift-lcd preview"},
        {{"preview", "a.lcp", "--all", "d", "--disphv", "0"}, "Usage: lift-lcd preview"},
        {{"kbnet", "--port", "x", "--topology", "t", "--outputs", "0x100"},
         "bad value '0x100' for --outputs"},
        {{"frobnicate"}, "lift-lcd: unknown command 'frobnicate'"},
    };
    for (const auto& [args, usage] : cases) {
        const Result r = RunCli(args);
        EXPECT_EQ(r.code, 2) << testing::PrintToString(args);
        EXPECT_NE(r.err.find(usage), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    for (const char* command : {"inspect", "ports"}) {
        const Result help = RunCli({command, "--help"});
        EXPECT_EQ(help.code, 0);
        EXPECT_EQ(help.out.rfind(std::string("Usage: lift-lcd ") + command, 0), 0u) << help.out;
    }
}

TEST(InspectCommand, FilesThatAreNoImageFailCleanly) {
    TempDir dir;
    Result r = RunCli({"inspect", dir.file("missing.bin")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("missing.bin"), std::string::npos);
    EXPECT_TRUE(r.out.empty());

    WriteBytes(dir.file("short.bin"), std::string(1000, 'x'));
    r = RunCli({"inspect", dir.file("short.bin")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("the file has 1000 bytes; a ROM image has 64512"), std::string::npos);
}

TEST(InspectCommand, DescribesAnImageAndTellsTheMaskFromTheIfiArea) {
    Result r = RunCli({"inspect", Golden("minimal")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    EXPECT_NE(r.out.find("ENCODE: 1"), std::string::npos);
    EXPECT_NE(r.out.find("CFI block starts: 11 11"), std::string::npos); // unmasked
    EXPECT_NE(r.out.find("Code table CTBL0:\n  01 (1 ) -> 1\nCode table CTBL1:\n"),
              std::string::npos)
        << r.out;

    r = RunCli({"inspect", Golden("full_tables")});
    ASSERT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("ENCODE: 0; IFI area: data block"), std::string::npos);
    EXPECT_NE(r.out.find("64 (100 ) -> user floor picture 0"), std::string::npos);
    EXPECT_NE(r.out.find("customer logo: ON, 5 s"), std::string::npos);

    // Forcing the wrong mask shows masked bytes: the option is obeyed.
    r = RunCli({"inspect", Golden("minimal"), "--encode", "0"});
    EXPECT_NE(r.out.find("CFI block starts: 11 4F"), std::string::npos) << r.out;
}

TEST(InspectCommand, RendersEveryPlacedPicture) {
    TempDir dir;
    const std::string renderDir = dir.file("pictures");
    const Result r = RunCli({"inspect", Golden("minimal"), "--render", renderDir});
    ASSERT_EQ(r.code, 0) << r.err;
    // 12 glyphs, 60 arrow frames, 40 messages; the logo is off.
    EXPECT_NE(r.out.find("Rendered 112 pictures"), std::string::npos) << r.out;
    EXPECT_TRUE(fs::exists(renderDir + "/overview.png"));
    EXPECT_FALSE(fs::exists(renderDir + "/logo.png"));

    // The glyph "-" of floor style 0 comes back as the generated source picture.
    QImage glyph(QString::fromStdString(renderDir + "/glyph_045.png"));
    ASSERT_EQ(glyph.width(), 32);
    ASSERT_EQ(glyph.height(), 64);
    const int seed = '-' * 4;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(qGray(glyph.pixel(x, y)) == 0, (x * 3 + y * 5 + seed) % 7 == 0)
                << x << "," << y;
    QImage message(QString::fromStdString(renderDir + "/message_00.png"));
    EXPECT_EQ(message.size(), QSize(64, 16));
}

TEST(CliUi, ErrorBoxesGoToStderrUntilTheUiIsGone) {
    std::ostringstream out, err;
    {
        Cli::CliUi ui(out, err);
        YVclUtil::ShowErrMsgBox_Printf("Error", "%s: bad picture\n", "x.bmp");
    }
    EXPECT_EQ(err.str(), "Error: x.bmp: bad picture\n");
    std::string seen;
    const auto previous = YVclUtil::SetErrorBoxSink(
        [&](const std::string& caption, const std::string&) { seen = caption; });
    YVclUtil::ShowErrMsgBox_Printf("After", "x");
    YVclUtil::SetErrorBoxSink(previous);
    EXPECT_EQ(seen, "After");
    EXPECT_EQ(err.str().find("After"), std::string::npos);
}

// ---- kbnet and simulate-kbnet -------------------------------------------------------------

std::string Topology(const TempDir& dir) {
    const std::string path = dir.file("net.ini");
    WriteBytes(path,
                           "[KbnTopologic.Head]\r\nSignature=zeb\r\n\r\n[NetSegmentId_0x80]\r\n"
                           "Travel_000=Device( \"PRM_4i4o\" ) , NetNodeId( 0x05 )\r\n"
                           "Travel_001=Device( \"PRM_4i4o\" ) , NetNodeId( 0x07 )\r\n");
    return path;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The simulator as its own program, stopped as a technician stops it (a signal).
TEST(KbnetCommands, ShowsTheBusAndSetsOutputsOfASimulatorInAnotherProcess) {
    TempDir dir;
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
    TempDir dir;
    const std::string topology = Topology(dir);
    Fieldbus::KbnAdapterSimConfig config;
    config.modules = {{0x80, 0x05}};
    Fieldbus::PtyKbnAdapter pty(config);
    ASSERT_TRUE(pty.open()) << pty.error();
    // Once the adapter has been asked for its flags, the module's inputs change.
    pty.setOnReceived([&pty] {
        pty.access([](Fieldbus::KbnAdapterSimulator& s) {
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
    Fieldbus::PtyKbnAdapter silent(config);
    ASSERT_TRUE(silent.open());
    const CliResult none = RunCli({"kbnet", "--port", silent.path(), "--topology", topology});
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(Has(none.err, "did not report its registers within 2 seconds")) << none.err;
}

} // namespace
