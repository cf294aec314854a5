#pragma once
// DisplayProject: everything MAKE ROM turns into a ROM image, plus the state of the window's
// controls that the procedures read.
//
// Some state of the window lives in two forms on purpose: the four slot-column check boxes
// keep what the user ticked while `messageMask` holds the normalised mask saved last, and the
// combo-backed fields hold the combo's index, -1 when a loaded value selected no item.
// Owned by the editor (window or command line) for the whole run; used on one thread.

#include <array>
#include <string>
#include <vector>

namespace Lift::Editor {

constexpr int kCodeTableCount = 3;
constexpr int kCodeCount = 256;
constexpr int kSlotRows = 10;
constexpr int kSlotColumns = 4;
constexpr int kFloorStyleCount = 4;
constexpr int kDirectionStyleCount = 5;
constexpr int kMessagePositionCount = 3;
constexpr int kLogoSecondsCount = 30; // items "1".."30"
constexpr int kPowerSavingCount = 17; // items "0", "5", ... "600"
constexpr int kNodeAddressCount = 64; // items "0".."63"

inline constexpr const char* kDefaultRomFileName = "PRM620BX7.BIN";
inline constexpr const char* kGrayVersionName = "ZEB-GRY";

// Texts of the "LCD BL Power saving:" items, by index.
extern const std::array<const char*, kPowerSavingCount> kPowerSavingItems;

struct DisplayProject {
    // Grid columns "CTBL0".."CTBL2", rows 1..256 (row n+1 = code n): the label texts as typed.
    // (No "{}" initialisers on these nested arrays: clang 14 crashes on them.)
    std::array<std::array<std::string, kCodeCount>, kCodeTableCount> codeTables;

    // Radio-button fields: the value as set (a loaded value may be out of range).
    int defaultCodeTable = 0;
    int floorStyle = 0;
    int directionStyle = 0;
    int displaySide = 1; // 1 = "Right", 2 = "Left"
    int messagePosition = 1;

    // Normalised mask as last saved or loaded; the check boxes are what the user ticked,
    // in screen order (bit 0 = first box).
    int messageMask = 3;
    std::array<bool, 4> messageColumnBoxes{true, true, false, false};

    // "DISPDT" as loaded, and the (always disabled) date-time check box.
    int dateTimeEnabled = 0;
    bool dateTimeBox = false;

    // [row][column] picture file paths.
    std::array<std::array<std::string, kSlotColumns>, kSlotRows> liftStatePictures;

    // Customer logo: ON exactly when "OFF" is not selected.
    bool logoEnabled = false;
    std::string logoFile;

    // Combo indexes; -1 = no item selected.
    int logoSecondsIndex = 0;
    int powerSavingIndex = 0;
    int nodeAddress = 0;

    std::string idCode;                            // "ID Code (4 bytes):" edit
    std::string romFileName = kDefaultRomFileName; // "ROM Filename:" edit

    // "Version:" combo entries (as read from the settings file) and its selection (-1 none),
    // and the name of the version selected last.
    std::vector<std::string> versionEntries;
    int versionIndex = -1;
    std::string versionName;

    // Text of the selected version entry trimmed; empty when none is selected.
    std::string selectedVersionText() const;
    // True when every code-table entry is blank.
    bool allCodeTablesBlank() const;
};

// Normalises a 4-bit mask so that exactly two message columns are chosen.
int NormalisedMessageMask(int mask);
// Mask of the ticked boxes, bit 0 = first box on screen.
int MaskFromBoxes(const std::array<bool, 4>& boxes);
std::array<bool, 4> BoxesFromMask(int mask);

// Stem of a lift-state row's default picture; row 2 differs between English (columns 0, 2)
// and Chinese (columns 1, 3).
std::string LiftStateStem(int row, int column);
// Default picture name of a slot, e.g. "BREAKDOWN-16x64_CHT.bmp" for (2, 1).
std::string DefaultLiftStateFileName(int row, int column);
// Project-file key of a slot, e.g. "LeftState_2_B".
std::string LiftStateKey(int row, int column);

// Slot columns in screen order: the first check box and picture of a line is column 1, then
// 3, 0 and 2. Bit b of `messageMask` chooses column kSlotColumnsOnScreen[b].
inline constexpr std::array<int, kSlotColumns> kSlotColumnsOnScreen = {1, 3, 0, 2};

// Slot (row, column) edited by the double-clickable picture number n (14..53), whose screen
// order within a line is kSlotColumnsOnScreen. False for other numbers.
bool SlotOfPicture(int pictureNumber, int& row, int& column);

} // namespace Lift::Editor
