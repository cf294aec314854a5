#include "support/temp_dir.h"
#include "util/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace Lift::Util;
using Lift::Test::ReadBytes;
using Lift::Test::TempDir;
using Lift::Test::WriteBytes;
namespace fs = std::filesystem;

namespace {
size_t entriesIn(const fs::path& dir) {
    size_t n = 0;
    for (auto it = fs::directory_iterator(dir); it != fs::directory_iterator(); ++it)
        ++n;
    return n;
}
} // namespace

TEST(AtomicFile, WritesNewAndReplacesExisting) {
    TempDir dir;
    const std::string path = dir.file("a.ini");
    ASSERT_TRUE(WriteFileAtomically(path, "first"));
    EXPECT_EQ(ReadBytes(path), "first");
    ASSERT_TRUE(WriteFileAtomically(path, std::string("sec\0ond", 7)));
    EXPECT_EQ(ReadBytes(path), std::string("sec\0ond", 7));
    ASSERT_TRUE(WriteFileAtomically(path, ""));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "no temporary file may stay behind";
}

TEST(AtomicFile, EveryFailingStepLeavesTheOldFileAndNoLeftovers) {
    for (FileFault fault : {FileFault::Create, FileFault::Write, FileFault::DiskFull,
                            FileFault::Flush, FileFault::Rename}) {
        TempDir dir;
        const std::string path = dir.file("project.lcp");
        WriteBytes(path, "old contents\r\n");
        std::string error;
        {
            FileFaultInjection inject(fault);
            EXPECT_FALSE(WriteFileAtomically(path, std::string(100000, 'n'), &error)) << int(fault);
        }
        EXPECT_EQ(ReadBytes(path), "old contents\r\n") << int(fault);
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_EQ(entriesIn(dir.path()), 1u) << int(fault);
    }
}

TEST(AtomicFile, KeepsPermissionsAndFollowsLinks) {
    TempDir dir;
    const std::string path = dir.file("ro.ini");
    WriteBytes(path, "x");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(path, "y"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    const std::string link = dir.file("link.ini");
    fs::create_symlink(path, link);
    ASSERT_TRUE(WriteFileAtomically(link, "via link"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(path), "via link");
}

TEST(AtomicFile, MissingFolderOrDirectoryTargetIsReported) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(dir.file("nope/x.bin"), "a", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(WriteFileAtomically(dir.path().string(), "a", &error));
    EXPECT_TRUE(fs::is_directory(dir.path()));
}

