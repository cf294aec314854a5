#pragma once
// EditorSession: the display project and the program-level state beside it, gathered at
// start-up and read by every procedure (save, load, clear, MAKE ROM, the link).
// Owned by the front end for the whole run; used on the main loop's thread.

#include "editor/display_project.h"
#include "editor/glb_library.h"
#include "editor/program_settings.h"

#include <string>

namespace Lift::Editor {

inline constexpr const char* kBaseCaption = "PRM-620BX7 Lift LCD Editor (R2-Build100429)";
inline constexpr const char* kBlankPictureName = "SPACE_240x240.bmp";

struct ProgramState {
    // Folder of the program's data ("DefaultImage2" lives here), with one trailing "/".
    std::string programDirectory;
    // Working directory at start, without trailing "/": settings file, GLB files, the blank
    // picture and the temporary picture file are looked up here.
    std::string startDirectory;
    std::string blankPicturePath;
    std::string userFloorPictureRoot; // + style number + "/" + label + ".bmp"

    // GLB file names and the selected version's parameters, from the settings file.
    ProgramSettings settings;
    GlbLibrary glbData;
    std::string glbDate;     // yymmdd, "000000" when the file is missing
    std::string userGlbDate; // yymmdd; empty when no user-define file is named

    bool saveCompleted = false;

    std::string caption = kBaseCaption;
    bool startUpCompleted = false;
};

struct EditorSession {
    DisplayProject project;
    ProgramState program;
};

// programDirectory + "DefaultImage2/LiftState/" + the default name of the slot.
std::string DefaultLiftStatePath(const ProgramState& program, int row, int column);

// Joins a folder and a file name with one "/".
std::string JoinPath(const std::string& folder, const std::string& name);

// A file's last-modification date as yymmdd in local time; "000000" when it is missing.
std::string FileDateYymmdd(const std::string& path);

bool FileExists(const std::string& path); // a file, not a folder

} // namespace Lift::Editor
