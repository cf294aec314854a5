#include "lift_lcd/upload_version.h"

#include "editor/display_project.h"
#include "editor/program_settings.h"

#include <filesystem>

namespace Lift::Cli {

UploadVersion ReadUploadVersion(const std::string& workdir,
                                const std::optional<std::string>& version, Editor::EditorUi& ui) {
    Editor::ProgramSettings settings;
    Editor::DisplayProject project;
    Editor::ReadProgramSettings(workdir, settings, project, ui);
    // Selecting a version opens the file unchecked, which would leave an empty settings
    // file behind in the user's folder; without a file the defaults stand anyway.
    std::error_code ec;
    if (version && std::filesystem::exists(Editor::ProgramSettingsPath(workdir), ec))
        Editor::SelectVersion(*version, workdir, settings, project, ui);
    else if (version)
        project.versionName = *version;
    return {project.versionName, settings.versionSettings.encode};
}

} // namespace Lift::Cli
