#pragma once
// The commissioning subcommands of lift-lcd: check, sheet and diff.

#include "lift_lcd/cli.h"

namespace Lift::Cli {

int CheckCommand(const std::vector<std::string>& args, Streams& io);
int SheetCommand(const std::vector<std::string>& args, Streams& io);
int DiffCommand(const std::vector<std::string>& args, Streams& io);

} // namespace Lift::Cli
