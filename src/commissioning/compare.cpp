#include "commissioning/compare.h"

#include "commissioning/project_settings.h"
#include "editor/code_table_labels.h"
#include "rom/black_picture.h"
#include "rom/floor_label_rules.h"
#include "rom/project_pictures.h"
#include "rom/rom_inspect.h"
#include "util/atomic_file.h"
#include "util/standalone_function.h"

#include <functional>
#include <map>
#include <optional>
#include <set>

namespace Lift::Commissioning {

namespace {

using Editor::EditorSession;

std::string change(const std::string& a, const std::string& b) {
    const auto shown = [](const std::string& s) { return s.empty() ? std::string("(none)") : s; };
    return shown(a) + " -> " + shown(b);
}

void compareSettings(const std::vector<SettingRow>& a, const std::vector<SettingRow>& b,
                     std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i].setting != Setting::LogoFile && a[i].value != b[i].value)
            lines.push_back(std::string("setting ") + a[i].caption + ": " +
                            change(a[i].value, b[i].value));
}

// A picture file as the display shows it: decoded to black and white, or, when it cannot be
// decoded, its bytes; nothing when there is no file.
struct PictureContent {
    bool present = false;
    bool decoded = false;
    Rom::BlackPicture picture;
    std::string bytes;

    bool operator==(const PictureContent& o) const {
        if (present != o.present || decoded != o.decoded)
            return false;
        if (decoded)
            return picture.width == o.picture.width && picture.height == o.picture.height &&
                   picture.black == o.picture.black;
        return bytes == o.bytes;
    }
};

PictureContent readPicture(const std::string& path) {
    PictureContent c;
    if (path.empty() || !Editor::FileExists(path))
        return c;
    c.present = true;
    std::string error;
    c.decoded = Rom::LoadBlackPicture(path, c.picture, error);
    if (!c.decoded)
        Util::ReadWholeFile(path, c.bytes);
    return c;
}

void comparePictures(const std::string& what, const std::string& a, const std::string& b,
                     std::vector<std::string>& lines) {
    const PictureContent ca = readPicture(a), cb = readPicture(b);
    if (ca == cb)
        return;
    lines.push_back(what + ": " +
                    (!ca.present   ? "only in B"
                     : !cb.present ? "only in A"
                                   : "the pictures differ"));
}

std::set<std::string> userPictureLabels(const Editor::DisplayProject& p) {
    std::set<std::string> labels;
    for (const auto& table : p.codeTables)
        for (const std::string& entry : table) {
            std::string label = Rom::RomLabel(entry);
            if (Rom::WhatLabelShows(label).userPicture)
                labels.insert(std::move(label));
        }
    return labels;
}

// ---- images ------------------------------------------------------------------------------

struct NamedArea {
    const char* name;
    Rom::RomArea area;
};

const NamedArea kAreas[] = {
    {"CFI block", Rom::kCfiArea},
    {"logo", Rom::kLogoArea},
    {"small pictures", Rom::kSmallPictureArea},
    {"reserved", Rom::kReservedArea},
    {"CRC-8 table", Rom::kCrcTableArea},
    {"settings block", Rom::kSettingsArea},
    {"code tables", Rom::kCodeTableArea},
    {"message index", Rom::kMessageIndexArea},
    {"message zone", Rom::kMessageZone},
    {"direction index", Rom::kDirectionIndexArea},
    {"direction zone", Rom::kDirectionZone},
    {"glyph index", Rom::kGlyphIndexArea},
    {"user picture index", Rom::kUserPictureIndexArea},
    {"spare index 0", Rom::kSpareIndexArea0},
    {"spare index 1", Rom::kSpareIndexArea1},
    {"floor zone", Rom::kFloorZone},
    {"IFI block", Rom::kIfiArea},
    {"picture (0, 40)", Rom::kPicture040Area},
};

struct Image {
    std::string_view bytes;
    Rom::RomInspection inspection;

    std::string_view data(const Rom::PlacedPicture& p) const {
        return p.insideZone ? bytes.substr(p.offset, p.size) : std::string_view();
    }
    // Pictures by a key, e.g. a glyph's character code.
    template <class Key>
    std::map<Key, std::string_view> pictures(const std::vector<Rom::PlacedPicture>& placed,
                                             Key (*key)(const Rom::PlacedPicture&)) const {
        std::map<Key, std::string_view> out;
        for (const auto& p : placed)
            out[key(p)] = data(p);
        return out;
    }
};

int byNumber(const Rom::PlacedPicture& p) {
    return p.number;
}
std::pair<int, int> byStyleAndNumber(const Rom::PlacedPicture& p) {
    return {p.style, p.number};
}

template <class Key>
void comparePlaced(const std::map<Key, std::string_view>& a,
                   const std::map<Key, std::string_view>& b, std::vector<std::string>& lines,
                   const std::function<std::string(const Key&)>& name) {
    std::set<Key> keys;
    for (const auto& [k, v] : a)
        keys.insert(k);
    for (const auto& [k, v] : b)
        keys.insert(k);
    for (const Key& k : keys) {
        const auto ia = a.find(k), ib = b.find(k);
        if (ia != a.end() && ib != b.end() && ia->second == ib->second)
            continue;
        lines.push_back(name(k) + ": " +
                        (ia == a.end()   ? "only in B"
                         : ib == b.end() ? "only in A"
                                         : "the pictures differ"));
    }
}

// A code-table entry as the display shows it: its label, or its user floor picture.
struct EntryView {
    std::string text;
    std::string_view picture;
};

// Every entry of the three tables, table by table.
std::vector<EntryView> entries(const Image& image) {
    std::map<int, std::string_view> userPictures;
    for (const auto& u : image.inspection.userPictures)
        userPictures[u.number] = image.data(u);
    std::vector<EntryView> out(Editor::kCodeTableCount * Editor::kCodeCount);
    for (const Rom::CodeEntry& e : image.inspection.codes) {
        EntryView& v = out[static_cast<std::size_t>(e.table) * Editor::kCodeCount +
                           static_cast<std::size_t>(e.code)];
        if (e.userPicture()) {
            v.text = "user floor picture " + std::to_string(e.right);
            v.picture = userPictures[e.right];
        } else {
            v.text = e.label();
        }
    }
    return out;
}

void compareEntries(const Image& a, const Image& b, std::vector<std::string>& lines) {
    const std::vector<EntryView> ea = entries(a), eb = entries(b);
    for (std::size_t i = 0; i < ea.size(); ++i) {
        const EntryView& va = ea[i];
        const EntryView& vb = eb[i];
        const bool bothPictures = !va.picture.empty() && !vb.picture.empty();
        if (bothPictures ? va.picture == vb.picture : va.text == vb.text)
            continue;
        const int table = static_cast<int>(i) / Editor::kCodeCount;
        const int code = static_cast<int>(i) % Editor::kCodeCount;
        std::string line = "CTBL" + std::to_string(table) + " " + Editor::CodeColumnLabel(code) +
                           ": " + change(va.text, vb.text);
        if (va.text == vb.text)
            line += " (its picture differs)";
        lines.push_back(line);
    }
}

} // namespace

std::vector<std::string> CompareProjects(const EditorSession& a, const EditorSession& b) {
    const Editor::DisplayProject& pa = a.project;
    const Editor::DisplayProject& pb = b.project;
    std::vector<std::string> lines;
    compareSettings(DescribeSettings(pa), DescribeSettings(pb), lines);

    for (int t = 0; t < Editor::kCodeTableCount; ++t)
        for (int r = 0; r < Editor::kCodeCount; ++r) {
            const std::string la = Rom::RomLabel(pa.codeTables[std::size_t(t)][std::size_t(r)]);
            const std::string lb = Rom::RomLabel(pb.codeTables[std::size_t(t)][std::size_t(r)]);
            if (la != lb)
                lines.push_back("CTBL" + std::to_string(t) + " " + Editor::CodeColumnLabel(r) +
                                ": " + change(la, lb));
        }

    for (int row = 0; row < Editor::kSlotRows; ++row)
        for (int column = 0; column < Editor::kSlotColumns; ++column)
            comparePictures("slot (" + std::to_string(row) + ", " + std::to_string(column) + ") " +
                                Editor::LiftStateStem(row, column),
                            pa.liftStatePictures[std::size_t(row)][std::size_t(column)],
                            pb.liftStatePictures[std::size_t(row)][std::size_t(column)], lines);

    const std::set<std::string> la = userPictureLabels(pa), lb = userPictureLabels(pb);
    for (const std::string& label : la)
        if (lb.count(label))
            comparePictures(
                "user floor picture " + label,
                Rom::UserFloorPicturePath(a.program.userFloorPictureRoot, pa.floorStyle, label),
                Rom::UserFloorPicturePath(b.program.userFloorPictureRoot, pb.floorStyle, label),
                lines);
    comparePictures("logo", pa.logoFile, pb.logoFile, lines);
    return lines;
}

bool CompareRomImages(std::string_view a, std::string_view b, std::vector<std::string>& lines,
                      std::string& error) {
    Image ia{a, {}}, ib{b, {}};
    for (auto [image, name] : {std::pair{&ia, "A: "}, std::pair{&ib, "B: "}})
        if (!Rom::InspectRomImage(image->bytes, 1, image->inspection, error)) {
            error = name + error;
            return false;
        }
    lines.clear();
    compareSettings(DescribeSettingsBlock(ia.inspection.settings),
                    DescribeSettingsBlock(ib.inspection.settings), lines);
    compareEntries(ia, ib, lines);
    comparePlaced<int>(ia.pictures(ia.inspection.glyphs, byNumber),
                       ib.pictures(ib.inspection.glyphs, byNumber), lines, [](const int& c) {
                           return "glyph \"" + std::string(1, static_cast<char>(c)) + "\"";
                       });
    comparePlaced<std::pair<int, int>>(ia.pictures(ia.inspection.directionFrames, byStyleAndNumber),
                                       ib.pictures(ib.inspection.directionFrames, byStyleAndNumber),
                                       lines, [](const std::pair<int, int>& k) {
                                           return "arrow frame " + std::to_string(k.second) +
                                                  " of DIR Style " + std::to_string(k.first);
                                       });
    comparePlaced<int>(ia.pictures(ia.inspection.messages, byNumber),
                       ib.pictures(ib.inspection.messages, byNumber), lines,
                       [](const int& j) { return "message picture " + std::to_string(j); });
    const auto logo = [](std::string_view image) {
        return image.substr(Rom::kLogoArea.offset, Rom::kLogoArea.size);
    };
    if (logo(a) != logo(b))
        lines.push_back("logo: the pictures differ");

    for (const NamedArea& z : kAreas) {
        const std::string_view za = a.substr(z.area.offset, z.area.size);
        const std::string_view zb = b.substr(z.area.offset, z.area.size);
        if (za == zb)
            continue;
        std::size_t differ = 0;
        for (std::size_t i = 0; i < za.size(); ++i)
            differ += za[i] != zb[i];
        if (differ > 0)
            lines.push_back(YVclUtil::Format("area %s (0x%04zX, %zu bytes): %zu %s", z.name,
                                             z.area.offset, z.area.size, differ,
                                             differ == 1 ? "byte differs" : "bytes differ"));
    }
    return true;
}

} // namespace Lift::Commissioning
