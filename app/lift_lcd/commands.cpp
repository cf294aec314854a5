#include "lift_lcd/cli.h"
#include "lift_lcd/commissioning_commands.h"
#include "lift_lcd/kbnet_commands.h"
#include "lift_lcd/link_commands.h"
#include "lift_lcd/rom_commands.h"

namespace Lift::Cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"make-rom",
         "make-rom PROJECT.lcp [-o ROM.BIN] [--save-as FILE.lcp] [--workdir DIR] "
         "[--program-dir DIR]",
         MakeRomCommand},
        {"inspect", "inspect ROM.BIN [--encode 0|1] [--disphv 0|1] [--render DIR]", InspectCommand},
        {"check", "check PROJECT.lcp [--workdir DIR] [--program-dir DIR]", CheckCommand},
        {"sheet", "sheet PROJECT.lcp -o SHEET.pdf [--workdir DIR] [--program-dir DIR]",
         SheetCommand},
        {"diff", "diff A B [--workdir DIR] [--program-dir DIR]", DiffCommand},
        {"simulate-controller", "simulate-controller [--link PATH] [--out FILE] [OPTIONS]",
         SimulateControllerCommand},
        {"upload",
         "upload IMAGE.BIN --port PORT [--msg] [--version NAME] [--workdir DIR] "
         "[--period-ms N]",
         UploadCommand},
        {"sync-time", "sync-time --port PORT [--msg] [--period-ms N]", SyncTimeCommand},
        {"simulate-kbnet", "simulate-kbnet [--link PATH] [--module SEG:NODE]... [OPTIONS]",
         SimulateKbnetCommand},
        {"kbnet",
         "kbnet --port PORT --topology FILE [--set SEG:NODE=XX]... [--outputs XX] [--watch]",
         KbnetCommand},
    };
    return commands;
}

} // namespace Lift::Cli
