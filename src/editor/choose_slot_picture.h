#pragma once
// ChooseSlotPicture: a double click on a message slot picture lets the user pick another
// picture file for that slot.
#include "editor/editor_session.h"
#include "editor/editor_ui.h"

namespace Lift::Editor {

// Asks for a picture file; when one is picked and can be shown, slot (row, column) takes its
// path and the slot's picture box shows it. A cancelled choice or a file that cannot be
// loaded (error box) keeps the previous path. The row's label picture is not refreshed.
// Returns true when the slot changed.
bool ChooseSlotPicture(EditorSession& session, EditorUi& ui, int row, int column);

} // namespace Lift::Editor
