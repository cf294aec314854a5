#include "rom/rom_inspect.h"

#include "editor/code_table_labels.h"
#include "editor/display_project.h"
#include "util/crc8.h"
#include "util/standalone_function.h"

#include <algorithm>
#include <set>

namespace Lift::Rom {

namespace {

using Util::kCrc8Table;

class Reader {
public:
    explicit Reader(std::string_view image) : m_image(image) {}
    std::uint8_t at(std::size_t i) const { return static_cast<std::uint8_t>(m_image[i]); }
    std::size_t be16(std::size_t i) const { return (std::size_t(at(i)) << 8) | at(i + 1); }

private:
    std::string_view m_image;
};

PlacedPicture placed(int number, int style, std::size_t offset, std::size_t size, RomArea zone) {
    PlacedPicture p;
    p.number = number;
    p.style = style;
    p.offset = offset;
    p.size = size;
    p.insideZone = offset >= zone.offset && offset + size <= zone.end();
    return p;
}

void noteUse(ZoneUse& zone, const PlacedPicture& p) {
    if (p.insideZone)
        zone.used = std::max(zone.used, p.offset + p.size - zone.area.offset);
}

std::string hex4(std::size_t v) {
    return YVclUtil::Format("0x%04zX", v);
}

std::string printable(std::uint8_t c) {
    if (c >= 33 && c < 127)
        return std::string(1, static_cast<char>(c));
    return YVclUtil::Format("\\x%02X", c);
}

std::string where(const PlacedPicture& p) {
    return "at " + hex4(p.offset) + (p.insideZone ? "" : " (outside its zone!)");
}

} // namespace

std::string CodeEntry::label() const {
    if (userPicture())
        return {};
    std::string out;
    if (left != 0)
        out += printable(left);
    if (right != 0)
        out += printable(right);
    return out;
}

bool InspectRomImage(std::string_view image, int encode, RomInspection& out, std::string& error) {
    out = RomInspection{};
    if (image.size() != kRomImageSize) {
        error = "the file has " + std::to_string(image.size()) + " bytes; a ROM image has " +
                std::to_string(kRomImageSize);
        return false;
    }
    const Reader rom(image);
    out.masked = encode == 1;
    for (std::size_t i = 0; i < out.cfiStart.size(); ++i)
        out.cfiStart[i] = static_cast<std::uint8_t>(rom.at(i) ^ (out.masked ? kCrc8Table[i] : 0));
    for (std::size_t i = 0; i < out.settings.size(); ++i)
        out.settings[i] = rom.at(kSettingsArea.offset + i);

    out.zones = {{"floor zone", kFloorZone, 0},
                 {"direction zone", kDirectionZone, 0},
                 {"message zone", kMessageZone, 0}};

    std::set<int> userNumbers;
    for (int t = 0; t < 3; ++t) {
        for (int r = 0; r < 256; ++r) {
            CodeEntry e{t, r, rom.at(CodeTableLeftOffset(t, r)),
                        rom.at(CodeTableRightOffset(t, r))};
            if (e.left == 0 && e.right == 0)
                continue;
            if (e.userPicture())
                userNumbers.insert(e.right);
            out.codes.push_back(e);
        }
    }
    for (int c = 0; c < kGlyphCount; ++c) {
        const std::size_t offset = rom.be16(kGlyphIndexArea.offset + 2 * std::size_t(c));
        if (offset == 0)
            continue;
        out.glyphs.push_back(placed(c, 0, offset, kGlyphBytes, kFloorZone));
        noteUse(out.zones[0], out.glyphs.back());
    }
    for (int u : userNumbers) {
        if (u >= kUserPictureSlots) {
            out.userPictures.push_back(placed(u, 0, 0, kUserPictureBytes, kFloorZone));
            continue;
        }
        const std::size_t offset = rom.be16(kUserPictureIndexArea.offset + 2 * std::size_t(u));
        out.userPictures.push_back(placed(u, 0, offset, kUserPictureBytes, kFloorZone));
        noteUse(out.zones[0], out.userPictures.back());
    }
    for (int s = 0; s < kDirectionStyles; ++s) {
        for (int i = 0; i < kDirectionFrames; ++i) {
            const std::size_t offset = rom.be16(DirectionIndexOffset(s, i));
            if (offset == 0)
                continue;
            out.directionFrames.push_back(placed(i, s, offset, kDirectionBytes, kDirectionZone));
            noteUse(out.zones[1], out.directionFrames.back());
        }
    }
    for (int j = 0; j < kMessageCount; ++j) {
        const std::size_t offset = rom.be16(kMessageIndexArea.offset + 2 * std::size_t(j));
        if (offset == 0)
            continue;
        out.messages.push_back(placed(j, 0, offset, kMessageBytes, kMessageZone));
        noteUse(out.zones[2], out.messages.back());
    }
    out.ifiHoldsPattern = true;
    for (std::size_t p = 0; p < kIfiArea.size && out.ifiHoldsPattern; ++p)
        out.ifiHoldsPattern = rom.at(kIfiArea.offset + p) == kCrc8Table[p % 256];
    return true;
}

std::string DescribeRomImage(const RomInspection& r) {
    using YVclUtil::Format;
    const auto& s = r.settings;
    std::string o;
    const auto line = [&](const std::string& text) { o += text + "\n"; };

    line(std::string("ENCODE: ") + (r.masked ? "1 (first 256 bytes unmasked for reading)" : "0") +
         "; IFI area: " + (r.ifiHoldsPattern ? "fill pattern" : "data block"));
    std::string cfi = "CFI block starts:";
    for (std::uint8_t b : r.cfiStart)
        cfi += Format(" %02X", b);
    line(cfi);

    line("Settings:");
    const int side = s[SettingsDisplaySide];
    line(Format("  display side: %d (%s)", side, side == 1 ? "Right" : side == 2 ? "Left" : "?"));
    line(Format("  date and time: %d", s[SettingsDateTime]));
    const int saving = s[SettingsPowerSaving];
    line(Format("  LCD back-light power saving: index %d (%s)", saving,
                saving < Editor::kPowerSavingCount ? Editor::kPowerSavingItems[std::size_t(saving)]
                                                   : "?"));
    line(Format("  customer logo: %s, %d s", s[SettingsLogoEnabled] ? "ON" : "OFF",
                s[SettingsLogoSeconds]));
    std::string id;
    for (int i = 0; i < 4 && s[SettingsIdCode + std::size_t(i)] != 0; ++i)
        id += printable(s[SettingsIdCode + std::size_t(i)]);
    line(Format("  ID code: \"%s\" (%02X %02X %02X %02X)", id.c_str(), s[6], s[7], s[8], s[9]));
    line(Format("  message position: %d", s[SettingsMessagePosition]));
    line(Format("  node address: %d", s[SettingsNodeAddress]));
    line(Format("  direction style: %d", s[SettingsDirectionStyle]));
    line(Format("  message mask: %d", s[SettingsMessageMask]));
    line(Format("  default code table: CTBL%d", s[SettingsDefaultCodeTable]));

    for (int t = 0; t < 3; ++t) {
        line(Format("Code table CTBL%d:", t));
        for (const CodeEntry& e : r.codes) {
            if (e.table != t)
                continue;
            const std::string code = Editor::CodeColumnLabel(e.code);
            if (e.userPicture())
                line("  " + code + " -> user floor picture " + std::to_string(e.right));
            else
                line("  " + code + " -> " + e.label());
        }
    }

    line(Format("Glyphs: %zu", r.glyphs.size()));
    for (const auto& g : r.glyphs)
        line("  " + printable(std::uint8_t(g.number)) + Format(" (%d) ", g.number) + where(g));
    line(Format("User floor pictures: %zu", r.userPictures.size()));
    for (const auto& u : r.userPictures)
        line(Format("  %d ", u.number) + where(u));
    line(Format("Direction frames: %zu", r.directionFrames.size()));
    for (const auto& d : r.directionFrames)
        line(Format("  style %d frame %d ", d.style, d.number) + where(d));
    line(Format("Messages: %zu", r.messages.size()));
    for (const auto& m : r.messages)
        line(Format("  %d ", m.number) + where(m));
    line("Free space:");
    for (const ZoneUse& z : r.zones)
        line(Format("  %s: %zu of %zu bytes free", z.name, z.free(), z.area.size));
    return o;
}

std::vector<std::uint8_t> UnpackPicture(std::string_view data, int packedWidth, int packedHeight,
                                        bool rotated) {
    const std::size_t w = std::size_t(std::max(packedWidth, 0));
    const std::size_t h = std::size_t(std::max(packedHeight, 0));
    std::vector<std::uint8_t> packed(w * h, 0); // the packed picture, row-major
    for (std::size_t band = 0; band < h / 8; ++band)
        for (std::size_t x = 0; x < w; ++x) {
            const std::size_t i = band * w + x;
            const std::uint8_t byte = i < data.size() ? static_cast<std::uint8_t>(data[i]) : 0;
            for (std::size_t k = 0; k < 8; ++k)
                packed[(band * 8 + k) * w + x] = (byte >> k) & 1;
        }
    if (!rotated)
        return packed;
    // Packed (x', y') = source (W - 1 - y', x') with source W = h, H = w.
    const std::size_t sw = h, sh = w;
    std::vector<std::uint8_t> source(sw * sh, 0);
    for (std::size_t y = 0; y < h; ++y)
        for (std::size_t x = 0; x < w; ++x)
            source[x * sw + (sw - 1 - y)] = packed[y * w + x];
    return source;
}

BlackPicture UnpackBlackPicture(std::string_view data, PictureSize size, bool rotated) {
    BlackPicture picture;
    picture.width = size.width;
    picture.height = size.height;
    picture.black = rotated ? UnpackPicture(data, size.height, size.width, true)
                            : UnpackPicture(data, size.width, size.height, false);
    return picture;
}

} // namespace Lift::Rom
