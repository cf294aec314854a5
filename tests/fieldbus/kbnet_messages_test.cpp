#include "fieldbus/kbnet_messages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <string>

using namespace ZebCtrl;

namespace {

// Converts Big5 (code page 950) text to UTF-8 with the C library's converter, an oracle
// independent of the hand-written twins.
std::string big5ToUtf8(const std::string& big5) {
    iconv_t cd = iconv_open("UTF-8", "CP950");
    if (cd == reinterpret_cast<iconv_t>(-1))
        cd = iconv_open("UTF-8", "BIG5");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return "(no Big5 converter)";
    std::string in = big5;
    std::string out(in.size() * 4 + 16, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1))
        return "(invalid Big5 at byte " + std::to_string(in.size() - inLeft) + ")";
    out.resize(out.size() - outLeft);
    return out;
}

struct Twin {
    const char* big5;
    const char* utf8;
};

const Twin kTwins[] = {
    {kKbnBig5_CopyClassDiffers, kKbnUtf8_CopyClassDiffers},
    {kKbnBig5_DeclaredButMissing, kKbnUtf8_DeclaredButMissing},
    {kKbnBig5_PresentButUndeclared, kKbnUtf8_PresentButUndeclared},
};

} // namespace

TEST(KbnMessages, Big5TextsSayWhatTheirUtf8TwinsSayAndAreSafeAsFormatText) {
    for (const Twin& twin : kTwins) {
        EXPECT_EQ(big5ToUtf8(twin.big5), twin.utf8);
        // A trail byte equal to '%' would turn into a conversion when the text is formatted.
        EXPECT_EQ(std::string(twin.big5).find('%'), std::string::npos);
    }
}

TEST(KbnMessages, DisplaySwapsOnlyTheBig5Parts) {
    const std::string raised = std::string("\nErr: ") + kKbnBig5_PresentButUndeclared +
                               "\nComponentName = Net\nFileName = \xE6\x8B\x93.ini\n";
    EXPECT_EQ(KbnTextForDisplay(raised),
              std::string("\nErr: ") + kKbnUtf8_PresentButUndeclared +
                  "\nComponentName = Net\nFileName = \xE6\x8B\x93.ini\n");
    const std::string twice = std::string(kKbnBig5_CopyClassDiffers) + kKbnBig5_CopyClassDiffers;
    EXPECT_EQ(KbnTextForDisplay(twice),
              std::string(kKbnUtf8_CopyClassDiffers) + kKbnUtf8_CopyClassDiffers);
    EXPECT_EQ(KbnTextForDisplay("Invalid value !!!"), "Invalid value !!!");
}
