#pragma once
// Labels of the code-table grid's two fixed columns.

#include <string>

namespace Lift::Editor {

// Column 1 of row code+1: two upper-case hex digits, " (", decimal, " )" -> "0A (10 )".
std::string CodeColumnLabel(int code);

// Column 0 of row code+1: the 6-bit input pattern selecting the code, most significant bit
// first, for codes 0..63; empty for the others. In Gray order bit 5 stays and bits 4..0 are
// the reflected Gray code of code mod 32.
std::string InputPatternLabel(int code, bool grayOrder);

// Gray order is used while the selected version is "ZEB-GRY".
bool UsesGrayOrder(const std::string& versionName);

} // namespace Lift::Editor
