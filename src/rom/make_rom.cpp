#include "rom/make_rom.h"

#include "editor/code_table_labels.h"
#include "editor/extract_glb_item.h"
#include "editor/text_rules.h"
#include "rom/black_picture.h"
#include "rom/pack_picture.h"
#include "rom/rom_image.h"
#include "util/atomic_file.h"
#include "util/standalone_function.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>
#include <vector>

namespace Lift::Rom {

namespace {

namespace fs = std::filesystem;
using Editor::DisplayProject;

bool isFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

std::string packedData(const BlackPicture& picture, bool rotated) {
    return PackBlackPicture(picture, rotated).substr(4);
}

class Run {
public:
    explicit Run(MakeRomContext& context) : m_c(context) {}

    // Leaves the temporary picture file as reading the GLB items through it would have: the
    // last item read stays there, a data block read last is gone. Nothing in between was
    // written, so no file of the user's is ever touched beyond that one name.
    ~Run() {
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
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    std::optional<std::string_view> glbItem(int group, int number) {
        m_lastItem = {group, number};
        m_lastItemDeleted = false;
        return m_c.glb.item(group, number);
    }
    void dataBlockConsumed() { m_lastItemDeleted = true; }

    bool rotated() const { return m_c.version.disphv == 1; }

    // Packs GLB item (group, number). Absent item: true with `out` empty. A picture that
    // cannot be decoded: error box, false.
    bool packGlbPicture(int group, int number, bool rotated, std::optional<std::string>& out) {
        out.reset();
        const auto bmp = glbItem(group, number);
        if (!bmp)
            return true;
        BlackPicture picture;
        std::string reason;
        if (!DecodeBlackPicture(*bmp, picture, reason))
            return pictureError(Itemname(group, number) + ": " + reason);
        out = packedData(picture, rotated);
        return true;
    }

    // Packs a picture file of the user's; error box and false when it cannot be used.
    bool packFile(const std::string& path, bool rotated, std::string& out) {
        BlackPicture picture;
        std::string error;
        if (!LoadBlackPicture(path, picture, error))
            return pictureError(error);
        out = packedData(picture, rotated);
        return true;
    }

    bool pictureError(const std::string& text) {
        YVclUtil::ShowErrMsgBox_Printf("Error", "%s", text.c_str());
        return false;
    }

    static std::string Itemname(int group, int number) {
        return "GLB item (" + std::to_string(group) + ", " + std::to_string(number) + ")";
    }

private:
    MakeRomContext& m_c;
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

std::string FindUserFloorPicture(const std::string& folder, const std::string& name) {
    std::string exact = (fs::path(folder) / name).string();
    if (isFile(exact))
        return exact;
    std::error_code ec;
    std::vector<std::string> matches;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (equalIgnoringCase(candidate, name) && isFile(it->path().string()))
            matches.push_back(it->path().string());
    }
    if (matches.empty())
        return {};
    return *std::min_element(matches.begin(), matches.end());
}

std::string UserFloorPicturePath(const std::string& userFloorPictureRoot, int floorStyle,
                                 const std::string& label) {
    return FindUserFloorPicture(userFloorPictureRoot + std::to_string(floorStyle), label + ".bmp");
}

std::array<std::string, kMessageCount> MessagePictureList(const DisplayProject& project) {
    std::array<std::string, kMessageCount> list;
    std::size_t j = 0;
    for (int column : kMessageColumnOrder)
        for (int row = 0; row < Editor::kSlotRows; ++row)
            if (const std::string& path = project.liftStatePictures[row][column]; isFile(path))
                list[j++] = path;
    return list;
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
    Run run(c);
    RomContent content;
    content.encode = c.version.encode;

    // Working copy of the labels: trimmed, upper case.
    std::array<std::array<std::string, 256>, 3> labels;
    for (int t = 0; t < 3; ++t)
        for (int r = 0; r < 256; ++r)
            labels[t][r] = Editor::UpperCased(Editor::Trimmed(project.codeTables[t][r]));

    // Direction frames of all five styles, frame by frame.
    for (int i = 0; i < kDirectionFrames; ++i)
        for (int s = 0; s < kDirectionStyles; ++s)
            if (!run.packGlbPicture(0, 50 + 20 * s + i, run.rotated(),
                                    content.directionFrames[s][i]))
                return stop(MakeRomResult::PictureError);

    // Lift-state pictures: missing files leave no gap, the last entries stay empty.
    const auto messageFiles = MessagePictureList(project);
    for (std::size_t j = 0; j < messageFiles.size() && !messageFiles[j].empty(); ++j) {
        std::string packed;
        if (!run.packFile(messageFiles[j], run.rotated(), packed))
            return stop(MakeRomResult::PictureError);
        content.messages[j] = std::move(packed);
    }

    // Characters that need a glyph.
    std::array<bool, 256> used{};
    for (const auto& table : labels)
        for (const std::string& label : table)
            if (label.size() == 1 || label.size() == 2)
                for (char ch : label)
                    used[static_cast<unsigned char>(ch)] = true;
    for (char ch : std::string("-S0123456789"))
        used[static_cast<unsigned char>(ch)] = true;

    // Glyphs of all four floor styles are prepared (a damaged one stops the build whichever
    // style is chosen); only the chosen style's are kept.
    for (int ch = 0; ch < kGlyphCount; ++ch) {
        if (!used[ch])
            continue;
        for (int s = 0; s < Editor::kFloorStyleCount; ++s) {
            std::optional<std::string> glyph;
            if (!run.packGlbPicture(s + 1, ch, run.rotated(), glyph))
                return stop(MakeRomResult::PictureError);
            if (s == project.floorStyle)
                content.glyphs[ch] = std::move(glyph);
        }
    }

    const RomBuildReport glyphsOnly = MeasureFloorZone(content);
    if (glyphsOnly.glyphBytes > kGlyphDataWarningBytes)
        ui.appendLog("[Error] Floor BMP zone full!! -- [ " + std::to_string(glyphsOnly.glyphBytes) +
                     " ]");

    // Code tables and user floor pictures.
    std::vector<std::string> userPicturePaths;
    for (int t = 0; t < 3; ++t) {
        for (int r = 0; r < 256; ++r) {
            const std::string& label = labels[t][r];
            CodeBytes& bytes = content.codeTables[t][r];
            if (const auto simple = LabelCodeBytes(label)) {
                bytes = *simple;
                continue;
            }
            const std::string path =
                UserFloorPicturePath(c.userFloorPictureRoot, project.floorStyle, label);
            if (path.empty()) {
                ui.appendLog("[Warning] CTBL" + std::to_string(t) + "-" +
                             Editor::CodeColumnLabel(r) + " not found --> auto cancel !!!");
                project.codeTables[t][r].clear();
                bytes = CodeBytes{};
                continue;
            }
            const auto known = std::find(userPicturePaths.begin(), userPicturePaths.end(), path);
            std::size_t number = static_cast<std::size_t>(known - userPicturePaths.begin());
            if (known == userPicturePaths.end()) {
                std::string packed;
                if (!run.packFile(path, run.rotated(), packed))
                    return stop(MakeRomResult::PictureError);
                content.userPictures.push_back(std::move(packed));
                userPicturePaths.push_back(path);
            }
            bytes = CodeBytes{kUserPictureMarker, static_cast<std::uint8_t>(number & 0xFF)};
        }
    }
    if (MeasureFloorZone(content).floorOverflow) {
        ui.messageBox("FL element overflow!!\n\n", "Element overflow");
        return stop(MakeRomResult::FloorOverflow);
    }

    content.settings = MakeSettingsBlock(project);

    const auto glbError = [&] {
        ui.messageBox("GLB File error!!", "File error");
        return stop(MakeRomResult::GlbItemMissing);
    };
    const auto cfi = run.glbItem(0, c.version.cfi);
    if (!cfi)
        return glbError();
    content.cfiItem = *cfi;
    run.dataBlockConsumed();
    if (c.version.encode == 0) {
        const auto ifi = run.glbItem(0, c.version.ifi);
        if (!ifi)
            return glbError();
        content.ifiItem = *ifi;
        run.dataBlockConsumed();
    }

    std::optional<std::string> picture040;
    if (!run.packGlbPicture(0, 40, true, picture040))
        return stop(MakeRomResult::PictureError);
    if (!picture040)
        return glbError();
    content.picture040 = std::move(*picture040);

    if (!Editor::IsBlank(project.logoFile)) {
        std::string logo;
        if (!run.packFile(project.logoFile, run.rotated(), logo))
            return stop(MakeRomResult::PictureError);
        content.logo = std::move(logo);
    }

    for (int i = 0; i < kSmallPictureCount; ++i) {
        std::optional<std::string> small;
        if (!run.packGlbPicture(7, i, run.rotated(), small))
            return stop(MakeRomResult::PictureError);
        if (!small) {
            run.pictureError(Run::Itemname(7, i) + ": the picture is missing from the GLB file");
            return stop(MakeRomResult::PictureError);
        }
        content.smallPictures.push_back(std::move(*small));
    }

    RomBuildReport report;
    const std::string image = BuildRomImage(content, &report);
    const auto zoneWarning = [&](const char* zone, std::size_t used, RomArea area) {
        if (used > area.size)
            ui.appendLog(std::string("[Warning] ") + zone + " zone full, pictures cut!! -- [ " +
                         std::to_string(used) + " ]");
    };
    zoneWarning("DIR BMP", report.directionBytes, kDirectionZone);
    zoneWarning("MSG BMP", report.messageBytes, kMessageZone);
    zoneWarning("Small BMP", report.smallPictureBytes, kSmallPictureArea);

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
