#pragma once
// EditorUi of the command line: the dialogs are answered from the command's arguments,
// message boxes (and error boxes, while a CliUi lives) go to stderr as "CAPTION: TEXT" with
// the text's trailing line ends removed, and message-log lines go to stdout, one a line.
// Nothing else is printed, so scripts can read both streams. Single-threaded.

#include "editor/editor_ui.h"
#include "util/standalone_function.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace Lift::Cli {

class CliUi : public Editor::EditorUi {
public:
    CliUi(std::ostream& out, std::ostream& err);
    ~CliUi() override;
    CliUi(const CliUi&) = delete;
    CliUi& operator=(const CliUi&) = delete;

    // Answers of the dialogs; nothing = cancelled. The Yes/No question is answered No.
    std::optional<std::string> saveAnswer;
    std::optional<std::string> openAnswer;
    bool yesAnswer = false;

    std::optional<std::string> chooseSaveFile(const Editor::FileDialogRequest& request) override;
    std::optional<std::string> chooseOpenFile(const Editor::FileDialogRequest& request) override;
    std::optional<std::string> choosePictureFile(const Editor::FileDialogRequest& request) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    void messageBox(const std::string& text, const std::string& caption) override;
    void appendLog(const std::string& line) override;
    void clearLog() override {}
    void setStatusPanel(int, const std::string&) override {}
    void setBusy(bool) override {}

    // "CAPTION: TEXT" as printed for a box.
    static std::string BoxLine(const std::string& caption, const std::string& text);

private:
    std::ostream& m_out;
    std::ostream& m_err;
    YVclUtil::ErrorBoxSink m_previousSink;
};

} // namespace Lift::Cli
