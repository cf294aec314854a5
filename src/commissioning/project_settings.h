#pragma once
// The project's settings as a technician reads them: one row per setting, with the window's
// caption, the value as the window shows it, and whether the value is one the window offers.
// The check, the commissioning sheet and the compare all describe settings through here.
// Pure functions; thread-safe.

#include "editor/display_project.h"
#include "rom/rom_image.h"

#include <string>
#include <vector>

namespace Lift::Commissioning {

enum class Setting {
    Version,
    FloorStyle,
    DirectionStyle,
    DefaultCodeTable,
    DisplaySide,
    MessagePosition,
    MessageColumns,
    DateTime,
    Logo,
    LogoFile,
    LogoSeconds,
    PowerSaving,
    NodeAddress,
    IdCode,
    RomFileName,
};

struct SettingRow {
    Setting setting;
    const char* caption; // e.g. "Node Address"
    std::string value;   // e.g. "54"; a value out of range shows as stored
    bool inImage;        // held by the ROM image's settings block
    bool inRange;        // one of the values the window offers
    const char* allowed; // what the window offers, e.g. "0..63"
};

// Every setting of the project, in the order of the sheet.
std::vector<SettingRow> DescribeSettings(const Editor::DisplayProject& project);

// The settings an image holds, read back from its settings block.
std::vector<SettingRow> DescribeSettingsBlock(const Rom::SettingsBlock& block);

} // namespace Lift::Commissioning
