#pragma once
// The EditorUi of the link commands: the file dialog is answered by the command line, message
// boxes go to stderr as "CAPTION: TEXT", log lines to stdout as the message log shows them,
// and a progress line to stderr when it is a terminal.

#include "lift_lcd/cli.h"
#include "lift_lcd/port_argument.h"

#include "editor/editor_ui.h"
#include "link/controller_link.h"

#include <chrono>
#include <optional>
#include <string>

namespace Lift::Cli {

class LinkConsoleUi final : public Editor::EditorUi {
public:
    // openAnswer: what the file dialog returns. progress: draw the progress line on io.err.
    LinkConsoleUi(Streams& io, std::optional<std::string> openAnswer, bool progress);

    std::optional<std::string> chooseSaveFile(const Editor::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseOpenFile(const Editor::FileDialogRequest&) override {
        return m_openAnswer;
    }
    std::optional<std::string> choosePictureFile(const Editor::FileDialogRequest&) override {
        return std::nullopt;
    }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void messageBox(const std::string& text, const std::string& caption) override;
    void appendLog(const std::string& line) override;
    void clearLog() override {} // what was printed stays printed
    void setStatusPanel(int, const std::string&) override {}
    void setBusy(bool) override {}

    // Redraws the progress line from the link's state (at most ten times a second, and
    // always at the end of an operation).
    void showProgress(const Link::ControllerLink& link);
    // Ends the progress line so that later output starts on a fresh line.
    void endProgress();

private:
    void eraseProgress();

    Streams& m_io;
    std::optional<std::string> m_openAnswer;
    bool m_progress;
    bool m_progressShown = false;
    std::chrono::steady_clock::time_point m_lastDraw{};
    std::optional<std::chrono::steady_clock::time_point> m_firstBlockAt;
};

} // namespace Lift::Cli
