#include "commissioning/read_project.h"

#include "editor/program_settings.h"
#include "project/project_file.h"

namespace Lift::Commissioning {

bool ReadProjectForTools(Editor::EditorSession& session, Editor::EditorUi& ui,
                         const Editor::StartOptions& options, const std::string& projectPath,
                         std::string& error) {
    Editor::ProgramState& program = session.program;
    Editor::SetProgramDirectories(program, options);
    const std::string settingsPath = Editor::ProgramSettingsPath(program.startDirectory);
    if (!Editor::FileExists(settingsPath)) {
        error = settingsPath + " not found";
        return false;
    }
    if (!Editor::FileExists(projectPath)) {
        error = projectPath + ": no such project file";
        return false;
    }
    Editor::ReadProgramSettings(program.startDirectory, program.settings, session.project, ui);
    Editor::SetDefaultLiftStatePictures(session);
    if (!Project::LoadProjectFrom(session, ui, projectPath)) {
        error = projectPath + " cannot be loaded";
        return false;
    }
    return true;
}

} // namespace Lift::Commissioning
