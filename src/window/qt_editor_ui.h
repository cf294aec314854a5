#pragma once
// QtEditorUi: the window's answer to the core procedures — Qt file dialogs, message boxes,
// the Make tab's log, the status-bar panels, the busy cursor and the picture boxes.
//
// Dialogs are application-modal over the main window and remember the folder last used per
// kind (project, picture, ROM image). Tests can hand the dialogs, questions and message boxes
// to a script (setScript); logs, status panels and pictures always go to the real widgets.
// The error boxes of the components (ShowErrMsgBox_Printf) are shown task-modal over the
// window while installErrorBoxSink's sink is installed; a box raised on another thread is
// shown on the window's thread and that thread waits until the user has closed it. Use on
// the GUI thread only.
#include "editor/editor_ui.h"
#include "util/standalone_function.h"

#include <QObject>
#include <QString>
#include <array>
#include <map>
#include <memory>
#include <utility>

class QLabel;
class QTextEdit;
class QWidget;

namespace Lift::Window {

class PictureLabel;

// "Text (*.lcp)|*.lcp|..." as Qt writes filters: "Text (*.lcp);;...".
QString QtFilter(const std::string& filter);

// File paths travel as the platform's file-name encoding; labels and codes as Latin-1.
QString FromPath(const std::string& path);
std::string ToPath(const QString& path);
// A text of the core for the user (message, log line, status panel, caption): the system's
// 8-bit text, as the file names in it are. Bytes that are not valid there (a label typed as
// Latin-1 in the grid) are taken as Latin-1, so nothing turns into replacement marks.
QString FromSystemText(const std::string& text);

class QtEditorUi final : public Editor::EditorUi {
public:
    explicit QtEditorUi(QWidget* window);
    ~QtEditorUi() override;
    QtEditorUi(const QtEditorUi&) = delete;
    QtEditorUi& operator=(const QtEditorUi&) = delete;

    std::optional<std::string> chooseSaveFile(const Editor::FileDialogRequest& request) override;
    std::optional<std::string> chooseOpenFile(const Editor::FileDialogRequest& request) override;
    std::optional<std::string> choosePictureFile(const Editor::FileDialogRequest& request) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    void messageBox(const std::string& text, const std::string& caption) override;
    void appendLog(const std::string& line) override;
    void clearLog() override;
    void setStatusPanel(int panel, const std::string& text) override;
    void setBusy(bool busy) override;
    bool showPicture(Editor::PictureBox box, int index, const std::string& path) override;

    // Wiring, done once by the window while it builds its controls.
    void setScript(Editor::EditorUi* script) { m_script = script; }
    void setLogView(QTextEdit* log) { m_log = log; }
    void setStatusLabels(const std::array<QLabel*, 4>& labels) { m_status = labels; }
    void addPictureBox(Editor::PictureBox box, int index, PictureLabel* label);
    PictureLabel* pictureBox(Editor::PictureBox box, int index) const;

    // Routes the components' error boxes to a message box over the window (or to the script's
    // messageBox in tests) until the object is destroyed. A box another thread raises waits
    // for the window's thread to serve its loop; one the window cannot show any more (it is
    // being destroyed) goes to the sink installed before.
    void installErrorBoxSink();

private:
    std::optional<std::string> runFileDialog(int kind, const Editor::FileDialogRequest& request,
                                             bool save);
    void showErrorBox(const std::string& caption, const std::string& text);

    QWidget* m_window;
    Editor::EditorUi* m_script = nullptr;
    QTextEdit* m_log = nullptr;
    std::array<QLabel*, 4> m_status{};
    std::map<std::pair<int, int>, PictureLabel*> m_pictures;
    std::array<QString, 3> m_lastFolder;
    int m_busyDepth = 0;
    struct BoxRoute;
    bool m_sinkInstalled = false;
    std::shared_ptr<BoxRoute> m_boxRoute;
    std::unique_ptr<QObject> m_boxContext; // receives the boxes of other threads
};

} // namespace Lift::Window
