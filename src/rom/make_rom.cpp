#include "rom/make_rom.h"

#include "editor/code_table_labels.h"
#include "editor/extract_glb_item.h"
#include "editor/text_rules.h"
#include "rom/gather_rom_content.h"
#include "rom/rom_image.h"
#include "util/atomic_file.h"
#include "util/standalone_function.h"

#include <filesystem>
#include <system_error>

namespace Lift::Rom {

namespace {

namespace fs = std::filesystem;
using Editor::DisplayProject;

// What MAKE ROM does with what the gathering meets: report it as the procedure says, and
// stop where it stops.
class MakeRomEvents : public GatherEvents {
public:
    MakeRomEvents(MakeRomContext& context, Editor::EditorUi& ui) : m_c(context), m_ui(ui) {}

    // Leaves the temporary picture file as reading the GLB items through it would have: the
    // last item read stays there, a data block read last is gone. Nothing in between was
    // written, so no file of the user's is ever touched beyond that one name.
    ~MakeRomEvents() override {
        if (!m_lastItem)
            return;
        std::string ignored;
        if (m_lastItemDeleted) {
            std::error_code ec;
            fs::remove(fs::path(m_c.startDirectory) / Editor::kTempPictureFileName, ec);
        } else {
            Editor::ExtractGlbItem(m_c.glb, m_c.startDirectory, m_lastItem->first,
                                   m_lastItem->second, &ignored);
        }
    }
    MakeRomEvents(const MakeRomEvents&) = delete;
    MakeRomEvents& operator=(const MakeRomEvents&) = delete;

    MakeRomResult result = MakeRomResult::Written;

    void glbItemRead(int group, int number, bool dataBlock) override {
        m_lastItem = {group, number};
        m_lastItemDeleted = dataBlock;
    }
    bool pictureUnreadable(const PictureSource&, const std::string& reason) override {
        return pictureError(reason);
    }
    void glyphZoneFull(std::size_t glyphBytes) override {
        m_ui.appendLog("[Error] Floor BMP zone full!! -- [ " + std::to_string(glyphBytes) + " ]");
    }
    void userPictureMissing(int table, int code) override {
        m_ui.appendLog("[Warning] CTBL" + std::to_string(table) + "-" +
                       Editor::CodeColumnLabel(code) + " not found --> auto cancel !!!");
        m_c.project.codeTables[static_cast<std::size_t>(table)][static_cast<std::size_t>(code)]
            .clear();
    }
    bool floorZoneOverflow(const RomBuildReport&) override {
        m_ui.messageBox("FL element overflow!!\n\n", "Element overflow");
        result = MakeRomResult::FloorOverflow;
        return false;
    }
    bool requiredItemMissing(RequiredItem item, int number) override {
        if (item == RequiredItem::SmallPicture)
            return pictureError("GLB item (7, " + std::to_string(number) +
                                "): the picture is missing from the GLB file");
        m_ui.messageBox("GLB File error!!", "File error");
        result = MakeRomResult::GlbItemMissing;
        return false;
    }

private:
    bool pictureError(const std::string& text) {
        YVclUtil::ShowErrMsgBox_Printf("Error", "%s", text.c_str());
        result = MakeRomResult::PictureError;
        return false;
    }

    MakeRomContext& m_c;
    Editor::EditorUi& m_ui;
    std::optional<std::pair<int, int>> m_lastItem;
    bool m_lastItemDeleted = false;
};

MakeRomOutcome stop(MakeRomResult result) {
    return MakeRomOutcome{result, {}};
}

} // namespace

std::string RomFileNameOf(const DisplayProject& project) {
    const std::string name = Editor::Trimmed(project.romFileName);
    return name.empty() ? std::string(Editor::kDefaultRomFileName) : Editor::WithBinExtension(name);
}

MakeRomOutcome MakeRom(MakeRomContext& c, Editor::EditorUi& ui) {
    DisplayProject& project = c.project;

    if (project.allCodeTablesBlank()) {
        ui.messageBox("All CTBL is empty!!\n\n", "Warning");
        return stop(MakeRomResult::AllTablesEmpty);
    }
    if (!c.save || !c.save()) {
        ui.messageBox("User abort!!\n", "Make ROM abort");
        return stop(MakeRomResult::SaveAborted);
    }
    Editor::BusyCursor busy(ui);
    MakeRomEvents events(c, ui);
    RomContent content;
    const RomSources sources{project, c.glb, c.version, c.userFloorPictureRoot};
    if (!GatherRomContent(sources, events, content))
        return stop(events.result);

    RomBuildReport report;
    const std::string image = BuildRomImage(content, &report);
    for (const CutZone& zone : CutZones(report))
        ui.appendLog(std::string("[Warning] ") + zone.name + " zone full, pictures cut!! -- [ " +
                     std::to_string(zone.used) + " ]");

    MakeRomOutcome outcome;
    std::string path = c.outputPath ? *c.outputPath : RomFileNameOf(project);
    if (fs::path(path).is_relative())
        path = (fs::path(c.startDirectory) / path).string();
    outcome.romPath = path;
    std::string error;
    if (!Util::WriteFileAtomically(path, image, &error)) {
        ui.messageBox(error + "\n\n", "File error");
        outcome.result = MakeRomResult::WriteFailed;
        return outcome;
    }
    ui.messageBox("PRM-620BX7 Make ROM OK\n\n", "Status");
    outcome.result = MakeRomResult::Written;
    return outcome;
}

} // namespace Lift::Rom
