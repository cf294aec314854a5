#include "lift_lcd/cli.h"

#include <exception>
#include <ostream>
#include <string>

namespace Lift::Cli {

const char* ProgramVersion() {
    return LIFT_VERSION;
}

void PrintUsage(std::ostream& out) {
    out << "Usage: lift-lcd COMMAND [ARGS...]\n"
           "\n"
           "Builds, inspects and uploads ROM images for the PRM-620BX7 lift LCD controller.\n"
           "\n"
           "Commands:\n";
    for (const Command& c : Commands()) {
        const std::string name = c.name;
        out << "  " << name << std::string(name.size() < 20 ? 21 - name.size() : 1, ' ')
            << c.summary << "\n";
    }
    out << "\n"
           "Run 'lift-lcd COMMAND --help' for the options of one command, 'lift-lcd --version'\n"
           "for the version.\n"
           "Exit status: 0 done, 1 stopped or failed, 2 usage error.\n";
}

int Run(const std::vector<std::string>& argv, Streams& io) {
    if (argv.size() < 2) {
        PrintUsage(io.err);
        return ExitUsage;
    }
    const std::string& name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(io.out);
        return ExitOk;
    }
    if (name == "--version") {
        io.out << "lift-lcd " << ProgramVersion() << "\n";
        return ExitOk;
    }
    for (const Command& c : Commands()) {
        if (name != c.name)
            continue;
        // The last resort: whatever a command lets escape is reported, not an abort that
        // loses what was printed so far.
        try {
            return c.run(std::vector<std::string>(argv.begin() + 2, argv.end()), io);
        } catch (const std::exception& e) {
            io.out << std::flush;
            io.err << "lift-lcd " << name << ": " << e.what() << "\n";
        } catch (...) {
            io.out << std::flush;
            io.err << "lift-lcd " << name << ": unexpected failure\n";
        }
        return ExitFailed;
    }
    io.err << "lift-lcd: unknown command '" << name << "'\n";
    PrintUsage(io.err);
    return ExitUsage;
}

} // namespace Lift::Cli
