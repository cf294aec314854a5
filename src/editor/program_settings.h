#pragma once
// The program settings file "ZEBPRV620BX7.INI" in the working directory: names of the GLB
// files and the list of controller code versions, each a section with four parameters
// (VersionSettings) that steer MAKE ROM and the upload.
//
// ReadProgramSettings runs once at start; SelectVersion runs whenever the user picks an entry
// of the "Version:" combo and at the end of every project load. The combo is the model's
// `versionEntries`/`versionIndex`; the column-0 labels of the code-table grid follow
// `versionName` through InputPatternLabel(code, UsesGrayOrder(versionName)), so a window
// refills them after SelectVersion. Messages and status panel 1 go through EditorUi.
//
// The file is read through the INI engine (TYIniFile), opened for each operation. Failures
// the engine reports itself (a file that cannot be opened: its error box, then EYGeneral)
// are not shown twice; a value that is not an integer (EConvertError) is shown in a message
// box. Either way the operation changes nothing. Runs on the main loop's thread.

#include "editor/display_project.h"
#include "editor/editor_ui.h"

#include <string>

namespace Lift::Editor {

inline constexpr char kProgramSettingsFileName[] = "ZEBPRV620BX7.INI";
inline constexpr char kDefaultGlbFileName[] = "P620BX7.GLB";
// Versions listed when the file lists none (VCN 0 or absent).
inline constexpr char kInitialVersionName[] = "ZEB-INITDL";
inline constexpr char kInitialPortraitVersionName[] = "ZEB-PINITDL";
// "VCN" values above this are read as this many entries: a damaged count must not keep the
// program reading nonexistent keys for minutes.
inline constexpr int kMaxVersionCount = 9999;

struct VersionSettings {
    int cfi = 1;    // GLB item (0, CFI) starts the ROM image
    int ifi = 41;   // GLB item (0, IFI) is added when ENCODE is 0
    int disphv = 1; // 1 = pictures are packed rotated
    int encode = 1; // 1 = first 256 bytes masked, upload allowed
    bool operator==(const VersionSettings&) const = default;
};

// Program-level state read from the settings file (beside the DisplayProject's version
// combo and name).
struct ProgramSettings {
    std::string glbFileName = kDefaultGlbFileName;
    std::string userGlbFileName; // empty = none
    VersionSettings versionSettings;
};

// `startDirectory` joined with "ZEBPRV620BX7.INI".
std::string ProgramSettingsPath(const std::string& startDirectory);

// Fills `settings` and the project's version combo, selection and name from the file.
// A missing file gives the message box "ZEBPRV620BX7.INI file not found!!\n\n" ("Error")
// and leaves everything as it was, as does a file that cannot be used (see above). Does not
// touch the status panel: start-up does that next.
void ReadProgramSettings(const std::string& startDirectory, ProgramSettings& settings,
                         DisplayProject& project, EditorUi& ui);

// Reads the four parameters of section `name` (defaults 0, 41, 1, 1 for a missing section or
// key), sets the project's `versionName` to `name` and status panel 1 to "Version: " + name.
// The file is opened without an existence check, so a missing file is created empty.
void SelectVersion(const std::string& name, const std::string& startDirectory,
                   ProgramSettings& settings, DisplayProject& project, EditorUi& ui);

} // namespace Lift::Editor
