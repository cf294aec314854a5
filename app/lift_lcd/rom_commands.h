#pragma once
// The ROM subcommands of lift-lcd.

#include "lift_lcd/cli.h"
#include "rom/rom_inspect.h"

#include <string>

namespace Lift::Cli {

int MakeRomCommand(const std::vector<std::string>& args, Streams& io);
int InspectCommand(const std::vector<std::string>& args, Streams& io);

// Reads the ROM image `file` into `image` and inspects it. `encode` 0 or 1 is the mask
// setting; -1 tells it from the image as `inspect` does (1 when the IFI area holds the fill
// pattern). False with `error` naming the file.
bool ReadRomImage(const std::string& file, int encode, std::string& image, Rom::RomInspection& r,
                  std::string& error);

} // namespace Lift::Cli
