#include "editor/window/make_tab.h"

#include "editor/window/qt_editor_ui.h"

#include <QTextEdit>
#include <QVBoxLayout>

namespace Lift::Window {

MakeTab::MakeTab(Editor::EditorSession& session, QtEditorUi& ui, Util::MainLoop& loop,
                 QWidget* parent)
    : QWidget(parent), m_session(session), m_ui(ui), m_loop(loop) {
    auto* layout = new QVBoxLayout(this);
    m_log = new QTextEdit(this);
    m_log->setReadOnly(true);
    layout->addWidget(m_log);
    m_ui.setLogView(m_log);
}

MakeTab::~MakeTab() {
    m_ui.setLogView(nullptr);
}

void MakeTab::showModel() {}

} // namespace Lift::Window
