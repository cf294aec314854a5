// Feeds arbitrary bytes to the ROM image reader of `inspect`: the bytes as they are (mostly
// refused for their size), then padded or cut to an image's size so every index, offset and
// label is read, described and unpacked, a few screens are previewed from it, and it is
// compared as `diff` compares images.

#include "rom/rom_inspect.h"
#include "commissioning/compare.h"
#include "preview/image_pieces.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Lift::Rom::RomInspection r;
    std::string error;
    const int encode = size > 0 ? data[0] & 1 : 0;
    if (Lift::Rom::InspectRomImage(bytes, encode, r, error))
        (void)Lift::Rom::DescribeRomImage(r);

    std::string image(bytes.substr(0, Lift::Rom::kRomImageSize));
    // Short inputs land in the index tables and code tables, where the decoding happens.
    if (image.size() < Lift::Rom::kRomImageSize) {
        std::string padded(Lift::Rom::kRomImageSize, '\0');
        const std::size_t head = std::min<std::size_t>(image.size(), 8000);
        std::copy_n(image.begin(), head, padded.begin() + Lift::Rom::kCodeTableArea.offset);
        if (image.size() > head)
            std::copy_n(image.begin() + head, std::min<std::size_t>(image.size() - head, 1024),
                        padded.begin() + Lift::Rom::kGlyphIndexArea.offset);
        image = std::move(padded);
    }
    if (!Lift::Rom::InspectRomImage(image, encode, r, error))
        __builtin_trap(); // the right size is always accepted
    const std::string text = Lift::Rom::DescribeRomImage(r);
    // A few pictures of each zone are enough to reach every unpacking path; all of them
    // would make each run slow.
    for (const auto& group : {r.glyphs, r.userPictures, r.directionFrames, r.messages})
        for (std::size_t i = 0; i < group.size() && i < 3; ++i)
            if (group[i].insideZone)
                (void)Lift::Rom::UnpackPicture(
                    std::string_view(image).substr(group[i].offset, group[i].size), 64,
                    int(group[i].size * 8 / 64), encode == 1);
    (void)Lift::Rom::UnpackPicture(bytes, 48, 48, encode == 1);

    Lift::Preview::ImagePieces pieces(image, encode == 1);
    for (std::size_t i = 0; i <= r.codes.size() && i < 4; ++i) {
        Lift::Preview::ScreenState state;
        if (i < r.codes.size()) {
            state.table = r.codes[i].table;
            state.code = r.codes[i].code;
        }
        state.travelling = true;
        state.liftState = int(i * 3 % 10);
        state.logo = i == 3;
        state.step = int(i) * 13;
        (void)Lift::Preview::PreviewScreen(pieces, state);
    }

    // Another version of the image: a setting, a label and the glyphs changed.
    std::string other = image;
    std::fill_n(other.begin() + Lift::Rom::kGlyphIndexArea.offset, Lift::Rom::kGlyphIndexArea.size,
                '\0');
    other[Lift::Rom::kSettingsArea.offset + Lift::Rom::SettingsNodeAddress] ^= 1;
    other[Lift::Rom::CodeTableRightOffset(0, encode)] ^= 1;
    std::vector<std::string> lines;
    if (!Lift::Commissioning::CompareRomImages(image, other, lines, error) ||
        std::none_of(lines.begin(), lines.end(), [](const std::string& line) {
            return line.starts_with("setting Node Address: ");
        }))
        __builtin_trap(); // the changed setting is always told
    return text.empty() ? 1 : 0;
}
