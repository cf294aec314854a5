#pragma once
// The customer logo's three actions: click on the logo picture, "ON (Sec.)" and "OFF".
//
// They edit the session's project and fill the logo picture box through the EditorUi; the
// window shows the result (radio buttons, seconds combo enabled while ON). Main loop's thread.

#include "editor/editor_session.h"
#include "editor/editor_ui.h"

namespace Lift::Editor {

// Asks for a picture file; a picked file that the picture box can show becomes `logoFile`.
// A cancelled chooser, or a file that cannot be loaded (the user has been told), keeps the
// previous path. `logoEnabled` is not changed. True when `logoFile` changed.
bool ChooseLogoFile(EditorSession& session, EditorUi& ui);

// "ON (Sec.)": with a blank `logoFile`, asks for one first; the logo is ON afterwards even
// when the user cancelled (and `logoFile` then stays empty).
void LogoOn(EditorSession& session, EditorUi& ui);

// The picture file the logo box shows for the project as it stands: the chosen `logoFile`
// (ON or OFF alike), or the blank picture when there is none. The same project shows the
// same picture, however it got there.
std::string LogoBoxPicture(const EditorSession& session);

// "OFF": the logo is OFF, `logoFile` is forgotten and the box shows the blank picture (when
// that file exists: it is decoration, and a missing one must not stop the user).
void LogoOff(EditorSession& session, EditorUi& ui);

} // namespace Lift::Editor
