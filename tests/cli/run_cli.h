#pragma once

// Runs lift-lcd in-process and captures what it printed.

#include "lift_lcd/cli.h"

#include <sstream>
#include <string>
#include <vector>

namespace Lift::Test {

struct CliResult {
    int code;
    std::string out, err;
};

inline CliResult RunCli(std::vector<std::string> args) {
    std::ostringstream out, err;
    Cli::Streams io{out, err};
    args.insert(args.begin(), "lift-lcd");
    const int code = Cli::Run(args, io);
    return {code, out.str(), err.str()};
}

} // namespace Lift::Test
