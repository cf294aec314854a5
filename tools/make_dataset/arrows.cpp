#include "arrows.h"

#include <QPainter>
#include <QPolygonF>

namespace MakeDataset {

namespace {

constexpr int N = kArrowSize;

Bitmap drawPolygons(const std::vector<QPolygonF>& polygons, double outlineWidth = 0) {
    QImage canvas = Canvas(N, N);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (outlineWidth > 0) {
        p.setPen(QPen(Qt::black, outlineWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
    }
    for (const QPolygonF& poly : polygons)
        p.drawPolygon(poly);
    p.end();
    return Threshold(canvas);
}

// A chevron pointing up whose top edge starts at `top`, 12 pixels high, 6 thick.
QPolygonF chevron(double top) {
    return QPolygonF(
        {{24, top}, {44, top + 14}, {44, top + 20}, {24, top + 6}, {4, top + 20}, {4, top + 14}});
}

QPolygonF blockArrow() {
    // Symmetric about x = 24: head 42 wide, shaft 18 wide, 44 high in all.
    return QPolygonF({{24, 2}, {45, 23}, {33, 23}, {33, 46}, {15, 46}, {15, 23}, {3, 23}});
}

// Narrower and pointed, for the scrolling style: head 32 wide, shaft 10 wide.
QPolygonF slimArrow() {
    return QPolygonF({{24, 2}, {40, 20}, {29, 20}, {29, 46}, {19, 46}, {19, 20}, {8, 20}});
}

QPolygonF triangle() {
    return QPolygonF({{24, 5}, {45, 43}, {3, 43}});
}

} // namespace

const char* ArrowStyleName(int style) {
    static const char* const names[] = {"still", "scrolling", "blinking", "chevrons", "triangle"};
    return style >= 0 && style < kArrowStyleCount ? names[style] : "?";
}

Bitmap RenderArrow() {
    // Symmetric about x = 24: head 42 wide, shaft 18 wide, 44 high in all.
    return drawPolygons(
        {QPolygonF({{24, 2}, {45, 23}, {33, 23}, {33, 46}, {15, 46}, {15, 23}, {3, 23}})});
}

std::array<Bitmap, kArrowFrameCount> RenderArrowFrames(int style) {
    // Each style has its own shape as well as its own motion, so that the five previews
    // (frame 0) can be told apart in the editor.
    std::array<Bitmap, kArrowFrameCount> frames;
    const Bitmap arrow = RenderArrow();
    const Bitmap slim = drawPolygons({slimArrow()});
    const Bitmap hollow = drawPolygons({blockArrow()}, 4);
    for (int k = 0; k < kArrowFrameCount; ++k) {
        switch (style) {
        case 0:
            frames[k] = arrow;
            break;
        case 1: // one full turn over the 12 frames, 4 pixels a frame
            frames[k] = slim.scrolledUp(k * N / kArrowFrameCount);
            break;
        case 2: // an outlined arrow, on for half the cycle
            frames[k] = k < kArrowFrameCount / 2 ? hollow : Bitmap(N, N);
            break;
        case 3: {
            // Chevrons light up from the bottom, stay, go dark; frame 0 shows all three.
            static const int lit[kArrowFrameCount] = {3, 1, 1, 2, 2, 3, 3, 3, 3, 0, 0, 0};
            std::vector<QPolygonF> shown;
            shown.reserve(3);
            for (int i = 0; i < lit[k]; ++i)
                shown.push_back(chevron(27 - i * 13));
            frames[k] = shown.empty() ? Bitmap(N, N) : drawPolygons(shown);
            break;
        }
        default: {
            // The outline fills from the base up; frames 0 and 11 are full.
            const int level = k == 0 ? kArrowFrameCount - 1 : k;
            Bitmap frame = drawPolygons({triangle()}, 3);
            const Bitmap solid = drawPolygons({triangle()});
            const int top = 43 - (43 - 5) * level / (kArrowFrameCount - 1);
            for (int y = top; y < N; ++y)
                for (int x = 0; x < N; ++x)
                    if (solid.at(x, y))
                        frame.set(x, y);
            frames[k] = frame;
            break;
        }
        }
    }
    return frames;
}

} // namespace MakeDataset
