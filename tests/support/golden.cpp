#include "support/golden.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace Lift::Test {

void ExpectGolden(const std::string& name, const std::string& actual) {
    const std::filesystem::path path = std::filesystem::path(LIFT_TEST_DIR) / "golden" / name;
    const char* rebaseline = std::getenv("LIFT_REBASELINE_GOLDEN"); // NOLINT(concurrency-mt-unsafe)
    if (rebaseline && std::string(rebaseline) == "1") {
        std::filesystem::create_directories(path.parent_path());
        WriteBytes(path.string(), actual);
        std::printf("re-baselined %s\n", path.string().c_str());
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(path)) << "missing golden file " << path;
    const std::string expected = ReadBytes(path.string());
    if (expected == actual)
        return;
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    ADD_FAILURE() << "output differs from " << path << " at byte " << at << " (expected "
                  << expected.size() << " bytes, got " << actual.size()
                  << ")\nexpected: " << expected.substr(at, 60)
                  << "\nactual:   " << actual.substr(at, 60);
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty())
        return;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace Lift::Test
