#include "contact_sheet.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace MakeDataset {

namespace {

constexpr int kScale = 2;
constexpr int kMargin = 16;
constexpr int kGap = 8;
constexpr QRgb kGround = 0xFFC8C8C8;

struct Layout {
    int cellWidth = 0;
    int cellHeight = 0;
    int rows = 0;
};

} // namespace

QByteArray RenderContactSheet(const Fonts& fonts, const std::vector<SheetSection>& sections) {
    QFont titleFont(fonts.uiFamily);
    titleFont.setPixelSize(18);
    titleFont.setStyleStrategy(QFont::NoFontMerging);
    QFont captionFont(fonts.uiFamily);
    captionFont.setPixelSize(11);
    captionFont.setStyleStrategy(QFont::NoFontMerging);
    const QFontMetrics titleMetrics(titleFont), captionMetrics(captionFont);
    const int titleHeight = titleMetrics.height() + 6;
    const int captionHeight = captionMetrics.height() + 2;

    std::vector<Layout> layouts;
    int width = 0, height = kMargin;
    for (const SheetSection& s : sections) {
        Layout l;
        bool anyCaption = false;
        for (const SheetItem& item : s.items) {
            l.cellWidth = std::max({l.cellWidth, item.picture.width * kScale,
                                    captionMetrics.horizontalAdvance(item.caption)});
            l.cellHeight = std::max(l.cellHeight, item.picture.height * kScale);
            anyCaption = anyCaption || !item.caption.isEmpty();
        }
        l.cellWidth += kGap;
        l.cellHeight += kGap + (anyCaption ? captionHeight : 0);
        l.rows = int((s.items.size() + s.columns - 1) / s.columns);
        width = std::max({width, l.cellWidth * s.columns, titleMetrics.horizontalAdvance(s.title)});
        height += titleHeight + l.rows * l.cellHeight + kMargin;
        layouts.push_back(l);
    }
    width += 2 * kMargin;

    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(kGround);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    int y = kMargin;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const SheetSection& s = sections[i];
        const Layout& l = layouts[i];
        p.setFont(titleFont);
        p.setPen(Qt::black);
        p.drawText(QPoint(kMargin, y + titleMetrics.ascent()), s.title);
        y += titleHeight;
        p.setFont(captionFont);
        for (std::size_t k = 0; k < s.items.size(); ++k) {
            const SheetItem& item = s.items[k];
            const int x = kMargin + int(k % s.columns) * l.cellWidth;
            const int top = y + int(k / s.columns) * l.cellHeight;
            const QImage picture = ToImage(item.picture);
            p.drawImage(QRect(x, top, picture.width() * kScale, picture.height() * kScale),
                        picture);
            if (!item.caption.isEmpty()) {
                p.setPen(QColor(40, 40, 40));
                p.drawText(QPoint(x, top + picture.height() * kScale + captionMetrics.ascent() + 2),
                           item.caption);
            }
        }
        y += l.rows * l.cellHeight + kMargin;
    }
    p.end();

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    sheet.convertToFormat(QImage::Format_Grayscale8).save(&buffer, "PNG");
    return png;
}

} // namespace MakeDataset
