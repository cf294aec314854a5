#pragma once
// The project file (".lcp", INI text): SaveProject, LoadProject and ClearAll.
//
// All three run on the main loop's thread and talk to the user through EditorUi. The INI
// engine writes the file when its object is released; that write is atomic, so a failed save
// leaves the previous file as it was (the engine shows its error box).

#include "editor/editor_session.h"
#include "editor/editor_ui.h"

#include <string>

namespace YVclUtil {
class TYIniFile;
}

namespace Lift::Project {

inline constexpr const char* kProjectFilter = "PRV620BX7 Project File (*.lcp)|*.lcp";
inline constexpr const char* kProjectExtension = "lcp";
inline constexpr const char* kCodeName = "PRV620BX7";

// Asks for a file (and, for an existing one, whether to overwrite it), then writes the
// project. Returns `saveCompleted`: false when the dialog was cancelled or overwriting was
// refused. The INI engine's construction error (EYGeneral) passes to the caller. A value the
// file cannot hold (say, a picture path with a line break) is refused by the engine with its
// error box; then nothing is written, the old file stays as it was (a new one is not left
// behind), and the save counts as completed, as for a write that fails.
bool SaveProject(Editor::EditorSession& session, Editor::EditorUi& ui);

// Writes the project to `path` without any question, as SaveProject does after its dialogs.
// Used by the command line's --save-as.
void SaveProjectTo(Editor::EditorSession& session, Editor::EditorUi& ui, const std::string& path);

// The model effects of a save without writing a file: normalises the ROM file name (and the
// edit showing it), computes `messageMask` from the check boxes and takes `dateTimeEnabled`
// from the date-time box.
void ApplySaveEffects(Editor::DisplayProject& project);

// Asks for a file and loads it. Wrong or missing CODENAME: "LCP file format error!!" and the
// model is unchanged. A picture that cannot be loaded stops the load at that step.
void LoadProject(Editor::EditorSession& session, Editor::EditorUi& ui);

// Loads `path` without a dialog, as LoadProject does after it. Returns true when every step
// ran (false after a format error or a picture error).
bool LoadProjectFrom(Editor::EditorSession& session, Editor::EditorUi& ui, const std::string& path);

// Empties the three code tables; status panel 0 loses the file name.
void ClearAll(Editor::EditorSession& session, Editor::EditorUi& ui);

// ROM file name rule of a save: trimmed, "PRM620BX7.BIN" when empty, extension -> ".BIN".
std::string NormalisedRomFileName(const std::string& text);

} // namespace Lift::Project
