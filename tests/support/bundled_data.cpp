#include "support/bundled_data.h"

namespace Lift::Test {

BundledDataCopy::BundledDataCopy() : m_previous(std::filesystem::current_path()) {
    std::filesystem::copy(std::filesystem::path(LIFT_SOURCE_DIR) / "data", m_dir.path(),
                          std::filesystem::copy_options::recursive);
    std::filesystem::current_path(m_dir.path());
}

// Tests that change the working directory themselves get the one from before back too.
BundledDataCopy::~BundledDataCopy() { std::filesystem::current_path(m_previous); }

} // namespace Lift::Test
