#pragma once
// The real main window started on a private copy of the bundled data set, its dialogs,
// questions and message boxes answered by a script. Creates the QApplication on first use.
#include "window/main_window.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "util/qt_main_loop.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace Lift::Test {

void EnsureQApplication();

class BundledWindow {
public:
    // `prepare` may change the copied data folder before the window starts.
    explicit BundledWindow(
        const std::function<void(const std::filesystem::path&)>& prepare = nullptr);
    ~BundledWindow();

    std::string data(const std::string& name = {}) const;
    Window::MainWindow& window() { return *m_window; }
    Editor::EditorSession& session() { return m_window->session(); }
    Util::QtMainLoop& loop() { return *m_loop; }

    ScriptedUi script;

private:
    TempDir m_dir;
    std::unique_ptr<Util::QtMainLoop> m_loop;
    std::unique_ptr<Window::MainWindow> m_window;
};

} // namespace Lift::Test
