#include "other_pictures.h"

#include "arrows.h"
#include "floor_glyphs.h"
#include "pixel_font.h"

namespace MakeDataset {

Bitmap RenderLayoutPicture(const Fonts& fonts, int position) {
    Bitmap out(64, 128);
    const int messageTop = position == 0 ? 0 : position == 1 ? 48 : 112;
    const int arrowTop = position == 0 ? 16 : 0;
    const int numberTop = position == 2 ? 48 : 64;
    out.drawOver(RenderArrow(), 8, arrowTop);
    out.drawOver(RenderFloorLabel(fonts, 0, "12", 64, 64), 0, numberTop);
    // The message line, drawn as an inverted bar so it stands out from arrow and number.
    out.fillRect(0, messageTop, 64, 16);
    const Bitmap text = RenderPixelText("MESSAGE", 1, 1);
    for (int y = 0; y < text.height; ++y)
        for (int x = 0; x < text.width; ++x)
            if (text.at(x, y))
                out.set((64 - text.width) / 2 + x, messageTop + 4 + y, false);
    return out;
}

Bitmap RenderStartupPicture() {
    Bitmap out(64, 32);
    // A frame with the controller's name, shown while it starts.
    out.fillRect(0, 0, 64, 1);
    out.fillRect(0, 31, 64, 1);
    out.fillRect(0, 0, 1, 32);
    out.fillRect(63, 0, 1, 32);
    const Bitmap top = RenderPixelText("PRM-620", 1, 1);
    const Bitmap bottom = RenderPixelText("BX7 LCD", 1, 1);
    out.drawOver(top, (64 - top.width) / 2, 6);
    out.drawOver(bottom, (64 - bottom.width) / 2, 18);
    return out;
}

char SmallPictureCharacter(int index) {
    static const char chars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ:/-";
    static_assert(sizeof(chars) - 1 == kSmallPictureCount);
    return index >= 0 && index < kSmallPictureCount ? chars[index] : ' ';
}

Bitmap RenderSmallPicture(int index) {
    Bitmap out(8, 8);
    const char c = SmallPictureCharacter(index);
    for (int y = 0; y < kPixelFontHeight; ++y)
        for (int x = 0; x < kPixelFontWidth; ++x)
            out.set(1 + x, y, PixelFontDot(c, x, y));
    return out;
}

Bitmap RenderDemoLogo() {
    Bitmap out(64, 64);
    // Two towers over the water line, the building's name below.
    out.fillRect(14, 6, 14, 36);
    out.fillRect(32, 14, 18, 28);
    out.fillRect(20, 2, 2, 4); // mast
    for (int y = 10; y < 40; y += 5)
        for (int x = 16; x < 26; x += 4)
            out.fillRect(x, y, 2, 3, false);
    for (int y = 18; y < 40; y += 5)
        for (int x = 35; x < 48; x += 4)
            out.fillRect(x, y, 2, 3, false);
    for (int x = 4; x < 60; ++x) // waves
        out.set(x, 45 + ((x / 3) % 2));
    const Bitmap name = RenderPixelText("HARBOUR", 1, 1);
    const Bitmap tower = RenderPixelText("TOWER", 1, 1);
    out.drawOver(name, (64 - name.width) / 2, 48);
    out.drawOver(tower, (64 - tower.width) / 2, 57);
    return out;
}

} // namespace MakeDataset
