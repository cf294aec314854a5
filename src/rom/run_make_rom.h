#pragma once
// MAKE ROM as the window's "MAKE ROM" button runs it: on the editor session, saving through
// SaveProject (dialog and overwrite question) first.

#include "editor/editor_session.h"
#include "editor/editor_ui.h"
#include "rom/make_rom.h"

namespace Lift::Rom {

MakeRomOutcome RunMakeRom(Editor::EditorSession& session, Editor::EditorUi& ui);

} // namespace Lift::Rom
