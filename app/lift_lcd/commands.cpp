#include "lift_lcd/cli.h"
#include "lift_lcd/link_commands.h"

namespace Lift::Cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"simulate-controller", "simulate-controller [--link PATH] [--out FILE] [OPTIONS]",
         SimulateControllerCommand},
    };
    return commands;
}

} // namespace Lift::Cli
