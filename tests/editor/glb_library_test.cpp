#include "editor/extract_glb_item.h"
#include "editor/glb_library.h"
#include "support/glb_builder.h"
#include "support/temp_dir.h"
#include "util/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Lift::Editor;
using Lift::Test::GlbBuilder;
using Lift::Test::ReadBytes;
using Lift::Test::TempDir;
using Lift::Test::WriteBytes;
namespace fs = std::filesystem;

TEST(GlbDirectory, DamagedEntriesMakeTheItemAbsent) {
    const std::string good = GlbBuilder().add(2, 10, "0123456789").build();
    const auto size = static_cast<std::uint32_t>(good.size());
    struct Case {
        const char* what;
        std::uint32_t offset, length;
        bool present;
    };
    const Case cases[] = {
        {"ends exactly at the end of the data", size - 10, 10, true},
        {"length zero, whatever the offset", 8, 0, false},
        {"one byte past the end", size - 10, 11, false},
        {"offset at the end", size, 1, false},
        {"offset far past the end", 0x7FFFFFFF, 1, false},
        {"offset + length wraps around 32 bits", 0xFFFFFF00u, 0x200, false},
        {"huge length", 0, 0xFFFFFFFFu, false},
    };
    for (const auto& c : cases) {
        std::string glb = good;
        GlbBuilder::setEntry(glb, 2, 10, c.offset, c.length);
        const auto item = FindGlbItem(glb, 2, 10);
        EXPECT_EQ(item.has_value(), c.present) << c.what;
        if (item) {
            EXPECT_EQ(*item, "0123456789") << c.what;
        }
    }
}

TEST(GlbDirectory, TruncatedDirectoryAndBadAddressesAreAbsent) {
    const std::string full = GlbBuilder().add(3, 200, "item").build();
    const std::size_t at = GlbBuilder::entryOffset(3, 200);
    // The entry itself cut anywhere: absent, never a read past the end.
    for (std::size_t cut = 0; cut < at + 8; cut += (cut < at ? 97 : 1))
        EXPECT_FALSE(FindGlbItem(std::string_view(full).substr(0, cut), 3, 200)) << cut;
    EXPECT_FALSE(FindGlbItem("", 0, 0));

    // Addresses outside 0..7 / 0..255 never alias another item's entry, nor read the data
    // after the directory (here 8 bytes that read as a valid entry) as one.
    const std::string entryLike("\0\0\0\0\0\0\0\x08", 8);
    std::string glb = GlbBuilder().add(1, 0, entryLike).build();
    EXPECT_FALSE(FindGlbItem(glb, 0, 256)) << "would alias (1, 0)";
    EXPECT_FALSE(FindGlbItem(glb, -1, 0));
    EXPECT_FALSE(FindGlbItem(glb, 0, -1));
    EXPECT_FALSE(FindGlbItem(glb, 8, 0));
    EXPECT_EQ(FindGlbItem(glb, 1, 0), entryLike);
}

TEST(GlbLibraryFile, AFailedLoadNamesTheFileAndKeepsWhatWasLoaded) {
    TempDir dir;
    const std::string bytes = GlbBuilder().add(0, 31, "layout-1").build();
    WriteBytes(dir.file("P620BX7.GLB"), bytes);
    GlbLibrary glb;
    std::string error;
    ASSERT_TRUE(LoadGlbFile(dir.file("P620BX7.GLB"), glb, &error)) << error;
    EXPECT_EQ(glb.bytes(), bytes);

    EXPECT_FALSE(LoadGlbFile(dir.file("MISSING.GLB"), glb, &error));
    EXPECT_NE(error.find("MISSING.GLB"), std::string::npos) << error;
    const std::string huge = dir.file("HUGE.GLB");
    WriteBytes(huge, "");
    fs::resize_file(huge, kMaxGlbFileBytes + 1); // sparse: no real disk use
    EXPECT_FALSE(LoadGlbFile(huge, glb, &error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    EXPECT_EQ(glb.item(0, 31), "layout-1");
}

class ExtractGlbItemTest : public ::testing::Test {
protected:
    TempDir dir;
    GlbLibrary glb{GlbBuilder().add(0, 30, "BM first").add(1, 48, "BM second").build()};
    std::string tempPath() const { return dir.file("ZEB_TEMPBMP.BMP"); }
};

TEST_F(ExtractGlbItemTest, WritesTheItemBytesAndASecondCallLeavesOnlyTheSecond) {
    std::string error = "stale";
    EXPECT_EQ(ExtractGlbItem(glb, dir.path().string(), 0, 30, &error), tempPath());
    EXPECT_EQ(error, "");
    EXPECT_EQ(ReadBytes(tempPath()), "BM first");
    const std::string name = ExtractGlbItem(glb, dir.path().string(), 1, 48);
    EXPECT_EQ(ReadBytes(name), "BM second");
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1u);
}

TEST_F(ExtractGlbItemTest, AbsentItemOrFailureLeavesNoPictureAndOnlyFailuresAreReported) {
    WriteBytes(tempPath(), "left from an earlier run");
    std::string error;
    EXPECT_EQ(ExtractGlbItem(glb, dir.path().string(), 5, 5, &error), "");
    EXPECT_EQ(error, "");
    EXPECT_FALSE(fs::exists(tempPath()));
    ExtractGlbItem(glb, dir.path().string(), 0, 30);
    EXPECT_EQ(ExtractGlbItem(GlbLibrary(), dir.path().string(), 0, 30, &error), "");
    EXPECT_EQ(error, "");
    EXPECT_FALSE(fs::exists(tempPath()));

    {
        Lift::Util::FileFaultInjection inject(Lift::Util::FileFault::DiskFull);
        EXPECT_EQ(ExtractGlbItem(glb, dir.path().string(), 0, 30, &error), "");
    }
    EXPECT_NE(error.find("ZEB_TEMPBMP.BMP"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(tempPath()));

    // Something that cannot be deleted sits where the file goes.
    fs::create_directory(tempPath());
    WriteBytes(tempPath() + "/keep", "x");
    EXPECT_EQ(ExtractGlbItem(glb, dir.path().string(), 0, 30, &error), "");
    EXPECT_NE(error.find("Cannot delete"), std::string::npos) << error;
}
