#include "rom/gather_rom_content.h"

#include "editor/text_rules.h"
#include "rom/floor_label_rules.h"
#include "rom/pack_picture.h"
#include "rom/project_pictures.h"

#include <algorithm>
#include <array>

namespace Lift::Rom {

namespace {

std::string itemName(int group, int number) {
    return "GLB item (" + std::to_string(group) + ", " + std::to_string(number) + ")";
}

class Gatherer {
public:
    Gatherer(const RomSources& sources, GatherEvents& events) : m_s(sources), m_e(events) {}

    bool rotated() const { return m_s.version.disphv == 1; }

    std::optional<std::string_view> item(int group, int number, bool dataBlock = false) {
        m_e.glbItemRead(group, number, dataBlock);
        return m_s.glb.item(group, number);
    }

    // Packs GLB item (group, number); `out` stays empty when the item is absent (`absent`
    // says so) or cannot be decoded. False when the listener stops.
    bool packGlbPicture(int group, int number, bool turn, std::optional<std::string>& out,
                        bool* absent = nullptr) {
        out.reset();
        const auto bmp = item(group, number);
        if (absent)
            *absent = !bmp;
        if (!bmp)
            return true;
        PictureSource source;
        source.group = group;
        source.number = number;
        BlackPicture picture;
        std::string reason;
        if (!DecodeBlackPicture(*bmp, picture, reason))
            return m_e.pictureUnreadable(source, itemName(group, number) + ": " + reason);
        return packed(source, picture, turn, out);
    }

    // Packs a picture file of the user's, as packGlbPicture does.
    bool packFile(const PictureSource& source, bool turn, std::optional<std::string>& out) {
        out.reset();
        BlackPicture picture;
        std::string error;
        if (!LoadBlackPicture(source.path, picture, error))
            return m_e.pictureUnreadable(source, error);
        return packed(source, picture, turn, out);
    }

private:
    bool packed(const PictureSource& source, const BlackPicture& picture, bool turn,
                std::optional<std::string>& out) {
        m_e.pictureGathered(source, picture);
        out = PackBlackPicture(picture, turn).substr(4);
        return true;
    }

    const RomSources& m_s;
    GatherEvents& m_e;
};

} // namespace

bool GatherRomContent(const RomSources& s, GatherEvents& events, RomContent& content) {
    const Editor::DisplayProject& project = s.project;
    Gatherer g(s, events);
    content = RomContent{};
    content.encode = s.version.encode;

    std::array<std::array<std::string, 256>, 3> labels;
    for (std::size_t t = 0; t < 3; ++t)
        for (std::size_t r = 0; r < 256; ++r)
            labels[t][r] = RomLabel(project.codeTables[t][r]);

    // Direction frames of all five styles, frame by frame.
    for (int i = 0; i < kDirectionFrames; ++i)
        for (int st = 0; st < kDirectionStyles; ++st)
            if (!g.packGlbPicture(0, 50 + 20 * st + i, g.rotated(),
                                  content.directionFrames[static_cast<std::size_t>(st)]
                                                         [static_cast<std::size_t>(i)]))
                return false;

    // Lift-state pictures: missing files leave no gap, the last entries stay empty.
    std::size_t j = 0;
    for (const MessageSlot& slot : MessageSlotOrder(project)) {
        if (!slot.present) {
            events.slotPictureMissing(slot.row, slot.column);
            continue;
        }
        PictureSource source;
        source.kind = PictureSource::Kind::Slot;
        source.row = slot.row;
        source.column = slot.column;
        source.path = project.liftStatePictures[static_cast<std::size_t>(slot.row)]
                                               [static_cast<std::size_t>(slot.column)];
        std::optional<std::string> packed;
        if (!g.packFile(source, g.rotated(), packed))
            return false;
        if (packed)
            content.messages[j++] = std::move(packed);
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
        if (!used[static_cast<std::size_t>(ch)])
            continue;
        for (int st = 0; st < Editor::kFloorStyleCount; ++st) {
            std::optional<std::string> glyph;
            if (!g.packGlbPicture(FloorGlyphGroup(st), ch, g.rotated(), glyph))
                return false;
            if (st == project.floorStyle)
                content.glyphs[static_cast<std::size_t>(ch)] = std::move(glyph);
        }
    }
    const std::size_t glyphBytes = MeasureFloorZone(content).glyphBytes;
    if (glyphBytes > kGlyphDataWarningBytes)
        events.glyphZoneFull(glyphBytes);

    // Code tables and user floor pictures.
    std::vector<std::string> userPicturePaths;
    std::vector<std::string> unreadablePaths;
    for (int t = 0; t < 3; ++t) {
        for (int r = 0; r < 256; ++r) {
            const std::string& label =
                labels[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
            CodeBytes& bytes =
                content.codeTables[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
            if (const auto simple = LabelCodeBytes(label)) {
                bytes = *simple;
                continue;
            }
            bytes = CodeBytes{};
            PictureSource source;
            source.kind = PictureSource::Kind::UserFloorPicture;
            source.table = t;
            source.code = r;
            source.path = UserFloorPicturePath(s.userFloorPictureRoot, project.floorStyle, label);
            if (source.path.empty()) {
                events.userPictureMissing(t, r);
                continue;
            }
            if (std::find(unreadablePaths.begin(), unreadablePaths.end(), source.path) !=
                unreadablePaths.end())
                continue;
            const auto known =
                std::find(userPicturePaths.begin(), userPicturePaths.end(), source.path);
            const auto number = static_cast<std::size_t>(known - userPicturePaths.begin());
            if (known == userPicturePaths.end()) {
                std::optional<std::string> packed;
                if (!g.packFile(source, g.rotated(), packed))
                    return false;
                if (!packed) { // unreadable, and the listener goes on: the entry stays empty
                    unreadablePaths.push_back(source.path);
                    continue;
                }
                content.userPictures.push_back(std::move(*packed));
                userPicturePaths.push_back(source.path);
            }
            bytes = CodeBytes{kUserPictureMarker, static_cast<std::uint8_t>(number & 0xFF)};
        }
    }
    const RomBuildReport floor = MeasureFloorZone(content);
    if (floor.floorOverflow && !events.floorZoneOverflow(floor))
        return false;

    content.settings = MakeSettingsBlock(project);

    const auto cfi = g.item(0, s.version.cfi, true);
    if (!cfi) {
        if (!events.requiredItemMissing(RequiredItem::Cfi, s.version.cfi))
            return false;
    } else {
        content.cfiItem = *cfi;
    }
    if (s.version.encode == 0) {
        const auto ifi = g.item(0, s.version.ifi, true);
        if (!ifi) {
            if (!events.requiredItemMissing(RequiredItem::Ifi, s.version.ifi))
                return false;
        } else {
            content.ifiItem = *ifi;
        }
    }

    std::optional<std::string> picture040;
    bool absent = false;
    if (!g.packGlbPicture(0, 40, true, picture040, &absent))
        return false;
    if (picture040)
        content.picture040 = std::move(*picture040);
    else if (absent && !events.requiredItemMissing(RequiredItem::Picture040, 40))
        return false;

    if (!Editor::IsBlank(project.logoFile)) {
        PictureSource source;
        source.kind = PictureSource::Kind::Logo;
        source.path = project.logoFile;
        if (!g.packFile(source, g.rotated(), content.logo))
            return false;
    }

    for (int i = 0; i < kSmallPictureCount; ++i) {
        std::optional<std::string> small;
        if (!g.packGlbPicture(7, i, g.rotated(), small, &absent))
            return false;
        if (small)
            content.smallPictures.push_back(std::move(*small));
        else if (absent && !events.requiredItemMissing(RequiredItem::SmallPicture, i))
            return false;
    }
    return true;
}

std::vector<CutZone> CutZones(const RomBuildReport& report) {
    std::vector<CutZone> cut;
    for (const CutZone& z : {CutZone{"DIR BMP", report.directionBytes, kDirectionZone},
                             CutZone{"MSG BMP", report.messageBytes, kMessageZone},
                             CutZone{"Small BMP", report.smallPictureBytes, kSmallPictureArea}})
        if (z.used > z.area.size)
            cut.push_back(z);
    return cut;
}

} // namespace Lift::Rom
