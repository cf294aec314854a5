#pragma once
// MainWindow: the editor's one window — the "Setup" and "Make" tabs over one EditorSession,
// the four-panel status bar, and the start-up run when the window is created.
//
// Owns the session, the window's EditorUi and both tabs (the Make tab owns the serial link).
// Create, use and destroy on the GUI thread, with a QApplication and the loop alive.
#include "commissioning/check.h"
#include "editor/editor_session.h"
#include "editor/start_up.h"
#include "serial/com_port_discovery.h"

#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>

class QLabel;
class QTabWidget;

namespace Lift::Util {
class MainLoop;
}

namespace Lift::Window {

class CheckDialog;
class MakeTab;
class QtEditorUi;
class SetupTab;

struct WindowOptions {
    Editor::StartOptions start;
    // Tests: answers the dialogs, questions and message boxes instead of the user.
    Editor::EditorUi* script = nullptr;
    // Where the "COM port:" list looks for serial ports; nothing: it shows the port table.
    std::optional<Serial::PortDiscoveryPlaces> ports;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(Util::MainLoop& loop, const WindowOptions& options, QWidget* parent = nullptr);
    ~MainWindow() override;

    Editor::EditorSession& session() { return m_session; }
    QtEditorUi& ui() { return *m_ui; }
    SetupTab& setupTab() { return *m_setup; }
    MakeTab& makeTab() { return *m_make; }
    QTabWidget& tabs() { return *m_tabs; }
    QLabel& statusPanel(int panel) { return *m_status.at(static_cast<std::size_t>(panel)); }
    bool startUpCompleted() const { return m_session.program.startUpCompleted; }

    // Shows the model in every control (after start-up, a load or a clear).
    void showModel();

    // "Check": lists the findings of the project as it stands; choosing one shows its place.
    void check();
    // "Print sheet...": asks for a PDF file and writes the commissioning sheet to it.
    void printSheet();
    // Shows a finding's place: its grid cell, slot picture or the setting's control.
    void showPlace(const Commissioning::FindingPlace& place);
    CheckDialog& checkDialog() { return *m_check; }

private:
    void buildStatusBar();

    Editor::EditorSession m_session;
    std::unique_ptr<QtEditorUi> m_ui;
    QTabWidget* m_tabs = nullptr;
    SetupTab* m_setup = nullptr;
    MakeTab* m_make = nullptr;
    CheckDialog* m_check = nullptr;
    std::array<QLabel*, 4> m_status{};
};

} // namespace Lift::Window
