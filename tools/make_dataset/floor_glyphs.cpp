#include "floor_glyphs.h"

#include "pixel_font.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace MakeDataset {

const char kFloorCharacters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-";

const char* FloorStyleName(int style) {
    static const char* const names[] = {"bold", "narrow", "segment", "dot matrix"};
    return style >= 0 && style < kFloorStyleCount ? names[style] : "?";
}

namespace {

// ---- Outline fonts --------------------------------------------------------------------

QPainterPath outline(const QRawFont& font, char c) {
    const QList<quint32> glyphs = font.glyphIndexesForString(QString(QChar::fromLatin1(c)));
    return glyphs.isEmpty() ? QPainterPath() : font.pathForGlyph(glyphs.first());
}

// Horizontal scale that makes the widest digit exactly `boxWidth` wide when the cap
// height is scaled to `capPixels`; all characters of a style share it so strokes match.
double styleSqueeze(const QRawFont& font, double capPixels, double boxWidth) {
    const double s = capPixels / font.capHeight();
    double widest = 0;
    for (char c = '0'; c <= '9'; ++c)
        widest = std::max(widest, outline(font, c).boundingRect().width() * s);
    return std::min(1.0, boxWidth / widest);
}

Bitmap outlineGlyph(const QRawFont& font, char c, int w, int h, double sideMargin) {
    const double top = h * 0.08, baseline = h * 0.92;
    const double cap = baseline - top;
    const double boxWidth = w - 2 * sideMargin;
    const QPainterPath path = outline(font, c);
    const QRectF ink = path.boundingRect();
    double sy = cap / font.capHeight();
    // Letters that would reach below the cell (J, Q) are made shorter so that they keep
    // the cap line and still end inside it.
    const bool tooLow = ink.bottom() * sy > h - 1 - baseline;
    if (tooLow)
        sy = (h - 1 - top) / (ink.bottom() - ink.top());
    const double shownBaseline = top - ink.top() * sy;
    double sx = cap / font.capHeight() * styleSqueeze(font, cap, boxWidth);
    if (ink.width() * sx > boxWidth) // M, W: narrower still, never wider than the cell
        sx = boxWidth / ink.width();

    QImage canvas = Canvas(w, h);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    QTransform t;
    t.translate(w / 2.0 - ink.center().x() * sx, tooLow ? shownBaseline : baseline);
    t.scale(sx, sy);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(t.map(path));
    p.end();
    return Threshold(canvas);
}

// ---- Segment display ------------------------------------------------------------------

enum Segment : unsigned {
    SegA = 1u << 0,   // top
    SegB = 1u << 1,   // upper right
    SegC = 1u << 2,   // lower right
    SegD = 1u << 3,   // bottom
    SegE = 1u << 4,   // lower left
    SegF = 1u << 5,   // upper left
    SegG1 = 1u << 6,  // middle, left half
    SegG2 = 1u << 7,  // middle, right half
    SegUL = 1u << 8,  // diagonal, upper left corner to centre
    SegUC = 1u << 9,  // vertical, upper centre
    SegUR = 1u << 10, // diagonal, upper right corner to centre
    SegLL = 1u << 11, // diagonal, centre to lower left corner
    SegLC = 1u << 12, // vertical, lower centre
    SegLR = 1u << 13, // diagonal, centre to lower right corner
};
constexpr unsigned SegG = SegG1 | SegG2;

// Digits as on a seven-segment display; letters need the diagonal and centre segments of
// a fourteen-segment display to be told apart.
unsigned segmentsOf(char c) {
    switch (c) {
    case '0':
        return SegA | SegB | SegC | SegD | SegE | SegF;
    case '1':
        return SegB | SegC;
    case '2':
        return SegA | SegB | SegG | SegE | SegD;
    case '3':
        return SegA | SegB | SegG | SegC | SegD;
    case '4':
        return SegF | SegG | SegB | SegC;
    case '5':
        return SegA | SegF | SegG | SegC | SegD;
    case '6':
        return SegA | SegF | SegG | SegE | SegC | SegD;
    case '7':
        return SegA | SegB | SegC;
    case '8':
        return SegA | SegB | SegC | SegD | SegE | SegF | SegG;
    case '9':
        return SegA | SegB | SegC | SegD | SegF | SegG;
    case '-':
        return SegG;
    case 'A':
        return SegA | SegB | SegC | SegE | SegF | SegG;
    case 'B':
        return SegA | SegB | SegC | SegD | SegG2 | SegUC | SegLC;
    case 'C':
        return SegA | SegD | SegE | SegF;
    case 'D':
        return SegA | SegB | SegC | SegD | SegUC | SegLC;
    case 'E':
        return SegA | SegD | SegE | SegF | SegG1;
    case 'F':
        return SegA | SegE | SegF | SegG1;
    case 'G':
        return SegA | SegC | SegD | SegE | SegF | SegG2;
    case 'H':
        return SegB | SegC | SegE | SegF | SegG;
    case 'I':
        return SegA | SegD | SegUC | SegLC;
    case 'J':
        return SegB | SegC | SegD | SegE;
    case 'K':
        return SegE | SegF | SegG1 | SegUR | SegLR;
    case 'L':
        return SegD | SegE | SegF;
    case 'M':
        return SegB | SegC | SegE | SegF | SegUL | SegUR;
    case 'N':
        return SegB | SegC | SegE | SegF | SegUL | SegLR;
    case 'O':
        return SegA | SegB | SegC | SegD | SegE | SegF;
    case 'P':
        return SegA | SegB | SegE | SegF | SegG;
    case 'Q':
        return SegA | SegB | SegC | SegD | SegE | SegF | SegLR;
    case 'R':
        return SegA | SegB | SegE | SegF | SegG | SegLR;
    case 'S':
        return SegA | SegF | SegG | SegC | SegD;
    case 'T':
        return SegA | SegUC | SegLC;
    case 'U':
        return SegB | SegC | SegD | SegE | SegF;
    case 'V':
        return SegE | SegF | SegLL | SegUR;
    case 'W':
        return SegB | SegC | SegE | SegF | SegLL | SegLR;
    case 'X':
        return SegUL | SegUR | SegLL | SegLR;
    case 'Y':
        return SegUL | SegUR | SegLC;
    case 'Z':
        return SegA | SegD | SegUR | SegLL;
    default:
        return 0;
    }
}

// Letters as a plain seven-segment display shows them (b, d, n, o, r, t, y in their
// lower-case forms). Used where the cell is too narrow for diagonal segments; letters
// without such a form keep their fourteen-segment shape.
unsigned sevenSegmentsOf(char c) {
    switch (c) {
    case 'B':
        return SegF | SegE | SegG | SegC | SegD;
    case 'D':
        return SegB | SegC | SegD | SegE | SegG;
    case 'I':
        return SegE | SegF;
    case 'N':
        return SegE | SegG | SegC;
    case 'O':
        return SegC | SegD | SegE | SegG;
    case 'R':
        return SegE | SegG;
    case 'T':
        return SegF | SegE | SegG | SegD;
    case 'Y':
        return SegF | SegB | SegG | SegC | SegD;
    case 'Q':
        return SegA | SegB | SegF | SegG | SegC;
    default:
        return segmentsOf(c);
    }
}

Bitmap segmentGlyph(char c, int w, int h) {
    const unsigned on = w < 28 ? sevenSegmentsOf(c) : segmentsOf(c);
    const double t = std::max(3.0, std::round(w * 0.19)); // stroke
    const double hw = t / 2, g = 1.0;                     // half stroke, gap between segments
    const double x0 = std::round(w * 0.1), x1 = w - x0;
    const double y0 = std::round(h * 0.07), y1 = h - y0;
    const double lx = x0 + hw, rx = x1 - hw, ty = y0 + hw, by = y1 - hw;
    const double my = (ty + by) / 2, cx = (lx + rx) / 2;

    QImage canvas = Canvas(w, h);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    auto hseg = [&](double xa, double xb, double y) {
        const QPointF pts[] = {{xa, y}, {xa + hw, y - hw}, {xb - hw, y - hw},
                               {xb, y}, {xb - hw, y + hw}, {xa + hw, y + hw}};
        p.drawPolygon(pts, 6);
    };
    auto vseg = [&](double x, double ya, double yb, double half) {
        const QPointF pts[] = {{x, ya}, {x + half, ya + half}, {x + half, yb - half},
                               {x, yb}, {x - half, yb - half}, {x - half, ya + half}};
        p.drawPolygon(pts, 6);
    };
    // A diagonal runs corner to corner through the free quarter between the outer
    // segments, cut flush to that quarter.
    auto diagonal = [&](double xa, double ya, double xb, double yb) {
        const QRectF quarter = QRectF(QPointF(std::min(xa, xb), std::min(ya, yb)),
                                      QPointF(std::max(xa, xb), std::max(ya, yb)));
        p.save();
        p.setClipRect(quarter);
        QPen pen(Qt::black, t * 0.85, Qt::SolidLine, Qt::FlatCap);
        p.setPen(pen);
        const double dx = xb - xa, dy = yb - ya;
        p.drawLine(QPointF(xa - dx * 0.2, ya - dy * 0.2), QPointF(xb + dx * 0.2, yb + dy * 0.2));
        p.restore();
    };

    if (on & SegA)
        hseg(lx + g, rx - g, ty);
    if (on & SegD)
        hseg(lx + g, rx - g, by);
    if ((on & SegG) == SegG) {
        hseg(lx + g, rx - g, my);
    } else {
        if (on & SegG1)
            hseg(lx + g, cx + hw * 0.3, my);
        if (on & SegG2)
            hseg(cx - hw * 0.3, rx - g, my);
    }
    if (on & SegF)
        vseg(lx, ty + g, my - g, hw);
    if (on & SegB)
        vseg(rx, ty + g, my - g, hw);
    if (on & SegE)
        vseg(lx, my + g, by - g, hw);
    if (on & SegC)
        vseg(rx, my + g, by - g, hw);
    if (on & SegUC)
        vseg(cx, ty + hw + g, my - g, hw);
    if (on & SegLC)
        vseg(cx, my + g, by - hw - g, hw);
    const double il = lx + hw + g, ir = rx - hw - g; // inner left and right edges
    const double it = ty + hw + g, ib = by - hw - g; // inner top and bottom edges
    const double mt = my - hw - g, mb = my + hw + g; // edges of the middle bar
    if (on & SegUL)
        diagonal(il, it, cx, mt);
    if (on & SegUR)
        diagonal(ir, it, cx, mt);
    if (on & SegLL)
        diagonal(cx, mb, il, ib);
    if (on & SegLR)
        diagonal(cx, mb, ir, ib);
    p.end();
    return Threshold(canvas);
}

// ---- Dot matrix -----------------------------------------------------------------------

Bitmap dotMatrixGlyph(char c, int w, int h) {
    const int pitchX = (w - 1) / kPixelFontWidth;
    const int pitchY = (h - 1) / kPixelFontHeight;
    // Whole-pixel positions keep every gap between dots open.
    const int dotW = pitchX > 4 ? pitchX - 2 : pitchX - 1, dotH = pitchY - 2;
    const int left = (w - pitchX * kPixelFontWidth + (pitchX - dotW)) / 2;
    const int top = (h - pitchY * kPixelFontHeight + (pitchY - dotH)) / 2;

    QImage canvas = Canvas(w, h);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const double radius = std::min(dotW, dotH) * 0.3;
    for (int y = 0; y < kPixelFontHeight; ++y)
        for (int x = 0; x < kPixelFontWidth; ++x)
            if (PixelFontDot(c, x, y))
                p.drawRoundedRect(QRectF(left + x * pitchX, top + y * pitchY, dotW, dotH), radius,
                                  radius);
    p.end();
    return Threshold(canvas);
}

} // namespace

Bitmap RenderFloorGlyph(const Fonts& fonts, int style, char c, int cellWidth, int cellHeight) {
    switch (style) {
    case 0:
        return outlineGlyph(fonts.sansBold, c, cellWidth, cellHeight, cellWidth * 0.06);
    case 1: {
        // The squeeze thins the upright strokes; one pixel more evens them with the bars.
        const Bitmap thin =
            outlineGlyph(fonts.sansCondensed, c, cellWidth, cellHeight, cellWidth * 0.15);
        Bitmap out = thin;
        out.drawOver(thin, 1, 0);
        return out;
    }
    case 2:
        return segmentGlyph(c, cellWidth, cellHeight);
    default:
        return dotMatrixGlyph(c, cellWidth, cellHeight);
    }
}

Bitmap RenderFloorLabel(const Fonts& fonts, int style, const char* label, int width, int height) {
    const int n = int(std::strlen(label));
    const int cell = width / n;
    // Segments and dots lose their shape when squeezed: those styles keep the glyph's
    // proportions and get shorter instead; the outline styles use the full height.
    const int cellHeight = style >= 2 ? std::min(height, cell * 2) : height;
    Bitmap out(width, height);
    const int left = (width - cell * n) / 2;
    for (int i = 0; i < n; ++i)
        out.drawOver(RenderFloorGlyph(fonts, style, label[i], cell, cellHeight), left + i * cell,
                     (height - cellHeight) / 2);
    return out;
}

} // namespace MakeDataset
