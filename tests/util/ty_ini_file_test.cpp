#include "util/ty_ini_file.h"

#include "support/error_box_recorder.h"
#include "support/temp_dir.h"
#include "util/atomic_file.h"
#include "util/econvert_error.h"
#include "util/eygeneral.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>

using namespace YVclUtil;
using Lift::Test::ErrorBoxRecorder;
using Lift::Test::ReadBytes;
using Lift::Test::TempDir;
using Lift::Test::WriteBytes;
namespace fs = std::filesystem;

namespace {

const std::string kDataDir = std::string(LIFT_TEST_DIR) + "/util/data/ini/";

// Loads `bytes` as a file, applies `edit`, destroys the object; returns the file after.
std::string roundTrip(const std::string& bytes, const std::function<void(TYIniFile&)>& edit) {
    TempDir dir;
    const std::string path = dir.file("t.ini");
    WriteBytes(path, bytes);
    {
        TYIniFile ini(path);
        edit(ini);
    }
    return ReadBytes(path);
}

std::string saveOf(const std::string& bytes) {
    return roundTrip(bytes, [](TYIniFile& ini) {
        ini.WriteString("zz", "k", "v");
        ini.EraseSection("zz");
    });
}

std::string convertMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "<no exception>";
}

// Compares with a golden file; LIFT_UPDATE_GOLDEN=1 rewrites it instead.
void expectGolden(const std::string& name, const std::string& actual) {
    const std::string path = kDataDir + name;
    if (std::getenv("LIFT_UPDATE_GOLDEN")) {
        WriteBytes(path, actual);
        return;
    }
    EXPECT_EQ(actual, ReadBytes(path)) << "golden file " << path;
}

} // namespace

// --- construction and the file on disk ---------------------------------------------------

TEST(IniFileConstruct, FailuresShowTheBoxAndThrow) {
    TempDir dir;
    ErrorBoxRecorder boxes;
    auto constructorError = [](const std::string& path) {
        try {
            TYIniFile ini(path);
        } catch (const EYGeneral& e) {
            return e.Message();
        }
        return std::string("<constructed>");
    };
    EXPECT_EQ(constructorError(dir.file("a/b/c.ini")), "Err: Constructor !!!");
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.at(0).caption, "TYIniFile");
    EXPECT_EQ(boxes.at(0).text, "Err: Can not create directory \n \"" + dir.file("a/b/") + "\" ");
    EXPECT_FALSE(fs::exists(dir.file("a")));

    boxes.clear();
    fs::create_directory(dir.file("folder.ini"));
    EXPECT_EQ(constructorError(dir.file("folder.ini")), "Err: Constructor !!!");
    EXPECT_EQ(boxes.at(0).text, "Err: Can not create file \n \"" + dir.file("folder.ini") + "\" ");

    boxes.clear();
    TYStrTab* none = nullptr;
    EXPECT_THROW(TYIniFile(dir.file("x.ini"), none), EYGeneral);
    EXPECT_EQ(boxes.at(0).text, "Err: Can not create TYHashedStringList for Sections !!!");
}

// --- loading rules -----------------------------------------------------------------------

TEST(IniFileLoad, TheExampleFileSavesAsGolden) {
    const std::string input = ReadBytes(kDataDir + "example.ini");
    expectGolden("example.saved.ini", saveOf(input));
}

TEST(IniFileLoad, LineRules) {
    struct Case {
        const char* input;
        const char* saved;
    };
    const Case cases[] = {
        {"[A]\nk=v\n", "[A]\r\nk=v\r\n\r\n"},
        {"k=v\n[A]\n", ""},                              // no section yet: nothing stored
        {"  [ A ]x\nk=v\n", "[A]\r\nk=v\r\n\r\n"},       // text after ']' ignored
        {"[A\nk=v\n", ""},                               // "[A" opens nothing
        {"[S]\n[A=B\n", "[S]\r\n[A=B\r\n\r\n"},          // but "[A=B" is a key line
        {"[S]\n#k=v\n  #k=v\n", "[S]\r\n #k=v\r\n\r\n"}, // comment only in column 1
        {"[S]\n;k=v\n", "[S]\r\n;k=v\r\n\r\n"},
        {"[S]\nk=\nj=   \n", ""},                            // empty values are not loaded
        {"[S]\n\tk\t=\t v \t\n", "[S]\r\nk\t=v \t\r\n\r\n"}, // only spaces are trailing blanks
        {"[S]\nk = a = b\n", "[S]\r\nk=a = b\r\n\r\n"},
        {"[ ]\nk=v\n", ""},
        {"[S]\nk=1\nj=2\nk=3\n[T]\nx=y\n[S]\nj=4\nn=5\n",
         "[S]\r\nk=3\r\nj=4\r\nn=5\r\n\r\n[T]\r\nx=y\r\n\r\n"}, // merged, first place, last value
        {"[S]\r\nk=v\r\n", "[S]\r\nk=v\r\n\r\n"},
        {"[E]\n[S]\nk=v\n", "[S]\r\nk=v\r\n\r\n"}, // a header without keys makes no section
        {"[Main]\na=1\n[main]\na=2\n", "[Main]\r\na=1\r\n\r\n[main]\r\na=2\r\n\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(saveOf(c.input), c.saved) << c.input;
}

TEST(IniFileLoad, OddBytesLoadWithoutHarm) {
    // NUL ends the line's text; CR alone is no line end; a BOM makes the first header a
    // key line; very long lines come in pieces of 8191 characters.
    EXPECT_EQ(saveOf(std::string("[S]\nk=v\0w\nj\0=1\n", 15)), "[S]\r\nk=v\r\n\r\n");
    EXPECT_EQ(saveOf("[S]\rk=v\rj=w\r"), "");
    EXPECT_EQ(saveOf("[S]\nk=v\rj=w\r\n"), "[S]\r\nk=v\r\n\r\n") << "a value ends at CR";
    EXPECT_EQ(saveOf("[S]\nk\rj=w\r\n"), "[S]\r\nk\rj=w\r\n\r\n") << "a key may hold one";
    EXPECT_EQ(saveOf("\xEF\xBB\xBF[S]\nk=v\n"), "");
    EXPECT_EQ(saveOf("[S]\n\xEF\xBB\xBFk=v\n"), "[S]\r\n\xEF\xBB\xBFk=v\r\n\r\n");

    const std::string longValue(100000, 'x');
    std::string saved = saveOf("[S]\nk=" + longValue + "\nnext=1\n");
    // First piece: "k=" and 8189 x; the rest are pieces of x without '=', ignored.
    EXPECT_EQ(saved, "[S]\r\nk=" + std::string(8189, 'x') + "\r\nnext=1\r\n\r\n");

    const std::string name300(300, 'n');
    EXPECT_EQ(saveOf("[" + name300 + "]\nk=v\n[S]\n" + name300 + "=1\nok=1\n"),
              "[S]\r\nok=1\r\n\r\n");
    const std::string name256(256, 'n');
    EXPECT_EQ(saveOf("[" + name256 + "]\n" + name256 + "=1\n"),
              "[" + name256 + "]\r\n" + name256 + "=1\r\n\r\n");
}

// --- saving ------------------------------------------------------------------------------

TEST(IniFileSave, FormatOfEditsIsGolden) {
    const std::string saved = roundTrip("", [](TYIniFile& ini) {
        ini.WriteString("Main", "Name", "Lift 1");
        ini.WriteInteger("Main", "Floors", -5);
        ini.WriteUnsigned("Main", "Mask", 4294967295u);
        ini.WriteHexNum("Main", "Id", 26);
        ini.WriteFloat("Main", "Ratio", 1.5);
        ini.WriteBool("Flags", "b0", true, 0);
        ini.WriteBool("Flags", "b1", false, 1);
        ini.WriteBool("Flags", "b2", true, 2);
        ini.WriteBool("Flags", "b3", false, 3);
        ini.WriteBool("Flags", "b9", true, 9);
        ini.WriteDate("Time", "Date", 46362.0);
        ini.WriteTime("Time", "Time", 0.75);
        ini.WriteDateTime("Time", "Both", 46362.5);
        ini.Printf("Main", "Fmt", "%s-%03d", "p", 7);
        ini.WriteString("Main", "Name", "Lift 2"); // keeps its place
        ini.WriteString("Gone", "k", "v");
        ini.EraseSection("Gone");
        ini.WriteString("Empty", "k", "v");
        ini.DeleteKey("Empty", "k");
        ini.WriteString("Flags", "blank", "x");
        ini.DeleteValue("Flags", "blank");
    });
    expectGolden("edits.saved.ini", saved);
}

TEST(IniFileSave, UpdateFileWritesOnceAndFileNameMovesTheModel) {
    TempDir dir;
    TYIniFile ini(dir.file("a.ini"));
    EXPECT_TRUE(ini.UpdateFile());
    ini.WriteString("S", "k", "v");
    EXPECT_TRUE(ini.Modified());
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ReadBytes(dir.file("a.ini")), "[S]\r\nk=v\r\n\r\n");
    ini.WriteString("S", "k", "dropped");
    ini.WriteString("T", "k", "dropped");
    ini.DiscardChanges(); // back to what the file holds, with nothing left to write
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ini.ReadString("S", "k", ""), "v");
    EXPECT_FALSE(ini.SectionExists("T"));
    WriteBytes(dir.file("a.ini"), "changed outside");
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReadBytes(dir.file("a.ini")), "changed outside") << "nothing to write";
    ini.pw_FileName(dir.file("b.ini"));
    EXPECT_TRUE(ini.Modified());
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReadBytes(dir.file("b.ini")), "[S]\r\nk=v\r\n\r\n");
}

TEST(IniFileSave, FailedSaveKeepsOldFileAndStaysModified) {
    using Lift::Util::FileFault;
    for (FileFault fault : {FileFault::Create, FileFault::Write, FileFault::DiskFull,
                            FileFault::Flush, FileFault::Rename}) {
        TempDir dir;
        const std::string path = dir.file("p.ini");
        const std::string old = "[Old]\r\nk=v\r\n\r\n";
        WriteBytes(path, old);
        ::chmod(path.c_str(), 0640);
        ErrorBoxRecorder boxes;
        TYIniFile ini(path);
        ini.WriteString("New", "big", std::string(5000, 'n'));
        {
            Lift::Util::FileFaultInjection inject(fault);
            EXPECT_FALSE(ini.UpdateFile()) << int(fault);
        }
        EXPECT_TRUE(ini.Modified());
        EXPECT_EQ(ReadBytes(path), old) << int(fault);
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.at(0).caption, "TYIniFile");
        EXPECT_EQ(boxes.at(0).text, "Err: Can not create file \n \"" + path + "\" ");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
        EXPECT_TRUE(ini.UpdateFile()) << "a later save succeeds";
        EXPECT_NE(ReadBytes(path).find("[New]"), std::string::npos);
        struct stat st {};
        ::stat(path.c_str(), &st);
        EXPECT_EQ(st.st_mode & 0777, 0640u) << "permissions kept";
    }
}

// --- what a write may hold -------------------------------------------------------------

namespace {

// Writes one entry to the file at `path` and saves; false when the write was refused.
bool writeAndSave(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value) {
    TYIniFile ini(path);
    try {
        ini.WriteString(section, key, value);
    } catch (const EYGeneral&) {
        return false;
    }
    return true;
}

// What loading gives back: leading white space and trailing spaces dropped.
std::string loaded(const std::string& text) {
    const std::size_t begin = text.find_first_not_of(" \t\n\v\f\r");
    if (begin == std::string::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(' ') + 1 - begin);
}

} // namespace

// What a write may hold. An accepted entry loads back (blanks at the ends dropped); a
// refused one leaves the file as it was.
TEST(IniFileWrite, WhatTheFileCanCarry) {
    struct Case {
        std::string section, key, value;
        bool accepted;
    };
    const std::string n256(256, 'n');
    const Case cases[] = {
        {" \tS ", " k\t ", "  v = w  ", true}, // read back as "S", "k\t", "v = w"
        {"[S;#=", "#k[", "[v]", true},
        {"S", "[k", "v", true},
        {"S", "[k", "v]", false}, // "[k=v]" reads as a section
        {"S", "[k]", "", false},
        {"S", "k=", "v", false},
        {"S]", "k", "v", false},
        {"S", "k", "v\rw", false},
        {"S\n", "k", "v", false},
        {"S", std::string("k\0", 2), "v", false},
        {" ", "k", "v", false},
        {"S", "\t", "v", false},
        {"S", "k", std::string(8189, 'v'), true}, // "k=" and the value: 8191 characters
        {"S", "k", std::string(8190, 'v'), false},
        {"S", "#k", std::string(8187, 'v'), true}, // saved after a blank
        {"S", "#k", std::string(8188, 'v'), false},
        {n256, n256, "v", true},
        {n256 + "n", "k", "v", false},
        {"S", n256 + "n", "v", false},
        {"", "k", "v", true}, // no section or no key: nothing to do
        {"S", "", "v", true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        ErrorBoxRecorder boxes;
        const std::string path = dir.file("t.ini");
        const std::string old = "[S]\r\nk=old\r\n\r\n";
        WriteBytes(path, old);
        ASSERT_EQ(writeAndSave(path, c.section, c.key, c.value), c.accepted) << c.section;
        EXPECT_EQ(boxes.count(), c.accepted ? 0u : 1u);
        if (c.accepted && !c.section.empty() && !c.key.empty())
            EXPECT_EQ(TYIniFile(path).ReadString(loaded(c.section), loaded(c.key), ""),
                      loaded(c.value));
        else
            EXPECT_EQ(ReadBytes(path), old);
    }

    // The message names both on one line, control characters escaped, long names cut.
    TempDir dir;
    ErrorBoxRecorder boxes;
    const std::string section = "Lift state!" + std::string(53, 's'); // 64 characters
    EXPECT_FALSE(writeAndSave(dir.file("m.ini"), section, "\r\n\x01" + std::string(70, 'k'), "v"));
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.at(0).caption, "TYIniFile");
    EXPECT_EQ(boxes.at(0).text, "Err: Can not write key \"\\r\\n\\x01" + std::string(61, 'k') +
                                    "...\" of section \"" + section +
                                    "\": the key holds a line break !!!");
}

// --- lookups, cache, deletions -----------------------------------------------------------

TEST(IniFileLookup, ExistenceOfSectionsKeysAndValues) {
    roundTrip("[Main]\nk=v\n", [](TYIniFile& ini) {
        EXPECT_TRUE(ini.SectionExists("Main"));
        EXPECT_FALSE(ini.SectionExists("main"));
        EXPECT_FALSE(ini.SectionExists(""));
        EXPECT_TRUE(ini.KeyExists("Main", "k"));
        EXPECT_FALSE(ini.KeyExists("main", "k"));
        EXPECT_TRUE(ini.ValueExists("Main", "k"));
        ini.WriteString("Main", "k", "");
        EXPECT_TRUE(ini.KeyExists("Main", "k"));
        EXPECT_FALSE(ini.ValueExists("Main", "k"));
        EXPECT_EQ(ini.ReadString("Main", "k", "dflt"), "dflt");
        ini.EraseSection("Main");
        EXPECT_FALSE(ini.SectionExists("Main"));
        EXPECT_FALSE(ini.SectionExists(""));
    });
}

// --- typed reads -------------------------------------------------------------------------

// The typed reads and comparisons on top of the text conversions: defaults, errors, forms.
TEST(IniFileRead, TypedValuesDefaultsErrorsAndComparisons) {
    roundTrip("[N]\nneg=-5\nbad=12abc\nv=Beta\n", [](TYIniFile& ini) {
        EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -5);
        EXPECT_EQ(ini.ReadInteger("N", "absent", 77), 77);
        EXPECT_EQ(convertMessage([&] { ini.ReadInteger("N", "bad", 0); }),
                  "'12abc' is not a valid integer value");
        ini.WriteUnsigned("U", "max", 4294967295u);
        EXPECT_EQ(ini.ReadString("U", "max", ""), "-1");
        EXPECT_EQ(ini.ReadUnsigned("U", "max", 0), 4294967295u);
        ini.WriteHexNum("U", "hex", 26);
        EXPECT_EQ(ini.ReadString("U", "hex", ""), "0x1A");
        EXPECT_EQ(ini.ReadHexNum("U", "hex", 0), 26u);
        EXPECT_EQ(ini.ReadUnsigned("N", "v", 9), 9u);
        ini.WriteFloat("F", "f", 1.5);
        EXPECT_EQ(ini.ReadString("F", "f", ""), "1.500000");
        EXPECT_EQ(ini.ReadFloat("F", "f", 0), 1.5);
        EXPECT_EQ(ini.ReadFloat("N", "v", 2.5), 2.5);

        // The first letter decides; anything else, or nothing, gives the default.
        for (const char* t : {"Yes", "yes", "High", "h", "true", "T", "1", "Not", "Low", "l",
                              "false", "f", "0", "?", ""}) {
            ini.WriteString("B", "b", t);
            const bool yes = std::string("YyHhTt1").find(t[0]) != std::string::npos && *t;
            const bool no = std::string("NnLlFf0").find(t[0]) != std::string::npos && *t;
            EXPECT_EQ(ini.ReadBool("B", "b", false), yes) << t;
            EXPECT_EQ(ini.ReadBool("B", "b", true), !no) << t;
        }
        ini.WriteBool("B", "b", false, 3);
        EXPECT_EQ(ini.ReadString("B", "b", ""), "Not");

        EXPECT_EQ(ini.StrCmp("N", "v", "Beta"), 0);
        EXPECT_EQ(ini.StrCmp("N", "v", "Alpha"), 1);
        EXPECT_NE(ini.StrCmp("N", "v", "beta"), 0);
        EXPECT_EQ(ini.StrICmp("N", "v", "bETA"), 0);
        EXPECT_EQ(ini.StrICmp("N", "v", "GAMMA"), -1);
        EXPECT_EQ(ini.StrCmp("N", "absent", "a"), -1);
    });
}

TEST(IniFileRead, DatesAndTimesRoundTripThroughTheFile) {
    TempDir dir;
    const std::string path = dir.file("d.ini");
    const double when = 46362.0 + (13 * 3600 + 14 * 60 + 15) / 86400.0;
    {
        TYIniFile ini(path);
        ini.WriteDate("D", "date", when);
        ini.WriteTime("D", "time", when);
        ini.WriteDateTime("D", "both", when);
        ini.WriteCurrentDateTime("D", "now");
        ini.WriteString("D", "bad", "31.12.2026");
    }
    TYIniFile ini(path);
    EXPECT_EQ(ini.ReadDate("D", "date", 0), 46362.0);
    EXPECT_NEAR(ini.ReadTime("D", "time", 0), when - 46362.0, 1e-9);
    EXPECT_NEAR(ini.ReadDateTime("D", "both", 0), when, 1e-9);
    EXPECT_GT(ini.ReadDateTime("D", "now", 0), 46000.0);
    EXPECT_EQ(ini.ReadDate("D", "absent", -3), -3);
    EXPECT_EQ(convertMessage([&] { ini.ReadDate("D", "bad", 0); }),
              "'31.12.2026' is not a valid date");
    EXPECT_EQ(convertMessage([&] { ini.ReadTime("D", "bad", 0); }),
              "'31.12.2026' is not a valid time");
    EXPECT_EQ(convertMessage([&] { ini.ReadDateTime("D", "bad", 0); }),
              "'31.12.2026' is not a valid date and time");
}
