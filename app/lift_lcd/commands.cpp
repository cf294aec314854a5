#include "lift_lcd/cli.h"
#include "lift_lcd/commissioning_commands.h"
#include "lift_lcd/kbnet_commands.h"
#include "lift_lcd/link_commands.h"
#include "lift_lcd/rom_commands.h"

namespace Lift::Cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"make-rom", "build the ROM image of a project", MakeRomCommand},
        {"inspect", "show what a ROM image holds", InspectCommand},
        {"preview", "draw the indicator's screen for floor codes, from an image or a project",
         PreviewCommand},
        {"check", "list what MAKE ROM would refuse, drop, cut or substitute in a project",
         CheckCommand},
        {"sheet", "write a project's commissioning sheet as a PDF file", SheetCommand},
        {"diff", "compare two projects or two ROM images", DiffCommand},
        {"simulate-controller", "play the display controller on a pseudo-terminal",
         SimulateControllerCommand},
        {"upload", "upload a ROM image to the controller", UploadCommand},
        {"sync-time", "set the controller's clock to this computer's", SyncTimeCommand},
        {"ports", "list the serial ports found and their COM numbers", PortsCommand},
        {"simulate-kbnet", "play a KBNet adapter and its modules on a pseudo-terminal",
         SimulateKbnetCommand},
        {"kbnet", "show a KBNet adapter and its modules, set outputs, watch inputs", KbnetCommand},
    };
    return commands;
}

} // namespace Lift::Cli
