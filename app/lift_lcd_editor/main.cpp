// lift-lcd-editor: the editor's window.
//
//   lift-lcd-editor [--workdir DIR] [--program-dir DIR]
//
// --workdir makes DIR the working directory as if the program had been started there (the
// settings file, the GLB library and the blank logo are read there); --program-dir is the
// folder holding "DefaultImage2" (default: beside the program, else the installed data).
#include "editor/window/main_window.h"
#include "lift_lcd/program_directory.h"
#include "util/qt_main_loop.h"

#include <QApplication>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

int usage(const char* message) {
    std::cerr << "lift-lcd-editor: " << message << "\n"
              << "Usage: lift-lcd-editor [--workdir DIR] [--program-dir DIR]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::optional<std::string> workdir;
    std::optional<std::string> programDir;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--workdir" || a == "--program-dir") && i + 1 < argc) {
            (a == "--workdir" ? workdir : programDir) = argv[++i];
        } else if (a == "--help" || a == "-h") {
            std::cout << "Usage: lift-lcd-editor [--workdir DIR] [--program-dir DIR]\n";
            return 0;
        } else if (a.rfind("--", 0) == 0) { // single-dash options are Qt's own
            return usage(("unknown option " + a).c_str());
        }
    }

    const std::string original = std::filesystem::current_path().string();
    if (workdir) {
        const std::string dir = Lift::Cli::AbsoluteAgainst(*workdir, original);
        if (::chdir(dir.c_str()) != 0) {
            std::cerr << "lift-lcd-editor: cannot change to the working directory " << dir << ": "
                      << std::strerror(errno) << "\n";
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
    return loop.run();
}
