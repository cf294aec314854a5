#pragma once
// Golden files under tests/golden/. LIFT_REBASELINE_GOLDEN=1 (scripts/rebaseline-golden)
// rewrites them from the current output on purpose; review the diff before committing.

#include <string>

namespace Lift::Test {

// Compares `actual` with tests/golden/<name> byte for byte (fails with the first difference).
void ExpectGolden(const std::string& name, const std::string& actual);

void ReplaceAll(std::string& text, const std::string& from, const std::string& to);

} // namespace Lift::Test
