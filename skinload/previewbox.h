// The preview picture box: a child window of its own that shows one picture at
// its top-left corner, at the picture's own size, and is cut to a shape, so
// only the skin's opaque pixels show and take the mouse.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QRegion>
#include <QWidget>

class PreviewBox : public QWidget {
    Q_OBJECT
public:
    explicit PreviewBox(QWidget* parent = nullptr);

    // The picture shown; null until the first one.
    QImage picture() const { return m_picture; }
    // The shape the box is cut to, in its own coordinates; empty until the
    // first picture.
    QRegion shape() const { return m_shape; }

    // Replaces the picture and the shape. An empty shape leaves nothing of the
    // box to see or click.
    void setPicture(const QImage& picture, const QRegion& shape);

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    QPixmap m_pixmap;
    QRegion m_shape;
};
