#pragma once
// The font files the pictures are drawn with, loaded by path from the Debian packages
// fonts-dejavu-core and fonts-wqy-zenhei. Loading by path (and never letting Qt substitute
// another font) keeps the output independent of the machine's font configuration.

#include <QRawFont>
#include <QString>

#include <string>

namespace MakeDataset {

struct Fonts {
    QRawFont sansBold;      // outlines for the bold floor style
    QRawFont sansCondensed; // outlines for the narrow floor style (regular weight: open counters
                            // when narrow)
    QString cjkFamily;      // the bitmap-hinted CJK face, for 16-pixel Chinese messages
    QString uiFamily;       // labels of the contact sheet
};

// False with a reason naming the missing file when a font cannot be loaded.
bool LoadFonts(Fonts& fonts, std::string* error);

} // namespace MakeDataset
