#include "lift_lcd/cli.h"

namespace Lift::Cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
    };
    return commands;
}

} // namespace Lift::Cli
