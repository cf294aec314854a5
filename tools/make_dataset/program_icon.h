#pragma once
// The editor's icon for the desktop menu: a floor indicator showing an up arrow over a
// floor number, drawn from the data set's own arrow and glyphs.

#include "fonts.h"

#include <QByteArray>

namespace MakeDataset {

// The icon as PNG bytes, `size` pixels square.
QByteArray RenderProgramIcon(const Fonts& fonts, int size);

} // namespace MakeDataset
