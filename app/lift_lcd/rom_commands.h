#pragma once
// The ROM subcommands of lift-lcd.

#include "lift_lcd/cli.h"

namespace Lift::Cli {

int MakeRomCommand(const std::vector<std::string>& args, Streams& io);
int InspectCommand(const std::vector<std::string>& args, Streams& io);

} // namespace Lift::Cli
