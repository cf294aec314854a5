#pragma once
// A copy of the bundled data set (data/) in a temporary folder that is the working directory
// while the object lives, as the programs run inside their working folder (the demo names its
// pictures relative to it).

#include "support/temp_dir.h"

#include <filesystem>
#include <string>

namespace Lift::Test {

class BundledDataCopy {
public:
    BundledDataCopy();
    ~BundledDataCopy();
    BundledDataCopy(const BundledDataCopy&) = delete;
    BundledDataCopy& operator=(const BundledDataCopy&) = delete;

    std::string path() const { return m_dir.path().string(); }
    std::string file(const std::string& name) const { return m_dir.file(name); }

private:
    TempDir m_dir;
    std::filesystem::path m_previous;
};

} // namespace Lift::Test
