#include "editor/logo_choice.h"

#include "editor/text_rules.h"

namespace Lift::Editor {

bool ChooseLogoFile(EditorSession& session, EditorUi& ui) {
    const std::optional<std::string> path = ui.choosePictureFile(FileDialogRequest{});
    if (!path || IsBlank(*path))
        return false;
    if (!ui.showPicture(PictureBox::Logo, 0, *path))
        return false;
    session.project.logoFile = *path;
    return true;
}

void LogoOn(EditorSession& session, EditorUi& ui) {
    if (IsBlank(session.project.logoFile))
        ChooseLogoFile(session, ui);
    session.project.logoEnabled = true;
}

void LogoOff(EditorSession& session, EditorUi& ui) {
    session.project.logoEnabled = false;
    session.project.logoFile.clear();
    if (FileExists(session.program.blankPicturePath))
        ui.showPicture(PictureBox::Logo, 0, session.program.blankPicturePath);
}

std::string LogoBoxPicture(const EditorSession& session) {
    return IsBlank(session.project.logoFile) ? session.program.blankPicturePath
                                             : session.project.logoFile;
}

} // namespace Lift::Editor
