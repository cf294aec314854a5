#include "commissioning/check.h"

#include "editor/code_table_labels.h"
#include "editor/text_rules.h"
#include "project/project_file.h"
#include "rom/floor_label_rules.h"
#include "rom/gather_rom_content.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace Lift::Commissioning {

namespace {

using Editor::DisplayProject;
using Rom::PictureSource;

using Rom::kDirectionSize;
using Rom::kGlyphSize;
using Rom::kLogoSize;
using Rom::kMessageSize;
using Rom::kUserPictureSize;

constexpr int kFirstDirectionItem = 50;
constexpr int kDirectionItems = 20 * Rom::kDirectionStyles;
// The lift controller drives a 6-bit code: codes from here on cannot be selected.
constexpr int kFirstUnreachableCode = 64;

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

FindingPlace settingPlace(Setting setting) {
    return {.kind = FindingPlace::Kind::Setting, .setting = setting};
}

FindingPlace codePlace(int table, int code) {
    return {.kind = FindingPlace::Kind::Code, .table = table, .code = code};
}

FindingPlace slotPlace(int row, int column) {
    return {.kind = FindingPlace::Kind::Slot, .row = row, .column = column};
}

FindingPlace kindPlace(FindingPlace::Kind kind) {
    return {.kind = kind};
}

bool isDirectionItem(int group, int number) {
    return group == 0 && number >= kFirstDirectionItem &&
           number < kFirstDirectionItem + kDirectionItems;
}

// Turns what MAKE ROM's gathering meets into findings, and goes on where MAKE ROM stops.
class CheckEvents : public Rom::GatherEvents {
public:
    CheckEvents(const DisplayProject& project, bool libraryLoaded, std::vector<Finding>& out)
        : m_p(project), m_libraryLoaded(libraryLoaded), m_out(out) {}

    void pictureGathered(const PictureSource& source, const Rom::BlackPicture& picture) override {
        const auto expect = [&](Rom::PictureSize size, const std::string& what) {
            if (picture.width != size.width || picture.height != size.height)
                add(placeOf(source), what + " is " + sizeText(picture.width, picture.height) +
                                         "; the display needs " +
                                         sizeText(size.width, size.height));
        };
        switch (source.kind) {
        case PictureSource::Kind::Slot:
            expect(kMessageSize, "the picture " + source.path);
            break;
        case PictureSource::Kind::UserFloorPicture:
            expect(kUserPictureSize, "the user floor picture " + source.path);
            break;
        case PictureSource::Kind::Logo:
            expect(kLogoSize, "the logo " + source.path);
            break;
        case PictureSource::Kind::GlbItem:
            if (source.group == Rom::FloorGlyphGroup(m_p.floorStyle))
                expect(kGlyphSize, "the glyph of " +
                                       quoted(std::string(1, static_cast<char>(source.number))) +
                                       " in the GLB library");
            else if (isDirectionItem(source.group, source.number))
                expect(kDirectionSize,
                       "arrow frame " + std::to_string((source.number - kFirstDirectionItem) % 20) +
                           " of DIR Style " +
                           std::to_string((source.number - kFirstDirectionItem) / 20));
            break;
        }
    }
    bool pictureUnreadable(const PictureSource& source, const std::string& reason) override {
        add(placeOf(source), reason + ": MAKE ROM stops here");
        return true;
    }
    void slotPictureMissing(int row, int column) override {
        const std::string& path =
            m_p.liftStatePictures[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
        add(slotPlace(row, column), (path.empty() ? std::string("no picture chosen")
                                                  : "the picture " + path + " is missing") +
                                        ": MAKE ROM leaves it out and the later messages move up");
    }
    void glyphZoneFull(std::size_t glyphBytes) override {
        add(settingPlace(Setting::FloorStyle),
            "the glyphs take " + std::to_string(glyphBytes) + " bytes, more than the " +
                std::to_string(Rom::kGlyphDataWarningBytes) +
                " of the controller's glyph area (\"Floor BMP zone full\")");
    }
    void userPictureMissing(int table, int code) override {
        const std::string label = Rom::RomLabel(
            m_p.codeTables[static_cast<std::size_t>(table)][static_cast<std::size_t>(code)]);
        add(codePlace(table, code), quoted(label) + ": no user floor picture " + label +
                                        ".bmp for FL Style " + std::to_string(m_p.floorStyle) +
                                        ": MAKE ROM removes the label");
    }
    bool floorZoneOverflow(const Rom::RomBuildReport& report) override {
        add(kindPlace(FindingPlace::Kind::Project),
            "glyphs and user floor pictures take " + std::to_string(report.floorBytes) +
                " bytes, more than the floor zone's " + std::to_string(Rom::kFloorZone.size) +
                " (or more than 128 user pictures): MAKE ROM refuses (\"FL element overflow\")");
        return true;
    }
    bool requiredItemMissing(Rom::RequiredItem item, int number) override {
        if (!m_libraryLoaded)
            return true; // said once for the whole library
        static const char* const what[] = {"the CFI data block", "the IFI data block",
                                           "the picture (0, 40)", "a small picture"};
        const int group = item == Rom::RequiredItem::SmallPicture ? 7 : 0;
        add(kindPlace(FindingPlace::Kind::Library),
            "GLB item (" + std::to_string(group) + ", " + std::to_string(number) + "), " +
                what[static_cast<std::size_t>(item)] +
                ", is missing: MAKE ROM stops (\"GLB File error!!\")");
        return true;
    }

private:
    FindingPlace placeOf(const PictureSource& source) const {
        switch (source.kind) {
        case PictureSource::Kind::Slot:
            return slotPlace(source.row, source.column);
        case PictureSource::Kind::UserFloorPicture:
            return codePlace(source.table, source.code);
        case PictureSource::Kind::Logo:
            return settingPlace(Setting::LogoFile);
        case PictureSource::Kind::GlbItem:
            break;
        }
        if (source.group >= 1 && source.group <= Editor::kFloorStyleCount)
            return settingPlace(Setting::FloorStyle);
        if (isDirectionItem(source.group, source.number))
            return settingPlace(Setting::DirectionStyle);
        return kindPlace(FindingPlace::Kind::Library);
    }
    void add(const FindingPlace& place, std::string message) {
        m_out.push_back({Severity::Error, place, std::move(message)});
    }

    const DisplayProject& m_p;
    bool m_libraryLoaded;
    std::vector<Finding>& m_out;
};

class Checker {
public:
    Checker(const Editor::EditorSession& session, std::vector<Finding>& out)
        : m_program(session.program), m_p(session.project), m_out(out) {
        // MAKE ROM saves first, and the save normalises what the image takes.
        Project::ApplySaveEffects(m_p);
        for (std::size_t t = 0; t < 3; ++t)
            for (std::size_t r = 0; r < 256; ++r)
                m_labels[t][r] = Rom::RomLabel(m_p.codeTables[t][r]);
    }

    void run() {
        settings();
        tables();
        const bool loaded = m_program.glbData.isLoaded();
        if (!loaded)
            add(Severity::Error, kindPlace(FindingPlace::Kind::Library),
                "no GLB library is loaded (" + m_program.settings.glbFileName +
                    "): MAKE ROM stops (\"GLB File error!!\")");
        CheckEvents events(m_p, loaded, m_out);
        Rom::RomContent content;
        Rom::GatherRomContent({m_p, m_program.glbData, m_program.settings.versionSettings,
                               m_program.userFloorPictureRoot},
                              events, content);
        Rom::RomBuildReport report;
        Rom::BuildRomImage(content, &report);
        for (const Rom::CutZone& zone : Rom::CutZones(report))
            add(Severity::Error, kindPlace(FindingPlace::Kind::Library),
                std::string("the ") + zone.name + " zone needs " + std::to_string(zone.used) +
                    " bytes and holds " + std::to_string(zone.area.size) + ": pictures are cut");
        if (loaded && within(m_p.floorStyle, Editor::kFloorStyleCount))
            glyphs(content);
    }

private:
    static bool within(int value, int count) { return value >= 0 && value < count; }

    void add(Severity severity, const FindingPlace& place, std::string message) {
        m_out.push_back({severity, place, std::move(message)});
    }

    void settings() {
        for (const SettingRow& row : DescribeSettings(m_p)) {
            if (row.inRange)
                continue;
            std::string text =
                std::string(row.caption) + " is " + row.value + ", not one of " + row.allowed;
            if (row.setting == Setting::FloorStyle)
                text += ": the image gets no floor glyphs";
            else if (row.inImage)
                text += ": the controller gets a value it does not know";
            add(Severity::Error, settingPlace(row.setting), text);
        }
        const int ticked = Editor::MaskFromBoxes(m_p.messageColumnBoxes);
        if (ticked != m_p.messageMask)
            add(Severity::Warning, settingPlace(Setting::MessageColumns),
                "the ticked message columns (" + std::to_string(ticked) + ") are saved as " +
                    std::to_string(m_p.messageMask) + ": exactly two columns are shown");
        if (m_p.logoEnabled && Editor::IsBlank(m_p.logoFile))
            add(Severity::Error, settingPlace(Setting::Logo),
                "the logo is ON but no logo file is chosen: the image has no logo to show");
        const std::string id = Editor::Trimmed(m_p.idCode);
        const bool printable = std::all_of(id.begin(), id.end(), [](char c) {
            return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
        });
        if (id.size() != 4 || !printable)
            add(Severity::Warning, settingPlace(Setting::IdCode),
                quoted(id) + " is not four printable characters; the controller gets the first "
                             "four bytes, 0 for each missing one");
    }

    void tables() {
        if (m_p.allCodeTablesBlank()) {
            add(Severity::Error, kindPlace(FindingPlace::Kind::Project),
                "every code table is empty: MAKE ROM refuses to build (\"All CTBL is empty!!\")");
            return;
        }
        if (within(m_p.defaultCodeTable, Editor::kCodeTableCount) &&
            empty(m_labels[static_cast<std::size_t>(m_p.defaultCodeTable)]))
            add(Severity::Error, settingPlace(Setting::DefaultCodeTable),
                "CTBL" + std::to_string(m_p.defaultCodeTable) +
                    ", the default code table, has no labels: the display shows no floor");
        for (int t = 0; t < Editor::kCodeTableCount; ++t)
            table(t, m_labels[static_cast<std::size_t>(t)]);
    }

    static bool empty(const std::array<std::string, 256>& labels) {
        return std::all_of(labels.begin(), labels.end(),
                           [](const std::string& l) { return l.empty(); });
    }

    void table(int t, const std::array<std::string, 256>& labels) {
        std::map<std::string, int> firstCode; // what is shown -> first code showing it
        int lastUsed = -1;
        bool unreachableNoted = false;
        for (int r = 0; r < Editor::kCodeCount; ++r) {
            const std::string& label = labels[static_cast<std::size_t>(r)];
            if (label.empty())
                continue;
            if (lastUsed >= 0 && r > lastUsed + 1)
                add(Severity::Warning, codePlace(t, lastUsed + 1),
                    (r == lastUsed + 2
                         ? "this code has"
                         : "codes up to " + Editor::CodeColumnLabel(r - 1) + " have") +
                        std::string(" no label between labelled codes"));
            lastUsed = r;
            const Rom::LabelShows shows = Rom::WhatLabelShows(label);
            // Glyphs are at most two characters, user picture names three or more.
            const auto [it, added] = firstCode.emplace(shows.userPicture ? label : shows.glyphs, r);
            if (!added)
                add(Severity::Warning, codePlace(t, r),
                    quoted(label) + " is shown for code " + Editor::CodeColumnLabel(it->second) +
                        " too");
            if (r >= kFirstUnreachableCode && !unreachableNoted) {
                unreachableNoted = true;
                add(Severity::Note, codePlace(t, r),
                    "labels from here on sit on codes 64..255, which the lift controller's 6-bit "
                    "input cannot select");
            }
        }
    }

    void glyphs(const Rom::RomContent& content) {
        for (int t = 0; t < Editor::kCodeTableCount; ++t) {
            for (int r = 0; r < Editor::kCodeCount; ++r) {
                const std::string& label =
                    m_labels[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
                for (char ch : Rom::WhatLabelShows(label).glyphs) {
                    const auto c = static_cast<unsigned char>(ch);
                    if (c >= Rom::kGlyphCount)
                        add(Severity::Error, codePlace(t, r),
                            quoted(label) + ": character code " + std::to_string(c) +
                                " has no glyph (glyphs exist for codes 0..127)");
                    else if (!content.glyphs[c])
                        add(Severity::Error, codePlace(t, r),
                            quoted(label) + ": FL Style " + std::to_string(m_p.floorStyle) +
                                " of the GLB library has no glyph of " +
                                quoted(std::string(1, ch)));
                }
            }
        }
    }

    const Editor::ProgramState& m_program;
    DisplayProject m_p;
    std::array<std::array<std::string, 256>, 3> m_labels;
    std::vector<Finding>& m_out;
};

int placeRank(const FindingPlace& p) {
    switch (p.kind) {
    case FindingPlace::Kind::Setting:
        return 0;
    case FindingPlace::Kind::Project:
        return 1;
    case FindingPlace::Kind::Library:
        return 2;
    case FindingPlace::Kind::Code:
        return 3;
    case FindingPlace::Kind::Slot:
        return 4;
    }
    return 5;
}

auto orderKey(const Finding& f) {
    const FindingPlace& p = f.place;
    return std::make_tuple(static_cast<int>(f.severity), placeRank(p), static_cast<int>(p.setting),
                           p.table, p.code, p.row, p.column);
}

} // namespace

std::vector<Finding> CheckProject(const Editor::EditorSession& session) {
    std::vector<Finding> findings;
    Checker(session, findings).run();
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return orderKey(a) < orderKey(b); });
    return findings;
}

const char* SeverityText(Severity severity) {
    switch (severity) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    case Severity::Note:
        return "note";
    }
    return "?";
}

std::string PlaceText(const FindingPlace& p) {
    switch (p.kind) {
    case FindingPlace::Kind::Project:
        return "project";
    case FindingPlace::Kind::Library:
        return "GLB library";
    case FindingPlace::Kind::Code:
        return "CTBL" + std::to_string(p.table) + " " + Editor::CodeColumnLabel(p.code);
    case FindingPlace::Kind::Slot:
        return "slot (" + std::to_string(p.row) + ", " + std::to_string(p.column) + ") " +
               Editor::LiftStateStem(p.row, p.column);
    case FindingPlace::Kind::Setting:
        break;
    }
    const DisplayProject defaults; // no "{}": clang 14 crashes on the nested arrays
    for (const SettingRow& row : DescribeSettings(defaults))
        if (row.setting == p.setting)
            return row.caption;
    return "setting";
}

std::string FindingLine(const Finding& f) {
    return std::string(SeverityText(f.severity)) + ": " + PlaceText(f.place) + ": " + f.message;
}

std::string FindingSummary(const std::vector<Finding>& findings) {
    std::string text;
    for (Severity s : {Severity::Error, Severity::Warning, Severity::Note}) {
        const auto n = std::count_if(findings.begin(), findings.end(),
                                     [s](const Finding& f) { return f.severity == s; });
        text += (text.empty() ? "" : ", ") + std::to_string(n) + " " + SeverityText(s) +
                (n == 1 ? "" : "s");
    }
    return text;
}

} // namespace Lift::Commissioning
