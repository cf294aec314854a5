#include "project/project_file.h"

#include "editor/program_settings.h"
#include "editor/start_up.h"
#include "editor/text_rules.h"
#include "util/standalone_function.h"
#include "util/ty_ini_file.h"

#include <exception>

namespace Lift::Project {

using Editor::DisplayProject;
using Editor::EditorSession;
using Editor::EditorUi;

namespace {

int comboIndex(int value, int count) {
    return value >= 0 && value < count ? value : -1;
}

void switchLogoOff(EditorSession& session, EditorUi& ui) {
    session.project.logoEnabled = false;
    session.project.logoFile.clear();
    // The blank picture is decoration; a missing one must not stop the load.
    if (Editor::FileExists(session.program.blankPicturePath))
        ui.showPicture(Editor::PictureBox::Logo, 0, session.program.blankPicturePath);
}

// The path a stored slot picture resolves to: as stored when that file exists, else the
// file of the same name in the program's default folder (a project from another computer).
std::string resolveSlotPicture(const EditorSession& session, const std::string& stored) {
    if (Editor::FileExists(stored))
        return stored;
    return session.program.programDirectory + "DefaultImage2/LiftState/" +
           Editor::LastPathComponent(stored);
}

// Every step of the load after the format check. False when a picture stopped it.
bool loadSteps(EditorSession& session, EditorUi& ui, YVclUtil::TYIniFile& ini) {
    DisplayProject& p = session.project;
    Editor::ProgramState& program = session.program;

    // The library is read again; a library that vanished leaves no data, as at start.
    const std::string glbPath =
        Editor::JoinPath(program.startDirectory, program.settings.glbFileName);
    if (!Editor::LoadGlbFile(glbPath, program.glbData))
        program.glbData.clear();

    const std::string rom = ini.ReadString("GLOBAL", "ROMFILENAME", "");
    p.romFileName = Editor::IsBlank(rom) ? std::string(Editor::kDefaultRomFileName) : rom;

    if (ini.ReadInteger("GLOBAL", "CUSLOGOENABLE", 0) != 0) {
        p.logoSecondsIndex =
            comboIndex(ini.ReadInteger("GLOBAL", "SWAPTIME", 0), Editor::kLogoSecondsCount);
        p.logoFile = ini.ReadString("GLOBAL", "TITLEFILENAME_C", "");
        if (Editor::FileExists(p.logoFile)) {
            if (!ui.showPicture(Editor::PictureBox::Logo, 0, p.logoFile))
                return false;
            p.logoEnabled = true;
        } else {
            switchLogoOff(session, ui);
        }
    } else {
        switchLogoOff(session, ui);
    }

    p.powerSavingIndex =
        comboIndex(ini.ReadInteger("GLOBAL", "PWRSAVING", 0), Editor::kPowerSavingCount);
    p.defaultCodeTable = ini.ReadInteger("GLOBAL", "DEF_CTBL", 0);
    p.floorStyle = ini.ReadInteger("GLOBAL", "DEF_FL", 0);
    p.directionStyle = ini.ReadInteger("GLOBAL", "DEF_DIR", 0);
    p.messagePosition = ini.ReadInteger("GLOBAL", "DEF_MSGPOS", 1);

    p.messageMask = ini.ReadInteger("GLOBAL", "DEF_MSG", 3);
    p.messageColumnBoxes = Editor::BoxesFromMask(p.messageMask);

    for (int row = 0; row < Editor::kSlotRows; ++row) {
        for (int column = 0; column < Editor::kSlotColumns; ++column) {
            const std::string stored =
                ini.ReadString("LiftStateImage", Editor::LiftStateKey(row, column), "");
            if (Editor::IsBlank(stored))
                continue;
            p.liftStatePictures[static_cast<size_t>(row)][static_cast<size_t>(column)] =
                resolveSlotPicture(session, stored);
        }
    }
    if (!Editor::ShowSlotPictures(session, ui))
        return false;

    static const char* const sections[Editor::kCodeTableCount] = {"CTBL0", "CTBL1", "CTBL2"};
    for (int code = 0; code < Editor::kCodeCount; ++code) {
        const std::string key = "CODE_" + std::to_string(code);
        for (int t = 0; t < Editor::kCodeTableCount; ++t)
            p.codeTables[static_cast<size_t>(t)][static_cast<size_t>(code)] =
                Editor::Trimmed(ini.ReadString(sections[t], key, ""));
    }

    p.dateTimeEnabled = ini.ReadInteger("GLOBAL", "DISPDT", 0);
    p.dateTimeBox = p.dateTimeEnabled != 0;
    p.idCode = ini.ReadString("GLOBAL", "CUSIDCODE", "");
    p.nodeAddress = comboIndex(ini.ReadInteger("GLOBAL", "NODEADDR", 0), Editor::kNodeAddressCount);
    // Two radio buttons: anything but 1 shows "Left".
    p.displaySide = ini.ReadInteger("GLOBAL", "DPSTYLE", 1) == 1 ? 1 : 2;

    const std::string codeVersion = ini.ReadString("GLOBAL", "CODEVER", "");
    int chosen = 0;
    if (!Editor::IsBlank(codeVersion)) {
        for (size_t i = 0; i < p.versionEntries.size(); ++i)
            if (Editor::Trimmed(p.versionEntries[i]) == codeVersion)
                chosen = static_cast<int>(i); // the last equal entry wins
    }
    p.versionIndex = p.versionEntries.empty() ? -1 : chosen;
    Editor::SelectVersion(p.selectedVersionText(), program.startDirectory, program.settings, p, ui);
    return true;
}

} // namespace

void LoadProject(EditorSession& session, EditorUi& ui) {
    Editor::FileDialogRequest request;
    request.filter = kProjectFilter;
    request.defaultExt = kProjectExtension;
    const auto chosen = ui.chooseOpenFile(request);
    if (!chosen || Editor::IsBlank(*chosen))
        return;
    LoadProjectFrom(session, ui, *chosen);
}

bool LoadProjectFrom(EditorSession& session, EditorUi& ui, const std::string& path) {
    bool formatOk = false;
    bool completed = false;
    {
        // A missing file is created empty here and then fails the format check.
        YVclUtil::TYIniFile ini(path);
        Editor::BusyCursor busy(ui);
        const std::string codeName = ini.ReadString("GLOBAL", "CODENAME", "");
        formatOk = !Editor::IsBlank(codeName) && codeName == kCodeName;
        if (formatOk) {
            try {
                completed = loadSteps(session, ui, ini);
            } catch (const std::exception& e) {
                // A value that does not convert stops the load where it was, with the
                // conversion error's own text, like a picture that cannot be loaded.
                YVclUtil::ShowErrMsgBox_Printf("Error", "%s", e.what());
            }
        }
    } // cursor restored and file released before anything more is shown
    if (!formatOk) {
        ui.messageBox("LCP file format error!!\n\n", "Error");
        return false;
    }
    if (!completed)
        return false;
    ui.setStatusPanel(0, "Project file: " + path);
    return true;
}

} // namespace Lift::Project
