// lift-lcd check, sheet and diff on a copy of the bundled data set, as a technician runs them.

#include "cli/run_cli.h"
#include "support/bundled_data.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>

namespace {

using namespace Lift::Test;
namespace fs = std::filesystem;

class CommissioningCommands : public ::testing::Test {
protected:
    std::string data(const std::string& name) const { return dir.file(name); }
    // A copy of the demo project with `from` replaced by `to`.
    std::string demoWith(const std::string& name, const std::string& from, const std::string& to) {
        std::string text = ReadBytes(data("demo.lcp"));
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        WriteBytes(data(name), text);
        return data(name);
    }
    CliResult run(const std::string& command, const std::vector<std::string>& files) {
        std::vector<std::string> args{command};
        args.insert(args.end(), files.begin(), files.end());
        for (const char* option : {"--workdir", "--program-dir"})
            args.insert(args.end(), {option, dir.path()});
        return RunCli(args);
    }
    std::map<std::string, fs::file_time_type> files() const {
        std::map<std::string, fs::file_time_type> out;
        for (const auto& e : fs::recursive_directory_iterator(dir.path()))
            out[e.path().string()] = e.last_write_time();
        return out;
    }
    static std::string output(const std::string& command) {
        std::string text;
        FILE* pipe = ::popen(command.c_str(), "r");
        char buffer[4096];
        for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, n);
        EXPECT_TRUE(pipe && ::pclose(pipe) == 0) << command;
        return text;
    }

    BundledDataCopy dir; // the commands enter their working directory: it is given back
};

TEST_F(CommissioningCommands, CheckListsFindingsAndWritesNothing) {
    const auto before = files();
    CliResult r = run("check", {data("demo.lcp")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.out.ends_with("\n0 errors, 2 warnings, 0 notes\n")) << r.out;
    EXPECT_EQ(files(), before);
    EXPECT_EQ(run("check", {demoWith("typo.lcp", "CODE_3=P1A", "CODE_3=P9Z")}).code, 1);
    // A slot the project does not name shows the default picture, as in the editor.
    const std::string fire = "LeftState_0_A=DefaultImage2/LiftState/FIRE-16x64_EN.bmp";
    EXPECT_EQ(run("check", {demoWith("no-slot.lcp", fire, "")}).code, 0);

    // The editor's loaders would create a missing settings file; the check refuses instead.
    fs::remove(data("ZEBPRV620BX7.INI"));
    r = run("check", {data("demo.lcp")});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("ZEBPRV620BX7.INI not found"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(data("ZEBPRV620BX7.INI")));
}

TEST_F(CommissioningCommands, SheetListsEveryLabelledCodeWithWhatTheDisplayShows) {
    demoWith("typo.lcp", "CODE_3=P1A", "CODE_3=P9Z");
    const std::string q = "'" + dir.path() + "'";
    output(std::string(LIFT_CLI_PATH) + " sheet " + q + "/typo.lcp -o " + q +
           "/sheet.pdf --workdir " + q + " --program-dir " + q);
    const std::string text = output("pdftotext -layout " + q + "/sheet.pdf -");

    // pdftotext ends each page with a form feed; every page repeats both headers, and pages
    // break only where the next row does not fit.
    const std::regex row("\n[0-9A-F]{2} +\\d+ ");
    std::smatch total;
    ASSERT_TRUE(std::regex_search(text, total, std::regex("Page 1 of (\\d+)")));
    int pages = 0;
    for (std::size_t at = 0, end; (end = text.find('\f', at)) != std::string::npos; at = end + 1) {
        const std::string page = text.substr(at, end - at);
        ++pages;
        EXPECT_NE(page.find("Page " + std::to_string(pages) + " of " + total[1].str()),
                  std::string::npos);
        EXPECT_NE(page.find("Display shows"), std::string::npos) << page;
        if (end + 1 < text.size()) { // all but the last
            EXPECT_GE(std::distance(std::sregex_iterator(page.begin(), page.end(), row),
                                    std::sregex_iterator()),
                      5)
                << page;
        }
    }
    EXPECT_EQ(std::to_string(pages), total[1].str());
    EXPECT_GT(pages, 1);
    EXPECT_TRUE(std::regex_search(text, std::regex("Node Address: +1\n")));
    EXPECT_TRUE(std::regex_search(text, std::regex("ID Code: +HBT1\n")));
    EXPECT_TRUE(std::regex_search(text, std::regex("03 +3 +000011 +P9Z ")));
    EXPECT_NE(text.find("no user floor picture \"P9Z.bmp\""), std::string::npos); // and why
    EXPECT_TRUE(std::regex_search(text, std::regex("CTBL1, continued")));

    // The first page's display column shows the glyphs of its rows.
    output("pdftoppm -r 72 -png -f 1 -l 1 -singlefile " + q + "/sheet.pdf " + q + "/page");
    const QImage page(QString::fromStdString(data("page.png")));
    ASSERT_EQ(page.width(), 595);
    int black = 0;
    for (int y = 360; y < page.height() - 40; ++y)
        for (int x = 342; x < 402; ++x)
            black += qGray(page.pixel(x, y)) < 64;
    EXPECT_GT(black, 1000);
}

TEST_F(CommissioningCommands, DiffComparesProjectsAndTheImagesBuiltFromThem) {
    fs::copy_file(data("DefaultImage2/LiftState/FIRE-16x64_EN.bmp"), data("same.bmp"));
    const std::string a = data("demo.lcp");
    const std::string step = demoWith("step.lcp", "CODE_4=1\r", "CODE_4=1A\r");
    WriteBytes(step, std::regex_replace(ReadBytes(step), std::regex("NODEADDR=1"), "NODEADDR=2"));
    demoWith("step2.lcp", "LeftState_0_A=DefaultImage2/LiftState/FIRE-16x64_EN.bmp",
             "LeftState_0_A=same.bmp");
    const std::string b =
        demoWith("b.lcp", "LeftState_0_B=DefaultImage2/LiftState/FIRE-16x64_CHT.bmp",
                 "LeftState_0_B=DefaultImage2/LiftState/FULL-16x64_CHT.bmp");

    CliResult r = run("diff", {a, b});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.out, "slot (0, 1) FIRE: the pictures differ\n");

    r = run("diff", {a, data("step.lcp")});
    EXPECT_EQ(r.out, "setting Node Address: 1 -> 2\nCTBL0 04 (4 ): 1 -> 1A\n");
    EXPECT_EQ(run("diff", {a, data("step2.lcp")}).code, 0); // same picture, other name

    ASSERT_EQ(run("make-rom", {a, "-o", data("A.BIN")}).code, 0);
    ASSERT_EQ(run("make-rom", {data("step.lcp"), "-o", data("B.BIN")}).code, 0);
    r = run("diff", {data("A.BIN"), data("B.BIN")});
    EXPECT_EQ(r.code, 1);
    for (const char* line :
         {"setting Node Address: 1 -> 2\n", "CTBL0 04 (4 ): 1 -> 1A\n", "glyph \"A\": only in B\n",
          "area code tables (0x21B8, 1536 bytes): 2 bytes differ\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;

    ASSERT_EQ(run("make-rom", {b, "-o", data("C.BIN")}).code, 0);
    EXPECT_NE(run("diff", {data("A.BIN"), data("C.BIN")}).out.find("message picture 0: the "
                                                                   "pictures differ\n"),
              std::string::npos);
    r = run("diff", {data("A.BIN"), data("A.BIN")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(run("diff", {a, data("A.BIN")}).code, 2);
}

} // namespace
