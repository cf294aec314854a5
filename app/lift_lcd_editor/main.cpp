// lift-lcd-editor: the editor's window.
//
//   lift-lcd-editor [--workdir DIR] [--program-dir DIR] [--screenshots PREFIX]
//
// --workdir makes DIR the working directory as if the program had been started there (the
// settings file, the GLB library and the blank logo are read there); without it, a start
// from a folder that has no settings file (the desktop menu starts in the home folder) uses
// the per-user working folder of an installed copy. --program-dir is the folder holding
// "DefaultImage2" (default: beside the program, else the installed data).
// --screenshots saves each tab of the started window as PREFIX-<tab>.png and quits.
#include "lift_lcd/cli.h"
#include "lift_lcd/program_directory.h"
#include "util/errno_text.h"
#include "util/qt_main_loop.h"
#include "window/main_window.h"
#include "window/make_tab.h"
#include "window/qt_editor_ui.h"
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

constexpr const char* kHelp =
    "\n"
    "Composes the screens of a PRM-620BX7 lift LCD floor indicator, builds the\n"
    "controller's ROM image and uploads it (and the clock) over a serial port.\n"
    "\n"
    "  --workdir DIR         work in DIR: the settings file ZEBPRV620BX7.INI, the GLB\n"
    "                        library and the blank logo are read there. Default: the\n"
    "                        current directory when it holds the settings file, else the\n"
    "                        per-user working folder $XDG_DATA_HOME/lift-lcd (first made\n"
    "                        as a copy of the installed data set)\n"
    "  --program-dir DIR     the folder holding DefaultImage2 (default: the program's\n"
    "                        folder when it holds one, else the installed data set)\n"
    "  --screenshots PREFIX  save each tab as PREFIX-<tab>.png and quit\n"
    "  --version             print the version and quit\n"
    "\n"
    "The \"COM port:\" list shows the serial ports found, as 'lift-lcd ports' lists them.\n";

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
            std::cout << kUsage << kHelp;
            return 0;
        } else if (a == "--version") {
            std::cout << "lift-lcd-editor " << Lift::Cli::ProgramVersion() << "\n";
            return 0;
        } else if (a.rfind("--", 0) == 0) { // single-dash options are Qt's own
            return usage(("unknown option " + a).c_str());
        }
    }

    const std::string original = std::filesystem::current_path().string();
    if (screenshots)
        screenshots = Lift::Cli::AbsoluteAgainst(*screenshots, original);
    Lift::Cli::WorkingFolder chosen{original, {}};
    if (workdir)
        chosen.folder = Lift::Cli::AbsoluteAgainst(*workdir, original);
    else
        chosen = Lift::Cli::ChooseWorkingFolder(
            original, Lift::Cli::InstalledDataDirectory(Lift::Cli::RunningProgramFolder()),
            Lift::Cli::UserDataHome());
    if (!chosen.logLine.empty())
        std::cerr << "lift-lcd-editor: " << chosen.logLine << "\n";
    if (chosen.folder != original) {
        const std::string& dir = chosen.folder;
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
    options.ports = Lift::Serial::DefaultPortDiscoveryPlaces();
    Lift::Window::MainWindow window(loop, options);
    // After start-up, which empties the log.
    if (!chosen.logLine.empty())
        window.ui().appendLog(chosen.logLine);
    window.show();
    if (screenshots) {
        window.resize(window.sizeHint());
        QTimer::singleShot(0, &window,
                           [&] { loop.quit(saveScreenshots(window, loop, *screenshots) ? 0 : 1); });
    }
    return loop.run();
}
