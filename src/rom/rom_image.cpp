#include "rom/rom_image.h"

#include "editor/display_project.h"
#include "editor/text_rules.h"
#include "util/crc8.h"

#include <algorithm>
#include <cstring>

namespace Lift::Rom {

namespace {

using Util::kCrc8Table;

class Image {
public:
    Image() : m_bytes(kRomImageSize, '\0') {}

    void fillPattern(RomArea area) {
        for (std::size_t p = 0; p < area.size; ++p)
            put(area.offset + p, FillPatternByte(p));
    }
    void fillZero(RomArea area) { std::memset(m_bytes.data() + area.offset, 0, area.size); }
    void put(std::size_t at, std::uint8_t v) { m_bytes[at] = static_cast<char>(v); }
    void putOffset(std::size_t at, std::size_t offset) {
        put(at, static_cast<std::uint8_t>(offset >> 8));
        put(at + 1, static_cast<std::uint8_t>(offset & 0xFF));
    }
    // Copies as much of `data` as fits between `at` and the end of `area`.
    void copyInto(RomArea area, std::size_t at, std::string_view data) {
        if (at >= area.end())
            return;
        const std::size_t n = std::min(data.size(), area.end() - at);
        if (n == 0)
            return; // an empty view may carry a null pointer, which memcpy must not get
        std::memcpy(m_bytes.data() + at, data.data(), n);
    }
    std::string take() { return std::move(m_bytes); }

private:
    std::string m_bytes;
};

// Places pictures one after the other from the start of a zone without an overflow rule of
// its own: what runs past the end is cut, what starts past it is left out.
class CuttingZone {
public:
    CuttingZone(Image& image, RomArea area) : m_image(image), m_area(area), m_pos(area.offset) {}
    // Start offset of the placed picture, 0 when it did not start inside the zone.
    std::size_t place(std::string_view data) {
        const std::size_t start = m_pos;
        m_pos += data.size();
        if (start >= m_area.end())
            return 0;
        m_image.copyInto(m_area, start, data);
        return start;
    }
    std::size_t used() const { return m_pos - m_area.offset; }

private:
    Image& m_image;
    RomArea m_area;
    std::size_t m_pos;
};

template <typename Optional> std::size_t sizeOf(const Optional& o) {
    return o ? o->size() : 0;
}

} // namespace

std::uint8_t FillPatternByte(std::size_t p) {
    return kCrc8Table[p % 256];
}

std::optional<CodeBytes> LabelCodeBytes(std::string_view label) {
    const auto code = [](char c) { return static_cast<std::uint8_t>(c); };
    switch (label.size()) {
    case 0:
        return CodeBytes{};
    case 1:
        return CodeBytes{0, code(label[0])};
    case 2:
        // A leading "0" is no character of its own: 05 shows like 5.
        if (label[0] == '0')
            return CodeBytes{0, code(label[1])};
        return CodeBytes{code(label[0]), code(label[1])};
    default:
        return std::nullopt;
    }
}

SettingsBlock MakeSettingsBlock(const Editor::DisplayProject& project) {
    const auto low = [](int v) { return static_cast<std::uint8_t>(v & 0xFF); };
    SettingsBlock s{};
    s[SettingsDisplaySide] = low(project.displaySide);
    s[SettingsDateTime] = low(project.dateTimeEnabled);
    s[SettingsPowerSaving] = low(project.powerSavingIndex);
    s[SettingsLogoSeconds] = low(project.logoSecondsIndex + 1);
    s[SettingsLogoEnabled] = project.logoEnabled ? 1 : 0;
    const std::string id = Editor::Trimmed(project.idCode);
    for (std::size_t i = 0; i < 4 && i < id.size(); ++i)
        s[SettingsIdCode + i] = static_cast<std::uint8_t>(id[i]);
    s[SettingsMessagePosition] = low(project.messagePosition);
    s[SettingsNodeAddress] = low(project.nodeAddress);
    s[SettingsDirectionStyle] = low(project.directionStyle);
    s[SettingsMessageMask] = low(project.messageMask);
    s[SettingsDefaultCodeTable] = low(project.defaultCodeTable);
    return s;
}

RomBuildReport MeasureFloorZone(const RomContent& content) {
    RomBuildReport r;
    for (const auto& g : content.glyphs)
        r.glyphBytes += sizeOf(g);
    r.floorBytes = r.glyphBytes;
    for (const auto& u : content.userPictures)
        r.floorBytes += u.size();
    r.floorOverflow = r.floorBytes > kFloorZone.size ||
                      content.userPictures.size() > static_cast<std::size_t>(kUserPictureSlots);
    return r;
}

std::string BuildRomImage(const RomContent& content, RomBuildReport* report) {
    Image image;
    RomBuildReport r = MeasureFloorZone(content);

    // Start state: patterns and table copies everywhere, zeros where pictures and their
    // indexes go.
    for (RomArea a : {kCfiArea, kLogoArea, kSmallPictureArea, kReservedArea, kFloorZone, kIfiArea,
                      kPicture040Area})
        image.fillPattern(a);
    for (RomArea a : {kCrcTableArea, kGlyphIndexArea, kUserPictureIndexArea, kSpareIndexArea0,
                      kSpareIndexArea1})
        image.fillPattern(a); // each starts on a multiple of 256: the table itself
    for (RomArea a : {kMessageIndexArea, kMessageZone, kDirectionIndexArea, kDirectionZone})
        image.fillZero(a);

    // Floor zone: glyphs in character order, then user pictures by number; a picture that
    // would not end inside the zone is left out (the report marks the zone as overflowing).
    std::size_t pos = kFloorZone.offset;
    const auto fitsFloor = [&](std::size_t n) { return pos + n <= kFloorZone.end(); };
    for (int c = 0; c < kGlyphCount; ++c) {
        const auto& glyph = content.glyphs[static_cast<std::size_t>(c)];
        std::size_t entry = 0;
        if (glyph) {
            if (fitsFloor(glyph->size())) {
                image.copyInto(kFloorZone, pos, *glyph);
                entry = pos;
            }
            pos += glyph->size();
        }
        image.putOffset(kGlyphIndexArea.offset + 2 * static_cast<std::size_t>(c), entry);
    }
    for (std::size_t u = 0; u < content.userPictures.size(); ++u) {
        const std::string& picture = content.userPictures[u];
        if (u < static_cast<std::size_t>(kUserPictureSlots) && fitsFloor(picture.size())) {
            image.copyInto(kFloorZone, pos, picture);
            image.putOffset(kUserPictureIndexArea.offset + 2 * u, pos);
        }
        pos += picture.size();
    }

    CuttingZone directions(image, kDirectionZone);
    for (int s = 0; s < kDirectionStyles; ++s) {
        for (int i = 0; i < kDirectionFrames; ++i) {
            const auto& frame =
                content.directionFrames[static_cast<std::size_t>(s)][static_cast<std::size_t>(i)];
            image.putOffset(DirectionIndexOffset(s, i), frame ? directions.place(*frame) : 0);
        }
    }
    r.directionBytes = directions.used();

    CuttingZone messages(image, kMessageZone);
    for (int j = 0; j < kMessageCount; ++j) {
        const auto& message = content.messages[static_cast<std::size_t>(j)];
        image.putOffset(kMessageIndexArea.offset + 2 * static_cast<std::size_t>(j),
                        message ? messages.place(*message) : 0);
    }
    r.messageBytes = messages.used();

    for (std::size_t i = 0; i < content.settings.size(); ++i)
        image.put(kSettingsArea.offset + i, content.settings[i]);
    for (int t = 0; t < 3; ++t) {
        for (int code = 0; code < 256; ++code) {
            const CodeBytes b =
                content.codeTables[static_cast<std::size_t>(t)][static_cast<std::size_t>(code)];
            image.put(CodeTableLeftOffset(t, code), b.left);
            image.put(CodeTableRightOffset(t, code), b.right);
        }
    }

    image.copyInto(kCfiArea, kCfiArea.offset, content.cfiItem);
    if (content.encode == 0)
        image.copyInto(kIfiArea, kIfiArea.offset, content.ifiItem);
    image.copyInto(kPicture040Area, kPicture040Area.offset, content.picture040);
    if (content.logo)
        image.copyInto(kLogoArea, kLogoArea.offset, *content.logo);
    CuttingZone small(image, kSmallPictureArea);
    for (const std::string& p : content.smallPictures)
        small.place(p);
    r.smallPictureBytes = small.used();

    std::string bytes = image.take();
    if (content.encode == 1) {
        for (std::size_t i = 0; i < 256; ++i)
            bytes[i] = static_cast<char>(static_cast<std::uint8_t>(bytes[i]) ^ kCrc8Table[i]);
    }
    if (report)
        *report = r;
    return bytes;
}

} // namespace Lift::Rom
