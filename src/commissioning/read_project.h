#pragma once
// Loads a project file for the commissioning tools, which must not write anything.
//
// The editor's own loaders create what they do not find (an INI file opened on a missing
// path is created empty), so this one refuses instead: the settings file and the project
// file must exist. It then does what the editor does for a load, and only that: the program
// settings, the default slot pictures' paths, the project (which reads the GLB library).
// No picture is decoded and no preview extracted. Main loop's thread, like every loader.

#include "editor/editor_session.h"
#include "editor/editor_ui.h"
#include "editor/start_up.h"

#include <string>

namespace Lift::Commissioning {

// True when the project is loaded into `session`. False with `error` naming the file when
// the settings file or the project is missing or the project does not load (the loader has
// then told `ui` why).
bool ReadProjectForTools(Editor::EditorSession& session, Editor::EditorUi& ui,
                         const Editor::StartOptions& options, const std::string& projectPath,
                         std::string& error);

} // namespace Lift::Commissioning
