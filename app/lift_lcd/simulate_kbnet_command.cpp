// lift-lcd simulate-kbnet: a simulated KBNet adapter and its modules on a pseudo-terminal.

#include "lift_lcd/kbnet_commands.h"
#include "lift_lcd/option_values.h"
#include "lift_lcd/stop_on_signals.h"

#include "fieldbus/pty_kbnet_adapter.h"
#include "util/errno_text.h"
#include "util/standalone_function.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <ostream>
#include <poll.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace Lift::Cli {

namespace {

constexpr const char* kUsage =
    "Usage: lift-lcd simulate-kbnet [OPTIONS]\n"
    "\n"
    "Creates a pseudo-terminal that behaves as a KBNet adapter with 4-input/4-output modules,\n"
    "prints its path on the first line, then serves it until interrupted (or \"quit\"). Every\n"
    "command line the adapter receives is printed as \"< LINE\".\n"
    "\n"
    "  --link PATH        also make PATH a symbolic link to the terminal\n"
    "  --module SEG:NODE  a module at that address, in hex (repeatable; default 80:05 80:06)\n"
    "  --r6 N             largest number of data bytes per packet, register R6 (default 16)\n"
    "  --silent Rn        leave queries of register n unanswered (repeatable)\n"
    "  --extra Rn         report register n unasked when the first query arrives (repeatable)\n"
    "  --script FILE      read script lines from FILE instead of standard input\n"
    "\n"
    "Script lines (hex values):\n"
    "  inputs SEG:NODE XX   the module's inputs change; it reports them\n"
    "  adapter-inputs XX    the adapter's own inputs (R1) change; it reports them\n"
    "  watchdog             the adapter resets itself and says so (\"*RF=00\")\n"
    "  raw TEXT             sends TEXT and CR LF as they are; \\r \\n \\\\ \\xHH escapes\n"
    "  quit                 ends the simulator\n"
    "\n"
    "Exit status: 0 when stopped, 1 when the terminal failed, 2 for a usage error.\n";

std::optional<int> ParseRegister(const std::string& text) {
    std::string name = text;
    if (name.size() == 2 && (name[0] == 'R' || name[0] == 'r'))
        name.erase(0, 1);
    const auto value = ParseHexByte(name);
    if (name.size() != 1 || !value)
        return std::nullopt;
    return *value;
}

// C-style escapes of a raw script line; nothing for a bad escape.
std::optional<std::string> Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size())
            return std::nullopt;
        switch (text[i]) {
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case '\\':
            out += '\\';
            break;
        case 'x': {
            if (i + 2 >= text.size())
                return std::nullopt;
            const auto byte = ParseHexByte(text.substr(i + 1, 2));
            if (!byte)
                return std::nullopt;
            out += static_cast<char>(*byte);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return out;
}

struct StopState {
    std::atomic<bool> stop{false};
    int wakeFd = -1;
};

void Wake(int fd) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(fd, &c, 1);
}

// Runs one script line; returns an error text, or nothing.
std::optional<std::string> RunScriptLine(const std::string& line, Fieldbus::PtyKbnAdapter& pty,
                                         bool& quit) {
    std::istringstream in(line);
    std::string word;
    if (!(in >> word) || word[0] == '#')
        return std::nullopt;
    std::string a, b, rest;
    if (word == "quit") {
        quit = true;
        return std::nullopt;
    }
    if (word == "watchdog") {
        pty.access([](Fieldbus::KbnAdapterSimulator& s) { s.watchdogReset(); });
        return std::nullopt;
    }
    if (word == "adapter-inputs") {
        const auto x = (in >> a) ? ParseHexByte(a) : std::nullopt;
        if (!x || (in >> rest))
            return "adapter-inputs takes one hex byte";
        pty.access([&](Fieldbus::KbnAdapterSimulator& s) { s.setAdapterInputs(*x); });
        return std::nullopt;
    }
    if (word == "inputs") {
        const auto address = (in >> a) ? ParseKbnAddress(a) : std::nullopt;
        const auto x = (in >> b) ? ParseHexByte(b) : std::nullopt;
        if (!address || !x || (in >> rest))
            return "inputs takes SEG:NODE and one hex byte";
        bool known = false;
        pty.access([&](Fieldbus::KbnAdapterSimulator& s) {
            known = s.setModuleInputs(address->seg, address->node, *x);
        });
        if (!known)
            return "no module at " + a;
        return std::nullopt;
    }
    if (word == "raw") {
        const auto start = line.find("raw") + 3;
        const std::string text = start < line.size() ? line.substr(start + 1) : "";
        const auto bytes = Unescape(text);
        if (!bytes)
            return "bad escape in raw text";
        pty.access([&](Fieldbus::KbnAdapterSimulator& s) { s.inject(*bytes + "\r\n"); });
        return std::nullopt;
    }
    return "unknown script command '" + word + "'";
}

} // namespace

int SimulateKbnetCommand(const std::vector<std::string>& args, Streams& io) {
    Fieldbus::KbnAdapterSimConfig config;
    std::string linkPath, scriptPath;
    const auto usage = [&](const std::string& why) {
        io.err << "lift-lcd simulate-kbnet: " << why << "\n" << kUsage;
        return ExitUsage;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            io.out << kUsage;
            return ExitOk;
        }
        if (i + 1 >= args.size())
            return usage(a.rfind("--", 0) == 0 ? "option " + a + " needs a value"
                                               : "unexpected argument '" + a + "'");
        const std::string& v = args[++i];
        const auto bad = [&] { return usage("bad value '" + v + "' for " + a); };
        if (a == "--link") {
            linkPath = v;
        } else if (a == "--script") {
            scriptPath = v;
        } else if (a == "--module") {
            const auto address = ParseKbnAddress(v);
            if (!address)
                return bad();
            config.modules.emplace_back(address->seg, address->node);
        } else if (a == "--r6") {
            const auto n = ParseInteger(v, 0, 255); // a count of bytes: decimal, as --help says
            if (!n)
                return bad();
            config.registers[6] = static_cast<std::uint8_t>(*n);
        } else if (a == "--silent" || a == "--extra") {
            const auto r = ParseRegister(v);
            if (!r)
                return bad();
            (a == "--silent" ? config.silentRegisters : config.extraReports) |= 1u << *r;
        } else {
            return usage("unknown option '" + a + "'");
        }
    }
    if (config.modules.empty())
        config.modules = {{0x80, 0x05}, {0x80, 0x06}};

    int scriptFd = STDIN_FILENO;
    if (!scriptPath.empty()) {
        scriptFd = ::open(scriptPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (scriptFd < 0) {
            io.err << "lift-lcd simulate-kbnet: cannot open " << scriptPath << ": "
                   << Util::ErrnoText(errno) << "\n";
            return ExitFailed;
        }
    }
    int wake[2] = {-1, -1};
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        io.err << "lift-lcd simulate-kbnet: cannot create a pipe: " << Util::ErrnoText(errno)
               << "\n";
        return ExitFailed;
    }
    struct Cleanup {
        int* wake;
        int scriptFd;
        ~Cleanup() {
            ::close(wake[0]);
            ::close(wake[1]);
            if (scriptFd != STDIN_FILENO)
                ::close(scriptFd);
        }
    } cleanup{wake, scriptFd};

    Fieldbus::PtyKbnAdapter pty(config);
    if (!pty.open() || (!linkPath.empty() && !pty.makeLink(linkPath))) {
        io.err << "lift-lcd simulate-kbnet: " << pty.error() << "\n";
        return ExitFailed;
    }
    io.out << pty.path() << std::endl; // the client waits for this line
    pty.setOnReceived([fd = wake[1]] { Wake(fd); });

    std::size_t printed = 0;
    const auto printNew = [&] {
        pty.access([&](Fieldbus::KbnAdapterSimulator& s) {
            for (; printed < s.commands().size(); ++printed)
                io.out << "< " << s.commands()[printed] << "\n";
        });
        io.out << std::flush;
    };
    StopState state;
    state.wakeFd = wake[1];
    bool served = true;
    std::thread server([&] {
        served = pty.run();
        state.stop.store(true);
        Wake(wake[1]);
    });
    {
        const StopOnSignals signals(
            [](void* c) {
                auto* s = static_cast<StopState*>(c);
                s->stop.store(true);
                Wake(s->wakeFd);
            },
            &state);
        std::string partial;
        int lineNumber = 0;
        bool scriptOpen = true, quit = false;
        while (!state.stop.load() && !quit) {
            pollfd fds[2] = {{wake[0], POLLIN, 0}, {scriptOpen ? scriptFd : -1, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 && errno != EINTR)
                break;
            char buffer[4096];
            while (::read(wake[0], buffer, sizeof buffer) > 0) {
            }
            printNew();
            if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
                const ssize_t n = ::read(scriptFd, buffer, sizeof buffer);
                if (n <= 0) {
                    scriptOpen = n < 0 && errno == EINTR; // the end of the script: serve on
                    continue;
                }
                partial.append(buffer, static_cast<std::size_t>(n));
                for (std::size_t eol; !quit && (eol = partial.find('\n')) != std::string::npos;) {
                    std::string line = partial.substr(0, eol);
                    partial.erase(0, eol + 1);
                    ++lineNumber;
                    if (const auto error = RunScriptLine(line, pty, quit))
                        io.err << "lift-lcd simulate-kbnet: script line " << lineNumber << ": "
                               << *error << std::endl;
                }
            }
        }
    }
    pty.stop();
    server.join();
    printNew(); // what arrived after the last look
    if (!served) {
        io.err << "lift-lcd simulate-kbnet: " << pty.error() << "\n";
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace Lift::Cli
