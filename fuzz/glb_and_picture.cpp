// Arbitrary bytes as a GLB library (directory lookup, ExtractGlbItem, then the extracted
// picture packed from its file as MAKE ROM does) and as a BMP picture (decode, pack both
// ways). Traps when a result contradicts the contract, not only on memory errors.
#include "editor/extract_glb_item.h"
#include "editor/glb_library.h"
#include "rom/bmp_layout.h"
#include "rom/pack_picture.h"
#include "util/atomic_file.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

const std::string& workDir() {
    static const std::string dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-glb-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    return dir;
}

void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

void packBothWays(std::string_view bmp) {
    Lift::Rom::BlackPicture picture;
    std::string reason;
    if (!Lift::Rom::DecodeBlackPicture(bmp, picture, reason)) {
        check(!reason.empty() && picture.black.empty());
        return;
    }
    check(picture.width >= 1 && picture.height >= 1 &&
          picture.width <= Lift::Rom::kMaxPictureSide &&
          picture.height <= Lift::Rom::kMaxPictureSide &&
          picture.black.size() == std::size_t(picture.width) * std::size_t(picture.height));
    for (bool rotated : {false, true}) {
        const std::string packed = Lift::Rom::PackBlackPicture(picture, rotated);
        const unsigned w =
            static_cast<unsigned char>(packed[0]) | static_cast<unsigned char>(packed[1]) << 8;
        const unsigned h =
            static_cast<unsigned char>(packed[2]) | static_cast<unsigned char>(packed[3]) << 8;
        check(w == unsigned(rotated ? picture.height : picture.width));
        check(h == unsigned(rotated ? picture.width : picture.height));
        check(packed.size() == 4 + std::size_t{w} * h / 8);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    packBothWays(bytes);

    // As a library: every present item must lie inside the data; the first few are
    // decoded, and the first one goes the whole way through the temporary file.
    const Lift::Editor::GlbLibrary glb{std::string(bytes)};
    int found = 0;
    // Entries past the end of the data are absent (the unit tests pin that): skip them.
    const std::size_t entries = size < 8 ? 0 : (size - 8) / 8;
    for (int group = 0; group < Lift::Editor::kGlbGroupCount && found < 4; ++group) {
        for (int number = 0; number < Lift::Editor::kGlbItemsPerGroup && found < 4; ++number) {
            if (std::size_t(group) * 256 + std::size_t(number) >= entries)
                break;
            const auto item = glb.item(group, number);
            if (!item)
                continue;
            check(!item->empty() && item->data() >= glb.bytes().data() &&
                  item->data() + item->size() <= glb.bytes().data() + glb.bytes().size());
            packBothWays(*item);
            // The file round trip (each write is flushed to disk) is slow: one input in 16.
            if (found++ != 0 || item->size() % 16 != 0)
                continue;
            std::string error;
            const std::string name =
                Lift::Editor::ExtractGlbItem(glb, workDir(), group, number, &error);
            check(!name.empty() && error.empty());
            std::string written;
            check(Lift::Util::ReadWholeFile(name, written) && written == *item);
            const std::string target = workDir() + "/packed";
            std::string fromFile, fromMemory, reason;
            if (Lift::Rom::PackPicture(name, target, 1, error)) {
                check(Lift::Util::ReadWholeFile(target, fromFile));
                check(Lift::Rom::PackPictureBytes(*item, true, fromMemory, reason));
                check(fromFile == fromMemory);
            } else {
                check(!error.empty());
            }
        }
    }
    if (found == 0) {
        std::string error;
        check(Lift::Editor::ExtractGlbItem(glb, workDir(), 0, 0, &error).empty());
        check(!std::filesystem::exists(workDir() + "/ZEB_TEMPBMP.BMP"));
    }
    return 0;
}
