#include "support/golden.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace Lift::Test {

void ExpectGolden(const std::string& name, const std::string& actual) {
    const std::filesystem::path path = std::filesystem::path(LIFT_TEST_DIR) / "golden" / name;
    if (std::getenv("LIFT_REBASELINE")) { // NOLINT(concurrency-mt-unsafe)
        std::filesystem::create_directories(path.parent_path());
        WriteBytes(path.string(), actual);
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
