#include "editor/choose_slot_picture.h"

namespace Lift::Editor {

bool ChooseSlotPicture(EditorSession& session, EditorUi& ui, int row, int column) {
    if (row < 0 || row >= kSlotRows || column < 0 || column >= kSlotColumns)
        return false;
    std::string& slot =
        session.project
            .liftStatePictures[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    const auto chosen = ui.choosePictureFile(FileDialogRequest{});
    if (!chosen)
        return false;
    if (!ui.showPicture(PictureBox::Slot, row * kSlotColumns + column, *chosen))
        return false;
    slot = *chosen;
    return true;
}

} // namespace Lift::Editor
