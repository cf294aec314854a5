#pragma once
// One PNG showing every picture of the data set at twice its size, in titled sections,
// on a grey ground so that white pictures show their edges.

#include "bitmap.h"
#include "fonts.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace MakeDataset {

struct SheetItem {
    Bitmap picture;
    QString caption;
};

struct SheetSection {
    QString title;
    int columns = 1;
    std::vector<SheetItem> items;
};

// The sheet as PNG bytes.
QByteArray RenderContactSheet(const Fonts& fonts, const std::vector<SheetSection>& sections);

} // namespace MakeDataset
