#include "fieldbus/kbnet_messages.h"

#include <array>
#include <utility>

namespace ZebCtrl {

std::string KbnTextForDisplay(std::string_view message) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kTwins{{
        {kKbnBig5_CopyClassDiffers, kKbnUtf8_CopyClassDiffers},
        {kKbnBig5_DeclaredButMissing, kKbnUtf8_DeclaredButMissing},
        {kKbnBig5_PresentButUndeclared, kKbnUtf8_PresentButUndeclared},
    }};
    std::string out(message);
    for (const auto& [big5, utf8] : kTwins) {
        for (std::size_t at = out.find(big5); at != std::string::npos;
             at = out.find(big5, at + utf8.size()))
            out.replace(at, big5.size(), utf8);
    }
    return out;
}

} // namespace ZebCtrl
