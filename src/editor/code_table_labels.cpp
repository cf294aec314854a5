#include "editor/code_table_labels.h"

#include "editor/display_project.h"
#include "util/standalone_function.h"

namespace Lift::Editor {

std::string CodeColumnLabel(int code) {
    return YVclUtil::Format("%02X (%d )", code & 0xFF, code & 0xFF);
}

std::string InputPatternLabel(int code, bool grayOrder) {
    if (code < 0 || code > 63)
        return {};
    int pattern = code;
    if (grayOrder) {
        const int low = code & 31;
        pattern = (code & 32) | (low ^ (low >> 1));
    }
    std::string out(6, '0');
    for (int bit = 0; bit < 6; ++bit)
        if (pattern & (1 << bit))
            out[static_cast<size_t>(5 - bit)] = '1';
    return out;
}

bool UsesGrayOrder(const std::string& versionName) {
    return versionName == kGrayVersionName;
}

} // namespace Lift::Editor
