#pragma once
// A scripted EditorUi for tests: answers come from queues set up by the test, and every
// call is recorded in order as one line of text.

#include "editor/editor_ui.h"

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace Lift::Test {

class ScriptedUi : public Editor::EditorUi {
public:
    // Answers, consumed in order. An empty queue answers "cancel" / "No".
    std::deque<std::optional<std::string>> saveAnswers;
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> pictureAnswers;
    std::deque<bool> yesNoAnswers;

    // What happened, e.g. "message: Error | GLB file not found!!\n\n".
    std::vector<std::string> calls;
    std::vector<std::string> log;
    std::vector<Editor::FileDialogRequest> dialogs;
    std::array<std::string, 4> status;
    int busyDepth = 0;
    int busyMax = 0;

    std::optional<std::string> chooseSaveFile(const Editor::FileDialogRequest& r) override;
    std::optional<std::string> chooseOpenFile(const Editor::FileDialogRequest& r) override;
    std::optional<std::string> choosePictureFile(const Editor::FileDialogRequest& r) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    void messageBox(const std::string& text, const std::string& caption) override;
    void appendLog(const std::string& line) override;
    void clearLog() override;
    void setStatusPanel(int panel, const std::string& text) override;
    void setBusy(bool busy) override;
    bool showPicture(Editor::PictureBox box, int index, const std::string& path) override;

    // Pictures shown, as "box index: path"; a path listed here makes showPicture fail.
    std::vector<std::string> pictures;
    std::vector<std::string> unreadablePictures;

    // Message boxes shown, as "caption | text".
    std::vector<std::string> messages() const;
};

} // namespace Lift::Test
