#include "window/picture_label.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace Lift::Window {

PictureLabel::PictureLabel(QSize boxSize, QWidget* parent) : QLabel(parent) {
    setFixedSize(boxSize);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFrameShape(QFrame::Box);
    setLineWidth(0);
    setStyleSheet(QStringLiteral("background: palette(base);"));
}

void PictureLabel::setPicture(const QImage& picture) {
    m_picture = picture;
    QImage shown = picture;
    if (shown.width() > width() || shown.height() > height())
        shown = shown.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    setPixmap(QPixmap::fromImage(shown));
}

void PictureLabel::clearPicture() {
    m_picture = QImage();
    clear();
}

void PictureLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QLabel::mousePressEvent(event);
}

void PictureLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

void PictureLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

} // namespace Lift::Window
