#include "editor/window/setup_tab.h"

#include "editor/window/qt_editor_ui.h"
#include "project/project_file.h"

namespace Lift::Window {

SetupTab::SetupTab(Editor::EditorSession& session, QtEditorUi& ui, QWidget* parent)
    : QWidget(parent), m_session(session), m_ui(ui) {}

SetupTab::~SetupTab() = default;

void SetupTab::showModel() {}

void SetupTab::saveProject() {
    Project::SaveProject(m_session, m_ui);
}

void SetupTab::loadProject() {
    Project::LoadProject(m_session, m_ui);
    Q_EMIT projectReplaced();
}

void SetupTab::clearAll() {
    Project::ClearAll(m_session, m_ui);
    Q_EMIT projectReplaced();
}

} // namespace Lift::Window
