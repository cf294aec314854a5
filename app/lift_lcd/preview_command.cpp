// lift-lcd preview: draws the indicator's screen for floor codes, from a built ROM image or
// from a project.

#include "lift_lcd/option_values.h"
#include "lift_lcd/picture_files.h"
#include "lift_lcd/program_directory.h"
#include "lift_lcd/rom_commands.h"

#include "editor/code_table_labels.h"
#include "preview/image_pieces.h"
#include "preview/project_pieces.h"
#include "preview/screen_layout.h"

#include <cctype>
#include <exception>
#include <filesystem>
#include <memory>
#include <ostream>
#include <system_error>

namespace Lift::Cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "Usage: lift-lcd preview IMAGE.BIN|PROJECT.lcp (--code XX -o SCREEN.png | --all DIR)\n"
    "                        [--table N] [--state ROW] [--frame K] [--logo] [--scale S]\n"
    "                        [--encode 0|1] [--disphv 0|1] [--workdir DIR] [--program-dir DIR]\n"
    "\n"
    "Draws the indicator's 64 x 128 screen for a floor code as PNG: from a ROM image using\n"
    "only what the image holds, or from a project (\".lcp\") by MAKE ROM's rules with the\n"
    "settings file and GLB library of the working directory. It previews the pictures, not\n"
    "the controller's timing.\n"
    "\n"
    "  --code XX          the floor code, hexadecimal 00..FF as the grid's HEX column shows it\n"
    "  -o SCREEN.png      write that screen to this file\n"
    "  --all DIR          write code_XX.png for every used code of the table and\n"
    "                     contact_sheet.png with all of them into DIR\n"
    "  --table N          code table 0..2 (default: the default code table)\n"
    "  --state ROW        show lift state ROW (0..9) in the message line\n"
    "  --frame K          animation step K (0 or more): the travelling arrow at frame K mod 12\n"
    "                     (no arrow without --frame); the message shows its chosen columns in\n"
    "                     turn, one per 12 steps\n"
    "  --logo             the customer logo screen\n"
    "  --scale S          draw each pixel S x S (1..16, default 1)\n"
    "  --encode 0|1       image: whether its first 256 bytes are masked; default as inspect\n"
    "  --disphv 0|1       image: the orientation the pictures were packed in (default 1)\n"
    "  --workdir DIR      project: run as if started in DIR (settings file, GLB library);\n"
    "                     default as make-rom chooses it\n"
    "  --program-dir DIR  project: folder holding DefaultImage2\n"
    "\n"
    "stdout: the files written; stderr: every problem found, as \"CTBL0-0A (10 ): TEXT\".\n"
    "Exit status: 0 drawn without a problem, 1 a problem was found (the pictures are still\n"
    "written) or the input cannot be used, 2 usage error.\n";

int usageError(Streams& io, const std::string& text) {
    io.err << "lift-lcd preview: " << text << "\n" << kUsage;
    return ExitUsage;
}

struct Options {
    std::string input;
    std::optional<std::string> output, allDir, workdir, programDir;
    std::optional<int> table, code;
    Preview::ScreenState state;
    int scale = 1;
    int encode = -1;
    std::optional<int> disphv;
};

bool isProject(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".lcp";
}

// Parses the arguments; an empty result means go on, otherwise it is the exit code.
std::optional<int> parse(const std::vector<std::string>& args, Options& o, Streams& io) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            io.out << kUsage;
            return ExitOk;
        }
        if (a == "--logo") {
            o.state.logo = true;
            continue;
        }
        const bool takesValue = a == "-o" || a == "--all" || a == "--workdir" ||
                                a == "--program-dir" || a == "--table" || a == "--code" ||
                                a == "--state" || a == "--frame" || a == "--scale" ||
                                a == "--encode" || a == "--disphv";
        if (!takesValue) {
            if (!a.empty() && a[0] == '-')
                return usageError(io, "unknown option '" + a + "'");
            if (!o.input.empty())
                return usageError(io, "more than one image or project named");
            o.input = a;
            continue;
        }
        if (i + 1 >= args.size() || args[i + 1].empty())
            return usageError(io, a + " needs a value");
        const std::string& v = args[++i];
        const auto number = [&](long long min, long long max, int base = 10) {
            return ParseInteger(v, min, max, base);
        };
        std::optional<long long> n;
        if (a == "-o") {
            o.output = v;
        } else if (a == "--all") {
            o.allDir = v;
        } else if (a == "--workdir") {
            o.workdir = v;
        } else if (a == "--program-dir") {
            o.programDir = v;
        } else if (a == "--table" && (n = number(0, 2))) {
            o.table = int(*n);
        } else if (a == "--code" && v.size() <= 2 && (n = number(0, 255, 16))) {
            o.code = int(*n);
        } else if (a == "--state" && (n = number(0, 9))) {
            o.state.liftState = int(*n);
        } else if (a == "--frame" && (n = number(0, 1 << 20))) {
            o.state.travelling = true;
            o.state.step = int(*n);
        } else if (a == "--scale" && (n = number(1, 16))) {
            o.scale = int(*n);
        } else if ((a == "--encode" || a == "--disphv") && (n = number(0, 1))) {
            (a == "--encode" ? o.encode : o.disphv.emplace()) = int(*n);
        } else {
            return usageError(io, "invalid value '" + v + "' for " + a);
        }
    }
    if (o.input.empty())
        return usageError(io, "no image or project named");
    if (o.allDir.has_value() == (o.output.has_value() || o.code.has_value()))
        return usageError(io, "give either --code XX and -o SCREEN.png, or --all DIR");
    if (!o.allDir && !(o.output && o.code))
        return usageError(io, "--code XX and -o SCREEN.png go together");
    if (isProject(o.input) && (o.encode >= 0 || o.disphv))
        return usageError(io, "--encode and --disphv apply to an image; a project's version "
                              "sets them");
    if (!isProject(o.input) && (o.workdir || o.programDir))
        return usageError(io, "--workdir and --program-dir apply to a project");
    return std::nullopt;
}

std::string codeName(int table, int code) {
    return "CTBL" + std::to_string(table) + "-" + Editor::CodeColumnLabel(code);
}

std::string hex2(int code) {
    static const char digits[] = "0123456789ABCDEF";
    return {digits[(code >> 4) & 15], digits[code & 15]};
}

// Draws the codes and writes the pictures; returns the exit code.
int draw(Preview::PieceSource& source, const Options& o, Streams& io) {
    Preview::ScreenState state = o.state;
    state.table = o.table.value_or(source.settings().defaultCodeTable);
    if (state.table < 0 || state.table > 2) {
        io.err << "lift-lcd preview: the default code table is " << state.table
               << "; choose one with --table\n";
        return ExitFailed;
    }
    std::vector<int> codes;
    if (o.code) {
        codes.push_back(*o.code);
    } else {
        for (int c = 0; c < 256; ++c)
            if (!source.entry(state.table, c).label.empty())
                codes.push_back(c);
    }
    bool problems = false;
    std::string error;
    std::vector<QImage> screens;
    if (o.allDir) {
        std::error_code ec;
        fs::create_directories(*o.allDir, ec);
        if (ec) {
            io.err << "lift-lcd preview: cannot create " << *o.allDir << ": " << ec.message()
                   << "\n";
            return ExitFailed;
        }
    }
    for (int code : codes) {
        state.code = code;
        const Preview::ScreenPreview preview = Preview::PreviewScreen(source, state);
        for (const std::string& p : preview.problems)
            io.err << codeName(state.table, code) << ": " << p << "\n";
        problems = problems || !preview.problems.empty();
        screens.push_back(Rom::BlackPictureImage(preview.screen, o.scale));
        const std::string path =
            o.output ? *o.output : (fs::path(*o.allDir) / ("code_" + hex2(code) + ".png")).string();
        if (!SavePng(screens.back(), path, error)) {
            io.err << "lift-lcd preview: " << error << "\n";
            return ExitFailed;
        }
        io.out << "Wrote " << path << "\n";
    }
    if (o.allDir) {
        const QSize cell(Preview::kScreenWidth * o.scale + 8, Preview::kScreenHeight * o.scale + 8);
        const std::string path = (fs::path(*o.allDir) / "contact_sheet.png").string();
        if (!SavePng(ContactSheet(screens, cell, 8), path, error)) {
            io.err << "lift-lcd preview: " << error << "\n";
            return ExitFailed;
        }
        io.out << "Wrote " << path << " (" << screens.size() << " codes of CTBL" << state.table
               << ")\n";
    }
    return problems ? ExitFailed : ExitOk;
}

} // namespace

int PreviewCommand(const std::vector<std::string>& args, Streams& io) {
    Options o;
    if (const auto exit = parse(args, o, io))
        return *exit;

    std::error_code ec;
    const std::string original = fs::current_path(ec).string();
    if (ec) {
        io.err << "lift-lcd preview: cannot read the working directory: " << ec.message() << "\n";
        return ExitFailed;
    }
    const std::string input = AbsoluteAgainst(o.input, original);
    if (o.output)
        o.output = AbsoluteAgainst(*o.output, original);
    if (o.allDir)
        o.allDir = AbsoluteAgainst(*o.allDir, original);

    if (!isProject(input)) {
        std::string image, error;
        Rom::RomInspection inspection;
        if (!ReadRomImage(input, o.encode, image, inspection, error)) {
            io.err << "lift-lcd preview: " << error << "\n";
            return ExitFailed;
        }
        Preview::ImagePieces source(std::move(image), o.disphv.value_or(1) == 1);
        return draw(source, o, io);
    }

    CliUi ui(io.out, io.err);
    Editor::EditorSession session;
    try {
        if (!OpenProject(input, o.workdir, o.programDir, original, session, ui, io))
            return ExitFailed;
        Preview::ProjectPieces source(session);
        return draw(source, o, io);
    } catch (const std::exception& e) {
        io.err << CliUi::BoxLine("Error", e.what());
        return ExitFailed;
    }
}

} // namespace Lift::Cli
