#pragma once
// SetupTab: the "Setup" tab — project buttons, the code-table grid with its floor-label
// preview, the styles, the message slot pictures, the message position, the version and the
// display side.
//
// Edits go straight into the session's project. GUI thread only.
#include "editor/editor_session.h"

#include <QWidget>

namespace Lift::Window {

class QtEditorUi;

class SetupTab : public QWidget {
    Q_OBJECT
public:
    SetupTab(Editor::EditorSession& session, QtEditorUi& ui, QWidget* parent = nullptr);
    ~SetupTab() override;

    // Shows the project's fields in the tab's controls.
    void showModel();

    // "Save", "Load" and "Clear ALL".
    void saveProject();
    void loadProject();
    void clearAll();

Q_SIGNALS:
    // A load or clear replaced the project: every control shows it anew.
    void projectReplaced();

private:
    Editor::EditorSession& m_session;
    QtEditorUi& m_ui;
};

} // namespace Lift::Window
