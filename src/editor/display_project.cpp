#include "editor/display_project.h"

#include "editor/text_rules.h"

namespace Lift::Editor {

const std::array<const char*, kPowerSavingCount> kPowerSavingItems = {
    "0",   "5",   "10",  "20",  "30",  "40",  "50",  "60", "120",
    "180", "240", "300", "360", "420", "480", "540", "600"};

std::string DisplayProject::selectedVersionText() const {
    if (versionIndex < 0 || versionIndex >= static_cast<int>(versionEntries.size()))
        return {};
    return Trimmed(versionEntries[static_cast<size_t>(versionIndex)]);
}

bool DisplayProject::allCodeTablesBlank() const {
    for (const auto& table : codeTables)
        for (const auto& entry : table)
            if (!IsBlank(entry))
                return false;
    return true;
}

int NormalisedMessageMask(int mask) {
    switch (mask) {
    case 0:
    case 1:
    case 2:
    case 11:
    case 15:
        return 3;
    case 4:
    case 13:
    case 14:
        return 12;
    case 7:
        return 5;
    case 8:
        return 10;
    case 3:
    case 5:
    case 6:
    case 9:
    case 10:
    case 12:
        return mask;
    default:
        // Only the low four bits are check boxes; anything else is treated like no choice.
        return 3;
    }
}

int MaskFromBoxes(const std::array<bool, 4>& boxes) {
    int mask = 0;
    for (int i = 0; i < 4; ++i)
        if (boxes[static_cast<size_t>(i)])
            mask |= 1 << i;
    return mask;
}

std::array<bool, 4> BoxesFromMask(int mask) {
    std::array<bool, 4> boxes{};
    for (int i = 0; i < 4; ++i)
        boxes[static_cast<size_t>(i)] = (mask >> i) & 1;
    return boxes;
}

std::string LiftStateStem(int row, int column) {
    static const char* const stems[kSlotRows] = {"FIRE",     "QUAKE",    "ALARM", "OUT_OF_SERVICE",
                                                 "OVERLOAD", "MAINTAIN", "FULL",  "VIP",
                                                 "PARKING",  "IND"};
    if (row < 0 || row >= kSlotRows)
        return {};
    if (row == 2 && (column == 1 || column == 3))
        return "BREAKDOWN";
    return stems[row];
}

std::string DefaultLiftStateFileName(int row, int column) {
    static const char* const suffixes[kSlotColumns] = {"-16x64_EN.bmp", "-16x64_CHT.bmp",
                                                       "-INV-16x64_EN.bmp", "-INV-16x64_CHT.bmp"};
    if (column < 0 || column >= kSlotColumns)
        return {};
    return LiftStateStem(row, column) + suffixes[column];
}

std::string LiftStateKey(int row, int column) {
    static const char* const suffixes[kSlotColumns] = {"_A", "_B", "_C", "_D"};
    return "LeftState_" + std::to_string(row) + suffixes[column];
}

bool SlotOfPicture(int pictureNumber, int& row, int& column) {
    const int k = pictureNumber - 14;
    if (k < 0 || k >= kSlotRows * kSlotColumns)
        return false;
    row = k / 4;
    column = kSlotColumnsOnScreen[static_cast<std::size_t>(k % 4)];
    return true;
}

} // namespace Lift::Editor
