// lift-lcd upload and lift-lcd sync-time.

#include "lift_lcd/link_commands.h"
#include "lift_lcd/option_values.h"
#include "lift_lcd/run_link_operation.h"
#include "lift_lcd/upload_version.h"

#include <filesystem>
#include <ostream>

namespace Lift::Cli {

namespace {

constexpr const char* kUploadUsage =
    "Usage: lift-lcd upload IMAGE.BIN --port PORT [--msg] [--version NAME] [--workdir DIR]\n"
    "                       [--period-ms N] [--time-limit S]\n"
    "\n"
    "Uploads a ROM image to the PRM-620BX7 controller as the editor's \"UpLoad ROM Image\"\n"
    "does: waits for the controller's request, then sends the image in 64-byte blocks.\n"
    "\n"
    "  --port PORT     a port number 1..16, \"COMn\", a port's name as 'lift-lcd ports'\n"
    "                  lists it, or a device path\n"
    "  --msg           log every frame and the elapsed time (\"Msg. on\")\n"
    "  --version NAME  controller code version; default: the first one of the settings\n"
    "                  file ZEBPRV620BX7.INI in the working directory\n"
    "  --workdir DIR   working directory for the settings file (default: the current one)\n"
    "  --period-ms N   time-out period in milliseconds (default 10000); ten silent\n"
    "                  periods in a row abort\n"
    "  --time-limit S  give up after S seconds in all (default 300)\n"
    "\n"
    "Log lines go to stdout, a progress line to stderr when it is a terminal.\n"
    "Exit status: 0 finished, 1 refused, failed, aborted, port lost or out of time,\n"
    "2 usage error.\n";

constexpr const char* kSyncUsage =
    "Usage: lift-lcd sync-time --port PORT [--msg] [--period-ms N] [--time-limit S]\n"
    "\n"
    "Sets the controller's date and time from this computer's local clock, as the editor's\n"
    "\"Date-Time Sync.\" does.\n"
    "\n"
    "  --port PORT     a port number 1..16, \"COMn\", a port's name as 'lift-lcd ports'\n"
    "                  lists it, or a device path\n"
    "  --msg           log every frame (\"Msg. on\")\n"
    "  --period-ms N   time-out period in milliseconds (default 10000)\n"
    "  --time-limit S  give up after S seconds in all (default 300)\n"
    "\n"
    "Exit status: 0 finished, 1 failed, aborted, port lost or out of time, 2 usage error.\n";

struct Parsed {
    LinkOperation op;
    std::optional<std::string> version;
    std::string workdir = ".";
    bool help = false;
};

// Parses the options common to both commands; returns an error text or nothing.
std::optional<std::string> ParseArgs(const std::vector<std::string>& args, bool upload, Parsed& p) {
    std::optional<std::string> port;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            p.help = true;
            return std::nullopt;
        }
        if (a == "--msg") {
            p.op.msgOn = true;
            continue;
        }
        const bool takesValue = a == "--port" || a == "--period-ms" || a == "--time-limit" ||
                                (upload && (a == "--version" || a == "--workdir"));
        if (takesValue) {
            if (i + 1 >= args.size())
                return "option " + a + " needs a value";
            const std::string& v = args[++i];
            if (a == "--port") {
                port = v;
            } else if (a == "--period-ms") {
                const auto n = ParseInteger(v, 1, 3600000);
                if (!n)
                    return "bad value '" + v + "' for --period-ms (1..3600000)";
                p.op.period = std::chrono::milliseconds(*n);
            } else if (a == "--time-limit") {
                const auto n = ParseInteger(v, 1, 86400);
                if (!n)
                    return "bad value '" + v + "' for --time-limit (1..86400 seconds)";
                p.op.timeLimit = std::chrono::seconds(*n);
            } else if (a == "--version") {
                p.version = v;
            } else {
                p.workdir = v;
            }
            continue;
        }
        if (a.rfind("--", 0) == 0)
            return "unknown option '" + a + "'";
        positional.push_back(a);
    }
    if (upload) {
        if (positional.size() != 1)
            return positional.empty() ? "no image file given" : "more than one image file given";
        p.op.imagePath = positional[0];
    } else if (!positional.empty()) {
        return "unexpected argument '" + positional[0] + "'";
    }
    if (!port)
        return std::string("--port is required");
    std::string error;
    const auto parsed = ParsePortArgument(*port, error);
    if (!parsed)
        return error;
    p.op.port = *parsed;
    return std::nullopt;
}

} // namespace

int UploadCommand(const std::vector<std::string>& args, Streams& io) {
    Parsed p;
    p.op.kind = LinkOperation::Kind::Upload;
    if (const auto error = ParseArgs(args, true, p)) {
        io.err << "lift-lcd upload: " << *error << "\n" << kUploadUsage;
        return ExitUsage;
    }
    if (p.help) {
        io.out << kUploadUsage;
        return ExitOk;
    }
    if (!p.op.port.warning.empty())
        io.err << "lift-lcd upload: " << p.op.port.warning << "\n";
    std::error_code ec;
    if (!std::filesystem::is_directory(p.workdir, ec)) {
        io.err << "lift-lcd upload: " << p.workdir << ": no such directory\n";
        return ExitFailed;
    }
    LinkConsoleUi settingsUi(io, std::nullopt, false);
    p.op.encode = ReadUploadVersion(p.workdir, p.version, settingsUi).encode;
    return RunLinkOperation(p.op, io, "upload");
}

int SyncTimeCommand(const std::vector<std::string>& args, Streams& io) {
    Parsed p;
    p.op.kind = LinkOperation::Kind::SyncTime;
    if (const auto error = ParseArgs(args, false, p)) {
        io.err << "lift-lcd sync-time: " << *error << "\n" << kSyncUsage;
        return ExitUsage;
    }
    if (p.help) {
        io.out << kSyncUsage;
        return ExitOk;
    }
    if (!p.op.port.warning.empty())
        io.err << "lift-lcd sync-time: " << p.op.port.warning << "\n";
    return RunLinkOperation(p.op, io, "sync-time");
}

} // namespace Lift::Cli
