#pragma once
// Which controller code version an upload from the command line runs under, and so its ENCODE
// value: the editor's reading of the program settings file "ZEBPRV620BX7.INI" in the working
// directory, as at start (the first listed version), followed by the selection of the
// version given with --version.

#include "editor/editor_ui.h"

#include <optional>
#include <string>

namespace Lift::Cli {

struct UploadVersion {
    std::string name; // may be empty (no version listed)
    int encode = 1;
};

// Messages of the settings reader (file not found, a value that is not an integer) go to ui,
// and the editor's defaults stand, as in the window. A missing settings file is not created.
UploadVersion ReadUploadVersion(const std::string& workdir,
                                const std::optional<std::string>& version, Editor::EditorUi& ui);

} // namespace Lift::Cli
