// lift-lcd make-rom: start-up, project load and MAKE ROM as the window runs them, with the
// dialogs answered by the arguments.

#include "lift_lcd/cli_ui.h"
#include "lift_lcd/program_directory.h"
#include "lift_lcd/rom_commands.h"

#include "editor/editor_session.h"
#include "editor/start_up.h"
#include "project/project_file.h"
#include "rom/make_rom.h"
#include "util/errno_text.h"

#include <unistd.h>

#include <cerrno>
#include <exception>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace Lift::Cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "Usage: lift-lcd make-rom PROJECT.lcp [-o ROM.BIN] [--save-as FILE.lcp] [--workdir DIR]\n"
    "                         [--program-dir DIR]\n"
    "\n"
    "Builds the ROM image of a project as the editor's MAKE ROM does: reads the settings\n"
    "file and the GLB library of the working directory, loads the project, and writes the\n"
    "image (by default under the project's ROM file name, in the working directory).\n"
    "\n"
    "  -o ROM.BIN          write the image to this file instead\n"
    "  --save-as FILE.lcp  save the project to FILE first, replacing it (default: no save;\n"
    "                      the image is the same)\n"
    "  --workdir DIR       run as if started in DIR (settings file, GLB, temporary file);\n"
    "                      default: the current directory when it holds the settings file,\n"
    "                      else the per-user working folder of an installed copy\n"
    "  --program-dir DIR   folder holding DefaultImage2 (default: the program's folder, or\n"
    "                      the installed data folder)\n"
    "\n"
    "Paths on the command line are taken relative to the directory make-rom was started in.\n"
    "stdout: the message-log lines; stderr: message boxes as \"CAPTION: TEXT\".\n"
    "Exit status: 0 image written, 1 stopped or failed, 2 usage error.\n";

int usageError(Streams& io, const std::string& text) {
    io.err << "lift-lcd make-rom: " << text << "\n" << kUsage;
    return ExitUsage;
}

struct Options {
    std::string project;
    std::optional<std::string> output, saveAs, workdir, programDir;
};

} // namespace

bool OpenProject(const std::string& projectPath, const std::optional<std::string>& workdir,
                 const std::optional<std::string>& programDir, const std::string& original,
                 Editor::EditorSession& session, CliUi& ui, Streams& io) {
    std::string startDirectory = original;
    if (workdir) {
        startDirectory = AbsoluteAgainst(*workdir, original);
    } else {
        const WorkingFolder chosen = ChooseWorkingFolder(
            original, InstalledDataDirectory(RunningProgramFolder()), UserDataHome());
        startDirectory = chosen.folder;
        if (!chosen.logLine.empty())
            io.out << chosen.logLine << "\n";
    }
    if (startDirectory != original && ::chdir(startDirectory.c_str()) != 0) {
        io.err << CliUi::BoxLine("Error", "Cannot enter the working directory " + startDirectory +
                                              ": " + Util::ErrnoText(errno));
        return false;
    }
    // A start-up that ends early (no GLB library, no user-define file) has said so on
    // stderr; the window stays usable after it, so the load and what follows go on here too
    // and give their own results.
    Editor::RunStartUp(session, ui, {ProgramDirectory(programDir, original), startDirectory});
    return Project::LoadProjectFrom(session, ui, projectPath);
}

int MakeRomCommand(const std::vector<std::string>& args, Streams& io) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            io.out << kUsage;
            return ExitOk;
        }
        std::optional<std::string>* target = a == "-o"              ? &o.output
                                             : a == "--save-as"     ? &o.saveAs
                                             : a == "--workdir"     ? &o.workdir
                                             : a == "--program-dir" ? &o.programDir
                                                                    : nullptr;
        if (target) {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return usageError(io, a + " needs a value");
            *target = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            return usageError(io, "unknown option '" + a + "'");
        } else if (o.project.empty()) {
            o.project = a;
        } else {
            return usageError(io, "more than one project named");
        }
    }
    if (o.project.empty())
        return usageError(io, "no project named");

    std::error_code ec;
    const std::string original = fs::current_path(ec).string();
    if (ec) {
        io.err << CliUi::BoxLine("Error", "Cannot read the working directory: " + ec.message());
        return ExitFailed;
    }
    const auto absolute = [&](const std::optional<std::string>& p) -> std::optional<std::string> {
        if (!p)
            return std::nullopt;
        return AbsoluteAgainst(*p, original);
    };
    const std::string projectPath = AbsoluteAgainst(o.project, original);
    const auto outputPath = absolute(o.output);
    const auto saveAsPath = absolute(o.saveAs);
    CliUi ui(io.out, io.err);
    Editor::EditorSession session;
    try {
        if (!OpenProject(projectPath, o.workdir, o.programDir, original, session, ui, io))
            return ExitFailed;

        Rom::MakeRomContext context{session.project,
                                    session.program.glbData,
                                    session.program.settings.versionSettings,
                                    session.program.startDirectory,
                                    session.program.userFloorPictureRoot,
                                    [&] {
                                        if (saveAsPath)
                                            Project::SaveProjectTo(session, ui, *saveAsPath);
                                        else
                                            Project::ApplySaveEffects(session.project);
                                        session.program.saveCompleted = true;
                                        return true;
                                    },
                                    outputPath};
        const Rom::MakeRomOutcome outcome = Rom::MakeRom(context, ui);
        return outcome.result == Rom::MakeRomResult::Written ? ExitOk : ExitFailed;
    } catch (const std::exception& e) {
        // The INI engine has shown its own box already; this says why the run ended.
        io.err << CliUi::BoxLine("Error", e.what());
        return ExitFailed;
    }
}

} // namespace Lift::Cli
