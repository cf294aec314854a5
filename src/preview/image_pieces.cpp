#include "preview/image_pieces.h"

#include "editor/text_rules.h"
#include "rom/rom_inspect.h"
#include "util/standalone_function.h"

namespace Lift::Preview {

using YVclUtil::Format;

ImagePieces::ImagePieces(std::string image, bool rotated)
    : m_image(std::move(image)), m_rotated(rotated) {
    m_image.resize(Rom::kRomImageSize, '\0'); // a precondition; never read past the image
}

SourceSettings ImagePieces::settings() const {
    const auto setting = [&](std::size_t byte) { return at(Rom::kSettingsArea.offset + byte); };
    SourceSettings s;
    s.messagePosition = setting(Rom::SettingsMessagePosition);
    s.messageMask = setting(Rom::SettingsMessageMask);
    s.directionStyle = setting(Rom::SettingsDirectionStyle);
    s.logoEnabled = setting(Rom::SettingsLogoEnabled) != 0;
    s.defaultCodeTable = setting(Rom::SettingsDefaultCodeTable);
    return s;
}

FloorEntry ImagePieces::entry(int table, int code) const {
    FloorEntry e;
    if (table < 0 || table >= 3 || code < 0 || code >= 256)
        return e;
    const Rom::CodeEntry stored{table, code, at(Rom::CodeTableLeftOffset(table, code)),
                                at(Rom::CodeTableRightOffset(table, code))};
    e.bytes = {stored.left, stored.right};
    e.label = stored.userPicture() ? Format("user floor picture %d", stored.right)
                                   : stored.label();
    return e;
}

FloorEntry ImagePieces::entryOfLabel(const std::string& text) const {
    FloorEntry e;
    e.label = Editor::UpperCased(Editor::Trimmed(text));
    if (const auto bytes = Rom::LabelCodeBytes(e.label))
        e.bytes = *bytes;
    else
        e.problem = "the image holds no user floor picture for the label " + e.label;
    return e;
}

std::optional<BlackPicture> ImagePieces::indexed(std::size_t entryOffset, Rom::RomArea zone,
                                                 Rom::PictureSize size, const std::string& what,
                                                 std::string& problem) const {
    const std::size_t offset = (std::size_t(at(entryOffset)) << 8) | at(entryOffset + 1);
    if (offset == 0) {
        problem = "the image has no " + what;
        return std::nullopt;
    }
    if (offset < zone.offset || offset + size.packedBytes() > zone.end()) {
        problem = "the " + what + Format(" lies outside its zone (at 0x%04zX)", offset);
        return std::nullopt;
    }
    return Rom::UnpackBlackPicture(std::string_view(m_image).substr(offset, size.packedBytes()),
                                   size, m_rotated);
}

std::optional<BlackPicture> ImagePieces::glyph(int characterCode, std::string& problem) {
    const std::string what = "glyph of " + CharacterName(characterCode);
    if (characterCode < 0 || characterCode >= Rom::kGlyphCount) {
        problem = "no " + what + ": glyphs exist for character codes 0..127 only";
        return std::nullopt;
    }
    return indexed(Rom::kGlyphIndexArea.offset + 2 * std::size_t(characterCode), Rom::kFloorZone,
                   Rom::kGlyphSize, what, problem);
}

std::optional<BlackPicture> ImagePieces::userPicture(const FloorEntry& entry,
                                                     std::string& problem) {
    const int number = entry.bytes.right;
    const std::string what = Format("user floor picture %d", number);
    if (number >= Rom::kUserPictureSlots) {
        problem = "no " + what + ": the index has 128 entries";
        return std::nullopt;
    }
    return indexed(Rom::kUserPictureIndexArea.offset + 2 * std::size_t(number), Rom::kFloorZone,
                   Rom::kUserPictureSize, what, problem);
}

std::optional<BlackPicture> ImagePieces::directionFrame(int style, int frame,
                                                        std::string& problem) {
    const std::string what = Format("frame %d of DIR style %d", frame, style);
    if (style < 0 || style >= Rom::kDirectionStyles || frame < 0 ||
        frame >= Rom::kDirectionFrames) {
        problem = "no " + what + ": styles are 0..4, frames 0..11";
        return std::nullopt;
    }
    return indexed(Rom::DirectionIndexOffset(style, frame), Rom::kDirectionZone,
                   Rom::kDirectionSize, what, problem);
}

std::optional<BlackPicture> ImagePieces::message(int index, std::string& problem) {
    const std::string what = Format("message at index entry %d", index);
    if (index < 0 || index >= Rom::kMessageCount) {
        problem = "no " + what;
        return std::nullopt;
    }
    return indexed(Rom::kMessageIndexArea.offset + 2 * std::size_t(index), Rom::kMessageZone,
                   Rom::kMessageSize, what, problem);
}

std::optional<BlackPicture> ImagePieces::logo(std::string& problem) {
    bool pattern = true;
    for (std::size_t p = 0; p < Rom::kLogoArea.size && pattern; ++p)
        pattern = at(Rom::kLogoArea.offset + p) == Rom::FillPatternByte(p);
    if (pattern)
        problem = "the customer logo is ON but the image holds no logo: the indicator shows "
                  "the logo area's fill pattern";
    return Rom::UnpackBlackPicture(
        std::string_view(m_image).substr(Rom::kLogoArea.offset, Rom::kLogoArea.size),
        Rom::kLogoSize, m_rotated);
}

} // namespace Lift::Preview
