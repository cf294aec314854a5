#pragma once
// EditorUi: everything the core procedures need from the user, and nothing more.
//
// Start-up, SaveProject, LoadProject, ClearAll, MAKE ROM and the link talk to the user only
// through this interface. The Qt window implements it with real dialogs, the command line
// with its arguments, stdout and stderr, and tests with a scripted fake that records every
// call. All calls happen on the main loop's thread; a dialog call returns when the user has
// answered.

#include <optional>
#include <string>

namespace Lift::Editor {

// The window's picture boxes that the core procedures fill.
enum class PictureBox {
    FloorStylePreview,     // index = FL style 0..3 (64 x 64)
    DirectionStylePreview, // index = DIR style 0..4 (48 x 48)
    MessageLayout,         // index = message position 0..2 (64 x 128)
    Slot,                  // index = row * 4 + slot column
    SlotRowLabel,          // index = row 0..9
    Logo,                  // index 0 (kept at 64 x 64)
};

struct FileDialogRequest {
    std::string title;       // dialog caption, may be empty
    std::string filter;      // e.g. "LCD Project file (*.lcp)|*.lcp"
    std::string defaultExt;  // without the dot, e.g. "lcp"
    std::string initialDir;  // folder to start in, may be empty
    std::string initialName; // file name to propose, may be empty
};

class EditorUi {
public:
    virtual ~EditorUi() = default;

    // File dialogs: the chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> choosePictureFile(const FileDialogRequest& request) = 0;

    // The Yes/No question; true for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
    // A modal message box with one OK button.
    virtual void messageBox(const std::string& text, const std::string& caption) = 0;

    // The Make tab's message log.
    virtual void appendLog(const std::string& line) = 0;
    virtual void clearLog() = 0;

    // Status bar panels 0..3.
    virtual void setStatusPanel(int panel, const std::string& text) = 0;

    // Busy cursor for long operations; calls nest as on/off pairs.
    virtual void setBusy(bool busy) = 0;

    // Loads the picture file into a picture box at once (the file may be a temporary one
    // that is deleted right after). Returns false, after telling the user with the picture
    // loader's error box, when the file cannot be loaded; the procedure then stops as a
    // picture error. Front ends that show no pictures (the command line) keep this default.
    virtual bool showPicture(PictureBox box, int index, const std::string& path) {
        (void)box;
        (void)index;
        (void)path;
        return true;
    }
};

// Shows the busy cursor for its lifetime, also when the operation leaves by an exception.
class BusyCursor {
public:
    explicit BusyCursor(EditorUi& ui) : m_ui(ui) { m_ui.setBusy(true); }
    ~BusyCursor() { m_ui.setBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    EditorUi& m_ui;
};

} // namespace Lift::Editor
