#include "editor/start_up.h"

#include "editor/extract_glb_item.h"
#include "editor/text_rules.h"

#include <cstdio>

namespace Lift::Editor {

namespace {

std::string withTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder != "/")
        folder += '/';
    return folder;
}

std::string withoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

// Extracts a GLB item and shows it in a picture box; an absent item leaves the box empty.
// False only when the picture could not be loaded.
bool showGlbPicture(EditorSession& session, EditorUi& ui, PictureBox box, int index, int group,
                    int number) {
    const ProgramState& program = session.program;
    const std::string name = ExtractGlbItem(program.glbData, program.startDirectory, group, number);
    if (IsBlank(name))
        return true;
    const bool shown = ui.showPicture(box, index, name);
    std::remove(name.c_str());
    return shown;
}

} // namespace

void SetDefaultLiftStatePictures(EditorSession& session) {
    for (int row = 0; row < kSlotRows; ++row)
        for (int column = 0; column < kSlotColumns; ++column)
            session.project
                .liftStatePictures[static_cast<size_t>(row)][static_cast<size_t>(column)] =
                DefaultLiftStatePath(session.program, row, column);
}

bool ShowSlotPictures(const EditorSession& session, EditorUi& ui) {
    const auto& slots = session.project.liftStatePictures;
    for (int row = 0; row < kSlotRows; ++row) {
        const auto& line = slots[static_cast<size_t>(row)];
        for (int column = 0; column < kSlotColumns; ++column)
            if (!ui.showPicture(PictureBox::Slot, row * kSlotColumns + column,
                                line[static_cast<size_t>(column)]))
                return false;
        if (!ui.showPicture(PictureBox::SlotRowLabel, row, line[0]))
            return false;
    }
    return true;
}

void SetProgramDirectories(ProgramState& program, const StartOptions& options) {
    program.programDirectory = withTrailingSlash(options.programDirectory);
    program.userFloorPictureRoot =
        program.programDirectory + "DefaultImage2/UserDefine/Floor/Style";
    program.startDirectory = withoutTrailingSlash(options.startDirectory);
    program.blankPicturePath = JoinPath(program.startDirectory, kBlankPictureName);
}

bool RunStartUp(EditorSession& session, EditorUi& ui, const StartOptions& options) {
    ProgramState& program = session.program;
    DisplayProject& project = session.project;
    program.startUpCompleted = false;
    program.caption = kBaseCaption;
    ui.setStatusPanel(2, "Program start error!!");

    SetProgramDirectories(program, options);

    ReadProgramSettings(program.startDirectory, program.settings, project, ui);
    ui.setStatusPanel(1, "Version: " + project.versionName);

    const std::string glbPath = JoinPath(program.startDirectory, program.settings.glbFileName);
    if (!FileExists(glbPath)) {
        ui.messageBox("GLB file not found!!\n\n", "Error");
        program.glbData.clear();
        program.glbDate = "000000";
        return false;
    }
    std::string error;
    if (!LoadGlbFile(glbPath, program.glbData, &error)) {
        // Present but unreadable: say why, then carry on as without a library.
        ui.messageBox("GLB file not found!!\n\n" + error + "\n", "Error");
        program.glbData.clear();
        program.glbDate = "000000";
        return false;
    }
    program.glbDate = FileDateYymmdd(glbPath);

    program.userGlbDate.clear();
    if (!IsBlank(program.settings.userGlbFileName)) {
        const std::string userPath =
            JoinPath(program.startDirectory, program.settings.userGlbFileName);
        if (!FileExists(userPath)) {
            ui.messageBox("User define BMP file not found!!\n\n", "Error");
            program.settings.userGlbFileName.clear();
            program.userGlbDate = "000000";
            return false;
        }
        program.userGlbDate = FileDateYymmdd(userPath);
    }

    // A temporary picture left over from an earlier run.
    const std::string temp = JoinPath(program.startDirectory, kTempPictureFileName);
    if (FileExists(temp))
        std::remove(temp.c_str());

    program.caption += "  [ " + program.glbDate + " / " + program.userGlbDate + " ]";
    ui.clearLog();

    for (int style = 0; style < kFloorStyleCount; ++style)
        if (!showGlbPicture(session, ui, PictureBox::FloorStylePreview, style, style + 1, 48))
            return false;
    for (int style = 0; style < kDirectionStyleCount; ++style)
        if (!showGlbPicture(session, ui, PictureBox::DirectionStylePreview, style, 0,
                            50 + 20 * style))
            return false;

    SetDefaultLiftStatePictures(session);
    if (!ShowSlotPictures(session, ui))
        return false;

    for (int position = 0; position < kMessagePositionCount; ++position)
        if (!showGlbPicture(session, ui, PictureBox::MessageLayout, position, 0, 30 + position))
            return false;

    ui.setStatusPanel(0, "Project file:");
    ui.setStatusPanel(2, program.settings.glbFileName + " / " + program.settings.userGlbFileName);
    program.startUpCompleted = true;
    return true;
}

} // namespace Lift::Editor
