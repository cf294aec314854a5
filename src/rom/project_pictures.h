#pragma once
// The picture files a project names, found as MAKE ROM finds them: the user floor pictures
// of its labels and the lift-state pictures of its slots. MAKE ROM, the check, the compare
// and the display preview all ask here, so they cannot disagree about a file.

#include "editor/display_project.h"
#include "rom/rom_layout.h"

#include <array>
#include <string>

namespace Lift::Rom {

// Finds a user floor picture: `folder` + "/" + `name` when it exists, else the one file of
// the folder whose name matches `name` ignoring ASCII case (the first in name order when
// several do). Empty when there is none. Labels are upper-cased while technicians often
// type file names in lower case, and this file system tells the two apart.
std::string FindUserFloorPicture(const std::string& folder, const std::string& name);

// The user floor picture a label of three or more characters (trimmed, upper case) shows in
// `floorStyle`: found in `userFloorPictureRoot` + style + "/" as FindUserFloorPicture does.
// Empty when there is none: MAKE ROM then drops the label.
std::string UserFloorPicturePath(const std::string& userFloorPictureRoot, int floorStyle,
                                 const std::string& label);

// Slot columns in the order their pictures enter the message zone.
inline constexpr std::array<int, 4> kMessageColumnOrder = {1, 0, 3, 2};

// The 40 slots in the order their pictures enter the message zone (slot column 1 rows
// 0..9, then columns 0, 3 and 2), and whether each slot's file exists.
struct MessageSlot {
    int row = 0;
    int column = 0;
    bool present = false;
};
std::array<MessageSlot, kMessageCount> MessageSlotOrder(const Editor::DisplayProject& project);

// The lift-state picture files in message-index order: those of MessageSlotOrder that are
// present. Missing files leave no gap: the following pictures move up and the last entries
// stay empty.
std::array<std::string, kMessageCount> MessagePictureList(const Editor::DisplayProject& project);

} // namespace Lift::Rom
