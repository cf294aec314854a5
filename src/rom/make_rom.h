#pragma once
// MAKE ROM: turns the display project into the controller's ROM image file.
//
// Runs on the main loop's thread from start to end and talks to the user only through
// EditorUi (message boxes, log lines, busy cursor) and the error-box sink (pictures that
// cannot be decoded). The save step is injected: the window runs SaveProject there, the
// command line its own save (or none).
//
// Every picture is decoded and packed in memory; the only files MAKE ROM writes are the
// image itself (atomically: a failed write leaves any earlier file as it was) and the
// temporary picture file "ZEB_TEMPBMP.BMP" in the start directory, which is left holding
// the last GLB item the run read, or removed when that item was a data block.
//
// Errors: SaveProject's exception (EYGeneral, an INI file that cannot be created) passes to
// the caller; everything else is reported to the user and ends the run with a result.

#include "editor/display_project.h"
#include "editor/editor_ui.h"
#include "editor/glb_library.h"
#include "editor/program_settings.h"
#include "rom/rom_layout.h"

#include <functional>
#include <optional>
#include <string>

namespace Lift::Rom {

struct MakeRomContext {
    Editor::DisplayProject& project; // labels of missing user floor pictures are removed
    const Editor::GlbLibrary& glb;
    Editor::VersionSettings version;  // CFI, IFI, DISPHV, ENCODE of the selected version
    std::string startDirectory;       // temporary picture file; base of a relative ROM name
    std::string userFloorPictureRoot; // + floor style + "/" + label + ".bmp"
    // Saves the project; false (save cancelled or refused) stops the build.
    std::function<bool()> save;
    // Writes the image here instead of the project's ROM file name (command line's -o).
    std::optional<std::string> outputPath;
};

enum class MakeRomResult {
    Written, // "PRM-620BX7 Make ROM OK"
    AllTablesEmpty,
    SaveAborted,
    FloorOverflow,
    GlbItemMissing, // CFI, IFI (ENCODE 0) or (0, 40)
    PictureError,   // a picture that cannot be read or decoded
    WriteFailed,    // the image file could not be written
};

struct MakeRomOutcome {
    MakeRomResult result = MakeRomResult::AllTablesEmpty;
    std::string romPath; // the file written (or that could not be written)
};

MakeRomOutcome MakeRom(MakeRomContext& context, Editor::EditorUi& ui);

// The image file name of a project: its ROM file name trimmed, "PRM620BX7.BIN" when empty,
// otherwise with its extension replaced by ".BIN".
std::string RomFileNameOf(const Editor::DisplayProject& project);

} // namespace Lift::Rom
