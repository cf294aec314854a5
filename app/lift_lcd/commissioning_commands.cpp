// lift-lcd check, sheet and diff: the commissioning tools on projects read as the editor
// reads them, without writing anything but the sheet asked for.

#include "lift_lcd/commissioning_commands.h"
#include "lift_lcd/cli_ui.h"
#include "lift_lcd/option_values.h"
#include "lift_lcd/program_directory.h"

#include "commissioning/check.h"
#include "commissioning/commissioning_sheet.h"
#include "commissioning/compare.h"
#include "commissioning/read_project.h"
#include "rom/rom_layout.h"
#include "util/atomic_file.h"
#include "util/errno_text.h"

#include <QDate>
#include <QDateTime>
#include <QGuiApplication>
#include <QTimeZone>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <system_error>

namespace Lift::Cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kProjectOptions =
    "  --workdir DIR       the editor's working directory: settings file and GLB library;\n"
    "                      relative picture paths of a project are read from here, as the\n"
    "                      editor reads them. Default: the current directory when it holds\n"
    "                      the settings file, else the per-user working folder of make-rom,\n"
    "                      else the installed data set\n"
    "  --program-dir DIR   folder holding DefaultImage2 (default: the program's folder, or\n"
    "                      the installed data folder)\n";

const std::string kCheckUsage =
    std::string("Usage: lift-lcd check PROJECT.lcp [--workdir DIR] [--program-dir DIR]\n"
                "\n"
                "Checks a project with MAKE ROM's own rules before it is built: every case where\n"
                "MAKE ROM would refuse, drop, cut or substitute something is an error, likely\n"
                "mistakes are warnings. One finding a line, \"SEVERITY: PLACE: MESSAGE\", then\n"
                "the count. Reads the project and its pictures; writes nothing.\n"
                "\n") +
    kProjectOptions +
    "\n"
    "Exit status: 0 no errors, 1 errors found, 2 usage error or a project that cannot be read.\n";

const std::string kSheetUsage =
    std::string("Usage: lift-lcd sheet PROJECT.lcp -o SHEET.pdf [--workdir DIR] [--program-dir "
                "DIR]\n"
                "\n"
                "Writes the commissioning sheet of a project as a PDF file: its settings and, for\n"
                "each code table in use, every labelled code with its input pattern, label and\n"
                "the picture the display shows.\n"
                "\n"
                "  -o SHEET.pdf        the file to write (replaced only once complete)\n") +
    kProjectOptions +
    "\n"
    "Exit status: 0 written, 1 the file cannot be written, 2 usage error or a project that\n"
    "cannot be read.\n";

const std::string kDiffUsage =
    std::string("Usage: lift-lcd diff A B [--workdir DIR] [--program-dir DIR]\n"
                "\n"
                "Compares two projects (.lcp) or two ROM images (64512 bytes): the settings that\n"
                "differ, each code whose label differs (\"TABLE CODE: old -> new\"), the pictures\n"
                "that differ by what they show, and for images every area whose bytes differ.\n"
                "\n") +
    kProjectOptions + "                      (both only for projects)\n" +
    "\n"
    "Exit status: 0 the same, 1 different, 2 trouble (usage, unreadable or mixed files).\n";

struct Parsed {
    std::vector<std::string> files;
    std::optional<std::string> workdir, programDir, output;
};

struct CommandSpec {
    const char* name;
    const std::string& usage;
    std::size_t files;       // how many files the command names
    bool needsOutput;        // -o FILE
    const char* filesNeeded; // the usage error when they are not there
};

// Parses the arguments. An exit status when the command ends here: help shown or a usage
// error printed.
std::optional<int> parse(const std::vector<std::string>& args, const CommandSpec& spec, Streams& io,
                         Parsed& p) {
    const auto fail = [&](const std::string& text) {
        io.err << "lift-lcd " << spec.name << ": " << text << "\n" << spec.usage;
        return std::optional<int>(ExitUsage);
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            io.out << spec.usage;
            return ExitOk;
        }
        std::optional<std::string>* target = a == "--workdir"                  ? &p.workdir
                                             : a == "--program-dir"            ? &p.programDir
                                             : (a == "-o" && spec.needsOutput) ? &p.output
                                                                               : nullptr;
        if (target) {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return fail(a + " needs a value");
            *target = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            return fail("unknown option '" + a + "'");
        } else {
            p.files.push_back(a);
        }
    }
    if (p.files.size() != spec.files || (spec.needsOutput && !p.output))
        return fail(spec.filesNeeded);
    return std::nullopt;
}

// The run's directories: command-line paths are made absolute against the directory the
// command started in, then the working directory is entered as the editor would start in it.
class Places {
public:
    bool enter(const Parsed& p, Streams& io) {
        std::error_code ec;
        m_original = fs::current_path(ec).string();
        if (ec) {
            io.err << CliUi::BoxLine("Error", "Cannot read the working directory: " + ec.message());
            return false;
        }
        m_start.programDirectory = ProgramDirectory(p.programDir, m_original);
        if (p.workdir) {
            m_start.startDirectory = absolute(*p.workdir);
        } else {
            // As make-rom chooses, but nothing is copied: these commands write nothing.
            const WorkingFolder chosen = ChooseWorkingFolder(
                m_original, InstalledDataDirectory(RunningProgramFolder()), UserDataHome(), false);
            m_start.startDirectory = chosen.folder;
            if (!chosen.logLine.empty())
                io.err << chosen.logLine << "\n"; // stdout holds the command's result
        }
        if (m_start.startDirectory != m_original && ::chdir(m_start.startDirectory.c_str()) != 0) {
            io.err << CliUi::BoxLine("Error", "Cannot enter the working directory " +
                                                  m_start.startDirectory + ": " +
                                                  Util::ErrnoText(errno));
            return false;
        }
        return true;
    }
    std::string absolute(const std::string& path) const {
        return AbsoluteAgainst(path, m_original);
    }
    const Editor::StartOptions& start() const { return m_start; }

private:
    std::string m_original;
    Editor::StartOptions m_start;
};

// Parses the arguments and enters the working directory; an exit status when the command
// ends here.
std::optional<int> start(const std::vector<std::string>& args, const CommandSpec& spec, Streams& io,
                         Parsed& p, Places& places) {
    if (const auto done = parse(args, spec, io, p))
        return done;
    if (!places.enter(p, io))
        return ExitUsage;
    return std::nullopt;
}

bool readProject(Editor::EditorSession& session, CliUi& ui, const Places& places,
                 const std::string& path, const char* name, Streams& io) {
    std::string error;
    if (Commissioning::ReadProjectForTools(session, ui, places.start(), places.absolute(path),
                                           error))
        return true;
    io.err << "lift-lcd " << name << ": " << error << "\n";
    return false;
}

// Fonts need a GUI application; a command line has no display, so it uses none. Qt's notes
// on the way (no runtime folder on a server, ...) would only muddle the command's stderr.
class OffscreenGui {
public:
    OffscreenGui() {
        if (QCoreApplication::instance())
            return;
        m_previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& text) {
                if (type == QtCriticalMsg || type == QtFatalMsg)
                    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            });
        static char program[] = "lift-lcd", option[] = "-platform", platform[] = "offscreen";
        static char* argv[] = {program, option, platform, nullptr};
        static int argc = 3;
        m_app = std::make_unique<QGuiApplication>(argc, argv);
    }
    ~OffscreenGui() {
        if (!m_app)
            return;
        m_app.reset();
        qInstallMessageHandler(m_previous);
    }
    OffscreenGui(const OffscreenGui&) = delete;
    OffscreenGui& operator=(const OffscreenGui&) = delete;

private:
    std::unique_ptr<QGuiApplication> m_app;
    QtMessageHandler m_previous = nullptr;
};

// Today as YYYY-MM-DD; SOURCE_DATE_EPOCH (seconds since 1970, UTC), when set, stands for
// today, as for other tools whose output should come out the same again.
std::string printedOn() {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); // NOLINT(concurrency-mt-unsafe)
    const auto seconds = epoch ? ParseInteger(epoch, 0, 253402300799) : std::nullopt;
    const QDate day = seconds ? QDateTime::fromSecsSinceEpoch(*seconds, QTimeZone::utc()).date()
                              : QDate::currentDate();
    return day.toString(Qt::ISODate).toStdString();
}

} // namespace

int CheckCommand(const std::vector<std::string>& args, Streams& io) {
    Parsed p;
    Places places;
    if (const auto done =
            start(args, {"check", kCheckUsage, 1, false, "name one project"}, io, p, places))
        return *done;
    CliUi ui(io.out, io.err);
    Editor::EditorSession session;
    if (!readProject(session, ui, places, p.files[0], "check", io))
        return ExitUsage;
    const std::vector<Commissioning::Finding> findings = Commissioning::CheckProject(session);
    for (const Commissioning::Finding& f : findings)
        io.out << Commissioning::FindingLine(f) << "\n";
    io.out << Commissioning::FindingSummary(findings) << "\n";
    const bool errors = std::any_of(findings.begin(), findings.end(), [](const auto& f) {
        return f.severity == Commissioning::Severity::Error;
    });
    return errors ? ExitFailed : ExitOk;
}

int SheetCommand(const std::vector<std::string>& args, Streams& io) {
    Parsed p;
    Places places;
    if (const auto done = start(
            args, {"sheet", kSheetUsage, 1, true, "name one project and the sheet's file (-o)"}, io,
            p, places))
        return *done;
    const std::string output = places.absolute(*p.output);
    CliUi ui(io.out, io.err);
    Editor::EditorSession session;
    if (!readProject(session, ui, places, p.files[0], "sheet", io))
        return ExitUsage;
    const OffscreenGui gui;
    // The project as the technician named it, for the page header.
    const Commissioning::SheetInfo info{p.files[0], printedOn()};
    std::string error;
    if (!Commissioning::WriteCommissioningSheet(session, info, output, error)) {
        io.err << CliUi::BoxLine("Error", error);
        return ExitFailed;
    }
    return ExitOk;
}

int DiffCommand(const std::vector<std::string>& args, Streams& io) {
    Parsed p;
    Places places;
    if (const auto done =
            start(args, {"diff", kDiffUsage, 2, false, "name two projects or two ROM images"}, io,
                  p, places))
        return *done;
    // A project is INI text and names itself .lcp; a ROM image is 64512 bytes of anything.
    const auto isImage = [&](const std::string& file) {
        const fs::path path(places.absolute(file));
        std::error_code ec;
        std::string ext = path.extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return ext != ".lcp" && fs::file_size(path, ec) == Rom::kRomImageSize && !ec;
    };
    const bool imageA = isImage(p.files[0]), imageB = isImage(p.files[1]);
    if (imageA != imageB) {
        io.err << "lift-lcd diff: " << (imageA ? "A" : "B") << " is a ROM image and "
               << (imageA ? "B" : "A") << " is not: compare two projects or two images\n";
        return ExitUsage;
    }
    std::vector<std::string> lines;
    if (imageA) {
        std::string a, b, error;
        if (!Util::ReadWholeFile(places.absolute(p.files[0]), a, &error) ||
            !Util::ReadWholeFile(places.absolute(p.files[1]), b, &error) ||
            !Commissioning::CompareRomImages(a, b, lines, error)) {
            io.err << "lift-lcd diff: " << error << "\n";
            return ExitUsage;
        }
    } else {
        CliUi ui(io.out, io.err);
        Editor::EditorSession a, b;
        if (!readProject(a, ui, places, p.files[0], "diff", io) ||
            !readProject(b, ui, places, p.files[1], "diff", io))
            return ExitUsage;
        lines = Commissioning::CompareProjects(a, b);
    }
    for (const std::string& line : lines)
        io.out << line << "\n";
    return lines.empty() ? ExitOk : ExitFailed;
}

} // namespace Lift::Cli
