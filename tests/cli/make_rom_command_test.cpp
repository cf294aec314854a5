// lift-lcd make-rom on a copy of the bundled demo data set, run in-process.

#include "run_cli.h"

#include "lift_lcd/program_directory.h"

#include "support/bundled_data.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>

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

} // namespace
