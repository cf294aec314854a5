#pragma once
// PictureLabel: a fixed-size picture box that reports clicks and double clicks.
//
// Holds the picture as loaded (tests and the floor-label preview read its pixels) and shows
// it from the top left corner; a picture larger than the box is scaled down to fit, keeping
// its proportions, as the logo box keeps any chosen file at 64 x 64. A box that takes the
// focus (see setFocusPolicy) is outlined while it has it.
#include <QImage>
#include <QLabel>

namespace Lift::Window {

class PictureLabel : public QLabel {
    Q_OBJECT
public:
    explicit PictureLabel(QSize boxSize, QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    void clearPicture();
    const QImage& picture() const { return m_picture; }
    bool hasPicture() const { return !m_picture.isNull(); }

Q_SIGNALS:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

} // namespace Lift::Window
