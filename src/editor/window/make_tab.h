#pragma once
// MakeTab: the "Make" tab — customer logo, controller settings, ROM file name and the ROM
// file browser, MAKE ROM, and the controller link (COM port, Connect, Date-Time Sync.,
// UpLoad ROM Image, progress bar, message log).
//
// Edits go straight into the session's project. Owns the link station (and so the serial
// port) for its lifetime. GUI thread only.
#include "editor/editor_session.h"

#include <QWidget>

class QTextEdit;

namespace Lift::Util {
class MainLoop;
}

namespace Lift::Window {

class QtEditorUi;

class MakeTab : public QWidget {
    Q_OBJECT
public:
    MakeTab(Editor::EditorSession& session, QtEditorUi& ui, Util::MainLoop& loop,
            QWidget* parent = nullptr);
    ~MakeTab() override;

    // Shows the project's fields in the tab's controls.
    void showModel();

private:
    Editor::EditorSession& m_session;
    QtEditorUi& m_ui;
    Util::MainLoop& m_loop;
    QTextEdit* m_log = nullptr;
};

} // namespace Lift::Window
