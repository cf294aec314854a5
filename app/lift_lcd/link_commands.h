#pragma once
// The link subcommands of lift-lcd.

#include "lift_lcd/cli.h"

namespace Lift::Cli {

int SimulateControllerCommand(const std::vector<std::string>& args, Streams& io);
int UploadCommand(const std::vector<std::string>& args, Streams& io);
int SyncTimeCommand(const std::vector<std::string>& args, Streams& io);
int PortsCommand(const std::vector<std::string>& args, Streams& io);

} // namespace Lift::Cli
