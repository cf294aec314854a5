#include "support/scripted_ui.h"

namespace Lift::Test {

namespace {
// The next queued answer (none left: cancel), noted as "<what>-dialog: <answer>".
std::optional<std::string> answer(ScriptedUi& ui, const Editor::FileDialogRequest& r,
                                  std::deque<std::optional<std::string>>& q, const char* what) {
    ui.dialogs.push_back(r);
    std::optional<std::string> a;
    if (!q.empty()) {
        a = q.front();
        q.pop_front();
    }
    ui.calls.push_back(std::string(what) + "-dialog: " + a.value_or("<cancel>"));
    return a;
}
} // namespace

std::optional<std::string> ScriptedUi::chooseSaveFile(const Editor::FileDialogRequest& r) {
    return answer(*this, r, saveAnswers, "save");
}

std::optional<std::string> ScriptedUi::chooseOpenFile(const Editor::FileDialogRequest& r) {
    return answer(*this, r, openAnswers, "open");
}

std::optional<std::string> ScriptedUi::choosePictureFile(const Editor::FileDialogRequest& r) {
    return answer(*this, r, pictureAnswers, "picture");
}

bool ScriptedUi::askYesNo(const std::string& text, const std::string& caption) {
    bool a = false;
    if (!yesNoAnswers.empty()) {
        a = yesNoAnswers.front();
        yesNoAnswers.pop_front();
    }
    calls.push_back("ask: " + caption + " | " + text + " -> " + (a ? "Yes" : "No"));
    return a;
}

void ScriptedUi::messageBox(const std::string& text, const std::string& caption) {
    calls.push_back("message: " + caption + " | " + text);
}

void ScriptedUi::appendLog(const std::string& line) {
    log.push_back(line);
    calls.push_back("log: " + line);
}

void ScriptedUi::clearLog() {
    log.clear();
    calls.push_back("clear-log");
}

void ScriptedUi::setStatusPanel(int panel, const std::string& text) {
    if (panel >= 0 && panel < 4)
        status[static_cast<size_t>(panel)] = text;
    calls.push_back("status" + std::to_string(panel) + ": " + text);
}

void ScriptedUi::setBusy(bool busy) {
    busyDepth += busy ? 1 : -1;
    if (busyDepth > busyMax)
        busyMax = busyDepth;
}

bool ScriptedUi::showPicture(Editor::PictureBox box, int index, const std::string& path) {
    for (const auto& bad : unreadablePictures) {
        if (bad == path) {
            calls.push_back("picture-error: " + path);
            return false;
        }
    }
    pictures.push_back(std::to_string(static_cast<int>(box)) + " " + std::to_string(index) + ": " +
                       path);
    return true;
}

std::vector<std::string> ScriptedUi::messages() const {
    std::vector<std::string> out;
    const std::string prefix = "message: ";
    for (const auto& c : calls)
        if (c.compare(0, prefix.size(), prefix) == 0)
            out.push_back(c.substr(prefix.size()));
    return out;
}

} // namespace Lift::Test
