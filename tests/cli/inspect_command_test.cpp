// lift-lcd inspect and the command line's EditorUi, run in-process.

#include "run_cli.h"

#include "lift_lcd/cli_ui.h"
#include "support/temp_dir.h"
#include "util/standalone_function.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

using namespace Lift;
using namespace Lift::Test;
namespace fs = std::filesystem;

using Result = CliResult;

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

} // namespace
