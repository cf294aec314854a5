#include "program_icon.h"

#include "arrows.h"
#include "floor_glyphs.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

namespace MakeDataset {

QByteArray RenderProgramIcon(const Fonts& fonts, int size) {
    // The screen as the controller shows it: arrow above a two-digit floor number.
    constexpr int kGlyphWidth = 32, kGlyphHeight = 64, kGap = 8;
    Bitmap screen(2 * kGlyphWidth, kArrowSize + kGap + kGlyphHeight);
    screen.drawOver(RenderArrow(), (screen.width - kArrowSize) / 2, 0);
    for (int i = 0; i < 2; ++i)
        screen.drawOver(RenderFloorGlyph(fonts, 0, "12"[i], kGlyphWidth, kGlyphHeight),
                        i * kGlyphWidth, kArrowSize + kGap);
    QImage lit(screen.width, screen.height, QImage::Format_ARGB32);
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x)
            lit.setPixel(x, y, screen.at(x, y) ? 0xFF1A2418u : 0x00000000u);

    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const double u = size / 16.0;
    p.setBrush(QColor(0x2B, 0x30, 0x38)); // the indicator's bezel
    p.drawRoundedRect(QRectF(3 * u, 0.5 * u, 10 * u, 15 * u), 1.2 * u, 1.2 * u);
    p.setBrush(QColor(0xD6, 0xE6, 0xCC)); // its LCD
    p.drawRoundedRect(QRectF(4 * u, 1.5 * u, 8 * u, 13 * u), 0.4 * u, 0.4 * u);
    const double height = 12 * u;
    const double width = height * screen.width / screen.height;
    // Large sizes keep the display's pixels square and sharp; small ones are smoothed.
    p.setRenderHint(QPainter::SmoothPixmapTransform, size < 128);
    p.drawImage(QRectF(8 * u - width / 2, 2 * u, width, height), lit);
    p.end();

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!icon.save(&buffer, "PNG"))
        return {};
    return png;
}

} // namespace MakeDataset
