#pragma once
// The settings file opened through the INI engine, for ReadProgramSettings and SelectVersion.
// Like the engine, opening a missing file creates it empty. Main loop thread.

#include "editor/program_settings.h"

namespace Lift::Editor {

SettingsFileOpener IniSettingsFileOpener();

} // namespace Lift::Editor
