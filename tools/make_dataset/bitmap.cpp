#include "bitmap.h"

namespace MakeDataset {

void Bitmap::fillRect(int x, int y, int w, int h, bool isBlack) {
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx)
            set(xx, yy, isBlack);
}

void Bitmap::drawOver(const Bitmap& other, int x, int y) {
    for (int yy = 0; yy < other.height; ++yy)
        for (int xx = 0; xx < other.width; ++xx)
            if (other.at(xx, yy))
                set(x + xx, y + yy);
}

Bitmap Bitmap::inverted() const {
    Bitmap out = *this;
    for (auto& p : out.black)
        p = p ? 0 : 1;
    return out;
}

Bitmap Bitmap::scrolledUp(int dy) const {
    Bitmap out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.set(x, y, at(x, ((y + dy) % height + height) % height));
    return out;
}

bool Bitmap::isBlank() const {
    for (auto p : black)
        if (p)
            return false;
    return true;
}

Bitmap Threshold(const QImage& image) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    Bitmap out(grey.width(), grey.height());
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            out.set(x, y, row[x] < 128);
    }
    return out;
}

QImage Canvas(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QImage ToImage(const Bitmap& bitmap) {
    QImage image(bitmap.width, bitmap.height, QImage::Format_RGB32);
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x)
            image.setPixel(x, y, bitmap.at(x, y) ? 0xFF000000u : 0xFFFFFFFFu);
    return image;
}

} // namespace MakeDataset
