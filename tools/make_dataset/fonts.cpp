#include "fonts.h"

#include <QFile>
#include <QFontDatabase>

namespace MakeDataset {

namespace {

const char* const kDejaVuDir = "/usr/share/fonts/truetype/dejavu/";
const char* const kCjkFile = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc";
// The face of the collection whose embedded 16-pixel bitmaps give one-pixel strokes; the
// outline faces blur complex characters at this size.
const char* const kCjkFace = "WenQuanYi Zen Hei Sharp";

bool loadRaw(QRawFont& font, const QString& path, std::string* error) {
    font = QRawFont(path, 100.0, QFont::PreferNoHinting);
    if (!font.isValid()) {
        if (error)
            *error = "cannot load the font " + path.toStdString() +
                     " (install the Debian package fonts-dejavu-core)";
        return false;
    }
    return true;
}

} // namespace

bool LoadFonts(Fonts& fonts, std::string* error) {
    const QString dejavu = QString::fromLatin1(kDejaVuDir);
    if (!loadRaw(fonts.sansBold, dejavu + "DejaVuSans-Bold.ttf", error) ||
        !loadRaw(fonts.sansCondensed, dejavu + "DejaVuSansCondensed.ttf", error))
        return false;

    const int cjk = QFontDatabase::addApplicationFont(QString::fromLatin1(kCjkFile));
    if (cjk < 0 || !QFontDatabase::applicationFontFamilies(cjk).contains(kCjkFace)) {
        if (error)
            *error = std::string("cannot load the font ") + kCjkFile + " (face " + kCjkFace +
                     "; install the Debian package fonts-wqy-zenhei)";
        return false;
    }
    fonts.cjkFamily = QString::fromLatin1(kCjkFace);

    const int ui = QFontDatabase::addApplicationFont(dejavu + "DejaVuSans.ttf");
    if (ui < 0 || QFontDatabase::applicationFontFamilies(ui).isEmpty()) {
        if (error)
            *error = "cannot load the font " + (dejavu + "DejaVuSans.ttf").toStdString();
        return false;
    }
    fonts.uiFamily = QFontDatabase::applicationFontFamilies(ui).first();
    return true;
}

} // namespace MakeDataset
