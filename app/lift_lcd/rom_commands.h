#pragma once
// The ROM subcommands of lift-lcd.

#include "lift_lcd/cli.h"
#include "lift_lcd/cli_ui.h"
#include "editor/editor_session.h"
#include "rom/rom_inspect.h"

#include <optional>
#include <string>

namespace Lift::Cli {

int MakeRomCommand(const std::vector<std::string>& args, Streams& io);
int InspectCommand(const std::vector<std::string>& args, Streams& io);
int PreviewCommand(const std::vector<std::string>& args, Streams& io);

// Runs the editor's start-up as if started in `workdir` (made absolute against `original`,
// the directory the command was started in; the process changes into it) or, without one,
// in the folder ChooseWorkingFolder picks (its log line goes to stdout), then loads the project at the absolute `projectPath`, as the window would; a start-up
// that ends early does not stop the load. Messages go through `ui`. False when the
// directory cannot be entered or the load stopped; the INI engine's EYGeneral passes through.
bool OpenProject(const std::string& projectPath, const std::optional<std::string>& workdir,
                 const std::optional<std::string>& programDir, const std::string& original,
                 Editor::EditorSession& session, CliUi& ui, Streams& io);

// Reads the ROM image `file` into `image` and inspects it. `encode` 0 or 1 is the mask
// setting; -1 tells it from the image as `inspect` does (1 when the IFI area holds the fill
// pattern). False with `error` naming the file.
bool ReadRomImage(const std::string& file, int encode, std::string& image, Rom::RomInspection& r,
                  std::string& error);

} // namespace Lift::Cli
