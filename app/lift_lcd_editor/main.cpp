// lift-lcd-editor: the editor's window.
//
//   lift-lcd-editor [--workdir DIR] [--program-dir DIR] [--screenshots PREFIX]
//
// --workdir makes DIR the working directory as if the program had been started there (the
// settings file, the GLB library and the blank logo are read there); --program-dir is the
// folder holding "DefaultImage2" (default: beside the program, else the installed data).
// --screenshots saves each tab of the started window as PREFIX-<tab>.png and quits.
#include "lift_lcd/program_directory.h"
#include "util/errno_text.h"
#include "util/qt_main_loop.h"
#include "window/main_window.h"
#include "window/make_tab.h"
#include "window/rom_file_browser.h"

#include <QApplication>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* kUsage =
    "Usage: lift-lcd-editor [--workdir DIR] [--program-dir DIR] [--screenshots PREFIX]\n";

int usage(const std::string& message) {
    std::cerr << "lift-lcd-editor: " << message << "\n" << kUsage;
    return 2;
}

// Saves every tab as PREFIX-<tab name>.png. False, after a message, when one cannot be saved.
bool saveScreenshots(Lift::Window::MainWindow& window, Lift::Util::MainLoop& loop,
                     const std::string& prefix) {
    QTabWidget& tabs = window.tabs();
    const Lift::Window::RomFileBrowser& browser = window.makeTab().romBrowser();
    bool ok = true;
    for (int i = 0; i < tabs.count(); ++i) {
        tabs.setCurrentIndex(i);
        // The folder tree fills in the background: sleep until it shows the folder.
        if (!loop.waitUntil([&] { return browser.showsFolder(); }, std::chrono::seconds(20)))
            std::cerr << "lift-lcd-editor: the folder tree is still being read\n";
        // Sorting what was read last is queued; then the folder goes to the middle, as it
        // does for the user, whatever order the folders arrived in.
        QCoreApplication::processEvents();
        QTreeView& tree = window.makeTab().romBrowser().folderTree();
        tree.scrollTo(tree.currentIndex(), QAbstractItemView::PositionAtCenter);
        const QString file = QString::fromStdString(prefix) + QLatin1Char('-') +
                             tabs.tabText(i).toLower() + QStringLiteral(".png");
        if (!window.grab().save(file)) {
            std::cerr << "lift-lcd-editor: cannot save " << file.toStdString() << "\n";
            ok = false;
        }
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    std::optional<std::string> workdir;
    std::optional<std::string> programDir;
    std::optional<std::string> screenshots;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--workdir" || a == "--program-dir" || a == "--screenshots") && i + 1 < argc) {
            (a == "--workdir"       ? workdir
             : a == "--program-dir" ? programDir
                                    : screenshots) = argv[++i];
        } else if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a.rfind("--", 0) == 0) { // single-dash options are Qt's own
            return usage(("unknown option " + a).c_str());
        }
    }

    const std::string original = std::filesystem::current_path().string();
    if (screenshots)
        screenshots = Lift::Cli::AbsoluteAgainst(*screenshots, original);
    if (workdir) {
        const std::string dir = Lift::Cli::AbsoluteAgainst(*workdir, original);
        if (::chdir(dir.c_str()) != 0) {
            std::cerr << "lift-lcd-editor: cannot change to the working directory " << dir << ": "
                      << Lift::Util::ErrnoText(errno) << "\n";
            return 1;
        }
    }

    QApplication app(argc, argv);
    Lift::Util::QtMainLoop loop;
    Lift::Window::WindowOptions options;
    options.start.startDirectory = std::filesystem::current_path().string();
    options.start.programDirectory = Lift::Cli::ProgramDirectory(programDir, original);
    Lift::Window::MainWindow window(loop, options);
    window.show();
    if (screenshots) {
        window.resize(window.sizeHint());
        QTimer::singleShot(0, &window,
                           [&] { loop.quit(saveScreenshots(window, loop, *screenshots) ? 0 : 1); });
    }
    return loop.run();
}
