#include "window/bundled_window.h"

#include <QApplication>

namespace Lift::Test {

void EnsureQApplication() {
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "test_window";
    static char* argv[] = {name, nullptr};
    // Kept for the whole run: Qt cannot be started twice in one process.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

BundledWindow::BundledWindow(const std::function<void(const std::filesystem::path&)>& prepare) {
    EnsureQApplication();
    std::filesystem::copy(std::filesystem::path(LIFT_SOURCE_DIR) / "data", m_dir.path(),
                          std::filesystem::copy_options::recursive);
    if (prepare)
        prepare(m_dir.path());
    m_loop = std::make_unique<Util::QtMainLoop>();
    Window::WindowOptions options;
    options.start.programDirectory = m_dir.path().string();
    options.start.startDirectory = m_dir.path().string();
    options.script = &script;
    // A device tree of its own, with nothing in it unless a test puts it there.
    options.ports = Serial::PortDiscoveryPlaces{m_dir.file("devices"), m_dir.file("com-ports")};
    m_window = std::make_unique<Window::MainWindow>(*m_loop, options);
}

BundledWindow::~BundledWindow() {
    m_window.reset();
    m_loop.reset();
}

std::string BundledWindow::data(const std::string& name) const {
    return name.empty() ? m_dir.path().string() : m_dir.file(name);
}

} // namespace Lift::Test
