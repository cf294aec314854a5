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

