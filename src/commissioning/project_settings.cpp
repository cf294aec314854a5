#include "commissioning/project_settings.h"

#include "editor/text_rules.h"
#include "rom/make_rom.h"

namespace Lift::Commissioning {

namespace {

using Editor::DisplayProject;

bool within(int value, int first, int count) {
    return value >= first && value < first + count;
}

// A combo-backed value: the item's text, or the stored number when it selects no item.
std::string item(int index, int count, const std::string& text) {
    return within(index, 0, count) ? text : std::to_string(index);
}

bool isNormalisedMask(int mask) {
    return within(mask, 0, 16) && Editor::NormalisedMessageMask(mask) == mask;
}

std::string maskText(int mask) {
    if (!within(mask, 0, 16))
        return std::to_string(mask);
    std::string boxes;
    for (int bit = 0; bit < 4; ++bit)
        if (mask & (1 << bit))
            boxes += (boxes.empty() ? "" : " and ") + std::to_string(bit + 1);
    return "boxes " + (boxes.empty() ? std::string("none") : boxes) + " (" + std::to_string(mask) +
           ")";
}

std::string positionText(int position) {
    static const char* const names[] = {"left", "middle", "right"};
    return within(position, 0, Editor::kMessagePositionCount)
               ? names[static_cast<std::size_t>(position)]
               : std::to_string(position);
}

} // namespace

std::vector<SettingRow> DescribeSettings(const DisplayProject& p) {
    using S = Setting;
    const std::string style = "Style ";
    return {
        {S::Version, "Version", p.versionName, false, true, "a version of the settings file"},
        {S::FloorStyle, "FL Style", style + std::to_string(p.floorStyle), false,
         within(p.floorStyle, 0, Editor::kFloorStyleCount), "Style 0..3"},
        {S::DirectionStyle, "DIR Style", style + std::to_string(p.directionStyle), true,
         within(p.directionStyle, 0, Editor::kDirectionStyleCount), "Style 0..4"},
        {S::DefaultCodeTable, "Default code table", "CTBL" + std::to_string(p.defaultCodeTable),
         true, within(p.defaultCodeTable, 0, Editor::kCodeTableCount), "CTBL0..CTBL2"},
        {S::DisplaySide, "Display side",
         p.displaySide == 1   ? "Right"
         : p.displaySide == 2 ? "Left"
                              : std::to_string(p.displaySide),
         true, p.displaySide == 1 || p.displaySide == 2, "Right or Left"},
        {S::MessagePosition, "Massage position", positionText(p.messagePosition), true,
         within(p.messagePosition, 0, Editor::kMessagePositionCount), "left, middle or right"},
        {S::MessageColumns, "Message columns", maskText(p.messageMask), true,
         isNormalisedMask(p.messageMask), "two of the four columns"},
        {S::DateTime, "Date and Time function",
         p.dateTimeEnabled == 0   ? "off"
         : p.dateTimeEnabled == 1 ? "on"
                                  : std::to_string(p.dateTimeEnabled),
         true, within(p.dateTimeEnabled, 0, 2), "on or off"},
        {S::Logo, "Customer logo", p.logoEnabled ? "ON" : "OFF", true, true, "ON or OFF"},
        {S::LogoFile, "Logo file", p.logoFile, false, true, "a 64 x 64 picture"},
        {S::LogoSeconds, "Logo time (s)",
         item(p.logoSecondsIndex, Editor::kLogoSecondsCount,
              std::to_string(p.logoSecondsIndex + 1)),
         true, within(p.logoSecondsIndex, 0, Editor::kLogoSecondsCount), "1..30"},
        {S::PowerSaving, "LCD BL Power saving",
         item(p.powerSavingIndex, Editor::kPowerSavingCount,
              within(p.powerSavingIndex, 0, Editor::kPowerSavingCount)
                  ? Editor::kPowerSavingItems[static_cast<std::size_t>(p.powerSavingIndex)]
                  : ""),
         true, within(p.powerSavingIndex, 0, Editor::kPowerSavingCount), "0..600"},
        {S::NodeAddress, "Node Address", std::to_string(p.nodeAddress), true,
         within(p.nodeAddress, 0, Editor::kNodeAddressCount), "0..63"},
        {S::IdCode, "ID Code", Editor::Trimmed(p.idCode), true, true, "four characters"},
        {S::RomFileName, "ROM Filename", Rom::RomFileNameOf(p), false, true, "a file name"},
    };
}

std::vector<SettingRow> DescribeSettingsBlock(const Rom::SettingsBlock& b) {
    DisplayProject p;
    p.displaySide = b[Rom::SettingsDisplaySide];
    p.dateTimeEnabled = b[Rom::SettingsDateTime];
    p.powerSavingIndex = b[Rom::SettingsPowerSaving];
    p.logoSecondsIndex = b[Rom::SettingsLogoSeconds] - 1;
    p.logoEnabled = b[Rom::SettingsLogoEnabled] != 0;
    p.idCode.clear();
    for (std::size_t i = 0; i < 4 && b[Rom::SettingsIdCode + i] != 0; ++i)
        p.idCode.push_back(static_cast<char>(b[Rom::SettingsIdCode + i]));
    p.messagePosition = b[Rom::SettingsMessagePosition];
    p.nodeAddress = b[Rom::SettingsNodeAddress];
    p.directionStyle = b[Rom::SettingsDirectionStyle];
    p.messageMask = b[Rom::SettingsMessageMask];
    p.defaultCodeTable = b[Rom::SettingsDefaultCodeTable];
    std::vector<SettingRow> rows = DescribeSettings(p);
    std::erase_if(rows, [](const SettingRow& r) { return !r.inImage; });
    return rows;
}

} // namespace Lift::Commissioning
