#include "rom/run_make_rom.h"

#include "project/project_file.h"

namespace Lift::Rom {

MakeRomOutcome RunMakeRom(Editor::EditorSession& session, Editor::EditorUi& ui) {
    MakeRomContext context{session.project,
                           session.program.glbData,
                           session.program.settings.versionSettings,
                           session.program.startDirectory,
                           session.program.userFloorPictureRoot,
                           [&] { return Project::SaveProject(session, ui); },
                           std::nullopt};
    return MakeRom(context, ui);
}

} // namespace Lift::Rom
