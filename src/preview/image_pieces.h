#pragma once
// The pieces of the display preview read from a built ROM image, only from what the image
// holds: its settings block, code tables, index tables and packed pictures, the way the
// controller finds them. A preview from the image therefore also checks the image.
//
// The image is outside input: an index entry that is 0 or points outside its zone gives
// no picture and a problem; nothing is read outside the image.

#include "preview/display_preview.h"

#include <cstdint>
#include <string>

namespace Lift::Preview {

class ImagePieces : public PieceSource {
public:
    // `image` must hold Rom::kRomImageSize bytes (check with Rom::InspectRomImage);
    // `rotated` = the pictures were packed turned (DISPHV 1).
    ImagePieces(std::string image, bool rotated);

    SourceSettings settings() const override;
    FloorEntry entry(int table, int code) const override;
    // Labels of one or two characters only: a new user floor picture is not in the image.
    FloorEntry entryOfLabel(const std::string& text) const override;
    std::optional<BlackPicture> glyph(int characterCode, std::string& problem) override;
    std::optional<BlackPicture> userPicture(const FloorEntry& entry, std::string& problem) override;
    std::optional<BlackPicture> directionFrame(int style, int frame, std::string& problem) override;
    std::optional<BlackPicture> message(int index, std::string& problem) override;
    std::optional<BlackPicture> logo(std::string& problem) override;

private:
    std::uint8_t at(std::size_t offset) const { return static_cast<std::uint8_t>(m_image[offset]); }
    // The picture whose offset is in the index entry at `entryOffset`.
    std::optional<BlackPicture> indexed(std::size_t entryOffset, Rom::RomArea zone,
                                        Rom::PictureSize size, const std::string& what,
                                        std::string& problem) const;

    std::string m_image;
    bool m_rotated;
};

} // namespace Lift::Preview
