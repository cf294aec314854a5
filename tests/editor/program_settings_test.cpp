#include "editor/program_settings.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <map>
#include <stdexcept>

using namespace Lift::Editor;
using Lift::Test::ScriptedUi;
using Lift::Test::TempDir;
using Lift::Test::WriteBytes;
namespace fs = std::filesystem;

namespace {

using Sections = std::map<std::string, std::map<std::string, std::string>>;

// An in-memory settings file with the engine's reading rules that matter here: absent
// section or key gives the default, a present non-integer value throws.
class FakeSettings : public SettingsReader {
public:
    FakeSettings(const Sections& sections, int& reads) : m_sections(sections), m_reads(reads) {}
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& def) override {
        ++m_reads;
        const std::string* v = find(section, key);
        return v ? *v : def;
    }
    int readInteger(const std::string& section, const std::string& key, int def) override {
        ++m_reads;
        const std::string* v = find(section, key);
        if (!v)
            return def;
        int out = 0;
        const auto r = std::from_chars(v->data(), v->data() + v->size(), out);
        if (r.ec != std::errc() || r.ptr != v->data() + v->size())
            throw std::runtime_error("'" + *v + "' is not a valid integer value");
        return out;
    }

private:
    const std::string* find(const std::string& section, const std::string& key) const {
        const auto s = m_sections.find(section);
        if (s == m_sections.end())
            return nullptr;
        const auto k = s->second.find(key);
        return k == s->second.end() ? nullptr : &k->second;
    }
    const Sections& m_sections;
    int& m_reads;
};

class ProgramSettingsTest : public ::testing::Test {
protected:
    TempDir dir;
    Sections file;
    std::vector<std::string> opened;
    int reads = 0;
    ScriptedUi ui;
    ProgramSettings settings;
    DisplayProject project;

    SettingsFileOpener opener() {
        return [this](const std::string& path) -> std::unique_ptr<SettingsReader> {
            opened.push_back(path);
            return std::make_unique<FakeSettings>(file, reads);
        };
    }
    void createFile() { WriteBytes(dir.file(kProgramSettingsFileName), "[GLOBAL]\r\n"); }
    void read() { ReadProgramSettings(dir.path().string(), opener(), settings, project, ui); }
    void select(const std::string& name) {
        SelectVersion(name, dir.path().string(), opener(), settings, project, ui);
    }
    void expectUntouched() {
        EXPECT_EQ(settings.glbFileName, "P620BX7.GLB");
        EXPECT_EQ(settings.userGlbFileName, "");
        EXPECT_EQ(settings.versionSettings, (VersionSettings{1, 41, 1, 1}));
        EXPECT_TRUE(project.versionEntries.empty());
        EXPECT_EQ(project.versionIndex, -1);
        EXPECT_EQ(project.versionName, "");
    }
};

} // namespace

TEST_F(ProgramSettingsTest, MissingFileIsReportedAndNothingIsRead) {
    read();
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{"Error | ZEBPRV620BX7.INI file not found!!\n\n"});
    EXPECT_TRUE(opened.empty());
    expectUntouched();
}

TEST_F(ProgramSettingsTest, NoVersionCountListsTheTwoInitialVersions) {
    createFile();
    for (const char* vcn : {"", "0"}) {
        file = {{"GLOBAL", {{"GLB", "OTHER.GLB"}, {"UBFGLB", "USER.UBF"}}},
                {"ZEB-INITDL", {{"CFI", "5"}}}}; // not read: the initial values are fixed
        if (*vcn)
            file["GLOBAL"]["VCN"] = vcn;
        project = DisplayProject{};
        read();
        EXPECT_EQ(settings.glbFileName, "OTHER.GLB");
        EXPECT_EQ(settings.userGlbFileName, "USER.UBF");
        EXPECT_EQ(project.versionEntries, (std::vector<std::string>{"ZEB-INITDL", "ZEB-PINITDL"}));
        EXPECT_EQ(project.versionIndex, -1) << "no entry selected";
        EXPECT_EQ(project.versionName, "ZEB-INITDL");
        EXPECT_EQ(settings.versionSettings, (VersionSettings{48, 41, 1, 1})) << vcn;
    }
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_TRUE(ui.status[1].empty()) << "start-up writes the status panel, not the reader";
}

TEST_F(ProgramSettingsTest, BlankItemsAreSkippedAndTheFirstListedIsSelected) {
    createFile();
    file = {{"GLOBAL", {{"VCN", "3"}, {"ITEM1", " \t "}, {"ITEM2", " ZEB-GRY "}, {"ITEM3", "B"}}},
            {"ZEB-GRY", {{"CFI", "7"}, {"DISPHV", "0"}}},
            {"B", {{"CFI", "9"}}}};
    read();
    EXPECT_EQ(project.versionEntries, (std::vector<std::string>{" ZEB-GRY ", "B"}))
        << "entries are kept as read";
    EXPECT_EQ(project.versionIndex, 0);
    EXPECT_EQ(project.versionName, "ZEB-GRY");
    EXPECT_EQ(settings.versionSettings, (VersionSettings{7, 41, 0, 1}));
    EXPECT_EQ(settings.glbFileName, "P620BX7.GLB");
}

TEST_F(ProgramSettingsTest, NoUsableEntryOrMissingSectionGivesKeyDefaults) {
    createFile();
    file = {{"GLOBAL", {{"VCN", "2"}, {"ITEM1", ""}}}};
    read();
    EXPECT_TRUE(project.versionEntries.empty());
    EXPECT_EQ(project.versionIndex, -1);
    EXPECT_EQ(project.versionName, "");
    EXPECT_EQ(settings.versionSettings, (VersionSettings{0, 41, 1, 1}));

    file = {{"GLOBAL", {{"VCN", "1"}, {"ITEM1", "NO-SUCH-SECTION"}}}};
    read();
    EXPECT_EQ(project.versionName, "NO-SUCH-SECTION");
    EXPECT_EQ(settings.versionSettings, (VersionSettings{0, 41, 1, 1}));
}

TEST_F(ProgramSettingsTest, HugeVersionCountDoesNotHang) {
    createFile();
    file = {{"GLOBAL", {{"VCN", "2147483647"}, {"ITEM5", "V5"}}}};
    read();
    EXPECT_EQ(project.versionEntries, std::vector<std::string>{"V5"});
    EXPECT_LE(reads, kMaxVersionCount + 10);
}

TEST_F(ProgramSettingsTest, UnreadableValuesAreReportedAndChangeNothing) {
    createFile();
    file = {{"GLOBAL", {{"GLB", "OTHER.GLB"}, {"VCN", "two"}}}};
    read();
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{"Error | 'two' is not a valid integer value\n\n"});
    expectUntouched();

    file = {{"GLOBAL", {{"VCN", "1"}, {"ITEM1", "A"}}}, {"A", {{"ENCODE", "1x"}}}};
    read();
    EXPECT_EQ(ui.messages().size(), 2u);
    expectUntouched();

    // The file cannot be opened at all.
    ReadProgramSettings(
        dir.path().string(),
        [](const std::string&) -> std::unique_ptr<SettingsReader> {
            throw std::runtime_error("Cannot open ZEBPRV620BX7.INI: Permission denied");
        },
        settings, project, ui);
    EXPECT_EQ(ui.messages().back(), "Error | Cannot open ZEBPRV620BX7.INI: Permission denied\n\n");
    expectUntouched();
}

TEST_F(ProgramSettingsTest, SelectVersionReadsItsSectionAndShowsTheName) {
    file = {{"ZEB-P", {{"CFI", "60"}, {"IFI", "42"}, {"DISPHV", "2"}, {"ENCODE", "0"}}}};
    select("ZEB-P");
    EXPECT_EQ(settings.versionSettings, (VersionSettings{60, 42, 2, 0}));
    EXPECT_EQ(project.versionName, "ZEB-P");
    EXPECT_EQ(ui.status[1], "Version: ZEB-P");
    // Opened without checking that it exists: the engine then creates it empty.
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], dir.file(kProgramSettingsFileName));
    EXPECT_FALSE(fs::exists(opened[0]));

    select("ZEB-MISSING");
    EXPECT_EQ(settings.versionSettings, (VersionSettings{0, 41, 1, 1}));
    EXPECT_EQ(ui.status[1], "Version: ZEB-MISSING");

    // After loading a project with no version: the empty name, the defaults, file opened.
    select("");
    EXPECT_EQ(settings.versionSettings, (VersionSettings{0, 41, 1, 1}));
    EXPECT_EQ(project.versionName, "");
    EXPECT_EQ(ui.status[1], "Version: ");
    EXPECT_EQ(opened.size(), 3u);
}

TEST_F(ProgramSettingsTest, SelectVersionKeepsEverythingOnUnreadableValue) {
    file = {{"GOOD", {{"CFI", "3"}}}, {"BAD", {{"CFI", "3"}, {"IFI", "forty"}}}};
    select("GOOD");
    select("BAD");
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{"Error | 'forty' is not a valid integer value\n\n"});
    EXPECT_EQ(settings.versionSettings, (VersionSettings{3, 41, 1, 1}));
    EXPECT_EQ(project.versionName, "GOOD");
    EXPECT_EQ(ui.status[1], "Version: GOOD");
}
