#pragma once
// The command-line program lift-lcd: one subcommand per job, dispatched by name.
// Exit codes: 0 done, 1 stopped or failed, 2 usage error.

#include <iosfwd>
#include <string>
#include <vector>

namespace Lift::Cli {

enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

struct Streams {
    std::ostream& out; // message-log lines and results
    std::ostream& err; // message boxes, usage errors, progress
};

using CommandFn = int (*)(const std::vector<std::string>& args, Streams& io);

struct Command {
    const char* name;
    const char* summary; // what it does, for the list of --help
    CommandFn run;
};

// Every subcommand, in the order --help lists them.
const std::vector<Command>& Commands();

// Runs the program as main() would; argv[0] is the program name. No exception leaves it: one
// that escapes a command is printed on io.err and gives ExitFailed.
int Run(const std::vector<std::string>& argv, Streams& io);

void PrintUsage(std::ostream& out);

// The version of both programs, e.g. "1.0".
const char* ProgramVersion();

} // namespace Lift::Cli
