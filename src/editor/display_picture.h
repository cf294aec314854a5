#pragma once
// Pictures for the window's picture boxes: a BMP file decoded for display.
//
// The file goes through the same structural check as the pictures MAKE ROM packs, so a
// damaged file is refused with a reason instead of being shown with guessed pixels.
// QtGui only; callable from any thread.
#include <QImage>
#include <string>

namespace Lift::Editor {

// Reads and decodes the BMP file at `path`. On failure returns false, leaves `out` as it
// was, and `error` is one line naming the file and what is wrong with it.
bool LoadDisplayPicture(const std::string& path, QImage& out, std::string& error);

} // namespace Lift::Editor
