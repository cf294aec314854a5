#include "project/project_file.h"

#include "editor/text_rules.h"
#include "util/eygeneral.h"
#include "util/ty_ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

namespace Lift::Project {

using Editor::DisplayProject;
using Editor::EditorSession;
using Editor::EditorUi;

namespace {

bool pathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// A name typed without extension gets ".lcp", as the save dialog's default extension does.
std::string withProjectExtension(const std::string& path) {
    const size_t sep = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (sep == std::string::npos || dot > sep) &&
        dot + 1 < path.size())
        return path;
    if (!path.empty() && path.back() == '.')
        return path + kProjectExtension;
    return path + "." + kProjectExtension;
}

void writeEntries(YVclUtil::TYIniFile& ini, EditorUi& ui, DisplayProject& p, bool existed) {
    if (existed) {
        for (const char* section : {"GLOBAL", "CTBL0", "CTBL1", "CTBL2", "LiftStateImage", "USER"})
            ini.EraseSection(section);
    }

    Editor::BusyCursor busy(ui);
    ApplySaveEffects(p);

    ini.WriteString("GLOBAL", "CODENAME", kCodeName);
    ini.WriteString("GLOBAL", "VERSION", "1.0");
    ini.WriteString("GLOBAL", "CUSIDCODE", Editor::Trimmed(p.idCode));
    ini.WriteString("GLOBAL", "ROMFILENAME", p.romFileName);
    ini.WriteString("GLOBAL", "TITLEFILENAME_C", p.logoFile);
    ini.WriteInteger("GLOBAL", "SWAPTIME", p.logoSecondsIndex);
    ini.WriteInteger("GLOBAL", "CUSLOGOENABLE", p.logoEnabled ? 1 : 0);
    ini.WriteInteger("GLOBAL", "PWRSAVING", p.powerSavingIndex);
    ini.WriteInteger("GLOBAL", "NODEADDR", p.nodeAddress);
    ini.WriteInteger("GLOBAL", "DEF_CTBL", p.defaultCodeTable);
    ini.WriteInteger("GLOBAL", "DEF_FL", p.floorStyle);
    ini.WriteInteger("GLOBAL", "DEF_DIR", p.directionStyle);
    ini.WriteString("GLOBAL", "CODEVER", p.selectedVersionText());
    ini.WriteInteger("GLOBAL", "DPSTYLE", p.displaySide);
    ini.WriteInteger("GLOBAL", "DISPDT", p.dateTimeEnabled);
    ini.WriteInteger("GLOBAL", "DEF_MSG", p.messageMask);
    ini.WriteInteger("GLOBAL", "DEF_MSGPOS", p.messagePosition);

    for (int row = 0; row < Editor::kSlotRows; ++row)
        for (int column = 0; column < Editor::kSlotColumns; ++column)
            ini.WriteString(
                "LiftStateImage", Editor::LiftStateKey(row, column),
                p.liftStatePictures[static_cast<size_t>(row)][static_cast<size_t>(column)]);

    static const char* const sections[Editor::kCodeTableCount] = {"CTBL0", "CTBL1", "CTBL2"};
    for (int code = 0; code < Editor::kCodeCount; ++code) {
        const std::string key = "CODE_" + std::to_string(code);
        for (int t = 0; t < Editor::kCodeTableCount; ++t)
            ini.WriteString(sections[t], key,
                            Editor::UpperCased(Editor::Trimmed(
                                p.codeTables[static_cast<size_t>(t)][static_cast<size_t>(code)])));
    }
}

void writeProject(EditorSession& session, EditorUi& ui, const std::string& path, bool existed) {
    session.program.saveCompleted = true;
    bool written = true;
    {
        YVclUtil::TYIniFile ini(path);
        try {
            writeEntries(ini, ui, session.project, existed);
        } catch (const YVclUtil::EYGeneral&) {
            // A value the file cannot hold, or the pool out of memory: the engine has shown
            // which. Half a project must not replace the old one, so nothing is written, as
            // when the write itself fails.
            ini.DiscardChanges();
            written = false;
        }
        if (written)
            ui.setStatusPanel(0, "Project file: " + path);
        // Released here: the engine writes the file now (atomically) and shows its own error
        // box when it cannot.
    }
    if (!written && !existed)
        ::unlink(path.c_str()); // the empty file the engine made for it
}

} // namespace

std::string NormalisedRomFileName(const std::string& text) {
    const std::string trimmed = Editor::Trimmed(text);
    if (trimmed.empty())
        return Editor::kDefaultRomFileName;
    return Editor::WithBinExtension(trimmed);
}

void ApplySaveEffects(DisplayProject& p) {
    p.romFileName = NormalisedRomFileName(p.romFileName);
    p.dateTimeEnabled = p.dateTimeBox ? 1 : 0;
    p.messageMask = Editor::NormalisedMessageMask(Editor::MaskFromBoxes(p.messageColumnBoxes));
}

bool SaveProject(EditorSession& session, EditorUi& ui) {
    session.program.saveCompleted = false;
    Editor::FileDialogRequest request;
    request.filter = kProjectFilter;
    request.defaultExt = kProjectExtension;
    const auto chosen = ui.chooseSaveFile(request);
    if (!chosen || Editor::IsBlank(*chosen))
        return false;
    const std::string path = withProjectExtension(*chosen);
    const bool existed = pathExists(path);
    if (existed && !ui.askYesNo("File exist!!\n\nOverlay?\n", "Overlay file"))
        return false;
    writeProject(session, ui, path, existed);
    return session.program.saveCompleted;
}

void SaveProjectTo(EditorSession& session, EditorUi& ui, const std::string& path) {
    writeProject(session, ui, path, pathExists(path));
}

void ClearAll(EditorSession& session, EditorUi& ui) {
    for (auto& table : session.project.codeTables)
        for (auto& entry : table)
            entry.clear();
    ui.setStatusPanel(0, "Project file: ");
}

} // namespace Lift::Project
