#include "lift_state_pictures.h"

#include "pixel_font.h"

#include <QFontMetrics>
#include <QPainter>

#include <string_view>

namespace MakeDataset {

namespace {

// clang-format off
const LiftState kStates[kLiftStateCount] = {
    {"FIRE",           "FIRE",           "FIRE",           "火警"},
    {"QUAKE",          "QUAKE",          "EARTHQUAKE",     "地震"},
    {"ALARM",          "BREAKDOWN",      "ALARM",          "故障"},
    {"OUT_OF_SERVICE", "OUT_OF_SERVICE", "OUT OF|SERVICE", "暫停服務"},
    {"OVERLOAD",       "OVERLOAD",       "OVERLOAD",       "超載"},
    {"MAINTAIN",       "MAINTAIN",       "MAINTENANCE",    "保養中"},
    {"FULL",           "FULL",           "FULL",           "滿載"},
    {"VIP",            "VIP",            "VIP",            "貴賓"},
    {"PARKING",        "PARKING",        "PARKING",        "停梯"},
    {"IND",            "IND",            "INDEPENDENT",    "獨立運轉"},
};
// clang-format on

Bitmap centred(const Bitmap& content) {
    Bitmap out(kMessageWidth, kMessageHeight);
    out.drawOver(content, (kMessageWidth - content.width) / 2,
                 (kMessageHeight - content.height) / 2);
    return out;
}

// The smallest rectangle holding every black pixel (the whole picture when blank).
Bitmap cropToInk(const Bitmap& b) {
    int x0 = b.width, y0 = b.height, x1 = -1, y1 = -1;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            if (b.at(x, y)) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return b;
    Bitmap out(x1 - x0 + 1, y1 - y0 + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            out.set(x - x0, y - y0, b.at(x, y));
    return out;
}

} // namespace

const LiftState& LiftStateAt(int row) {
    return kStates[row];
}

Bitmap RenderEnglishMessage(const char* text) {
    const std::string_view all(text);
    const std::size_t bar = all.find('|');
    if (bar != std::string_view::npos) {
        const Bitmap first = RenderPixelText(all.substr(0, bar), 1, 1);
        const Bitmap second = RenderPixelText(all.substr(bar + 1), 1, 1);
        Bitmap out(kMessageWidth, kMessageHeight);
        out.drawOver(first, (kMessageWidth - first.width) / 2, 0);
        out.drawOver(second, (kMessageWidth - second.width) / 2, kPixelFontHeight + 2);
        return out;
    }
    const Bitmap big = RenderPixelText(all, 2, 2);
    if (big.width <= kMessageWidth - 2)
        return centred(big);
    return centred(RenderPixelText(all, 1, 2));
}

bool RenderChineseMessage(const Fonts& fonts, const char* utf8, Bitmap& out, std::string* error) {
    const QString text = QString::fromUtf8(utf8);
    QFont font(fonts.cjkFamily);
    font.setPixelSize(kMessageHeight);
    // No smoothing (the face's hand-made bitmaps are used) and no substitution from other
    // fonts, which would make the result depend on what else is installed.
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    const QFontMetrics metrics(font);
    for (const QChar ch : text) {
        if (!metrics.inFont(ch)) {
            if (error)
                *error = "the CJK font lacks a character of \"" + std::string(utf8) + "\"";
            return false;
        }
    }
    QImage canvas = Canvas(kMessageWidth * 2, kMessageHeight * 2);
    QPainter p(&canvas);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPointF(4, 4 + metrics.ascent()), text);
    p.end();
    const Bitmap ink = cropToInk(Threshold(canvas));
    if (ink.width > kMessageWidth || ink.height > kMessageHeight) {
        if (error)
            *error = "\"" + std::string(utf8) + "\" does not fit 64 x 16 pixels";
        return false;
    }
    out = centred(ink);
    return true;
}

std::string LiftStateFileName(int row, int column) {
    const LiftState& s = kStates[row];
    switch (column) {
    case 0:
        return std::string(s.englishStem) + "-16x64_EN.bmp";
    case 1:
        return std::string(s.chineseStem) + "-16x64_CHT.bmp";
    case 2:
        return std::string(s.englishStem) + "-INV-16x64_EN.bmp";
    default:
        return std::string(s.chineseStem) + "-INV-16x64_CHT.bmp";
    }
}

} // namespace MakeDataset
