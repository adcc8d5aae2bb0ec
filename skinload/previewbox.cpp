#include "previewbox.h"

#include <QMouseEvent>
#include <QPainter>

PreviewBox::PreviewBox(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void PreviewBox::setPicture(const QImage& picture, const QRegion& shape) {
    m_picture = picture;
    m_pixmap = QPixmap::fromImage(picture);
    m_shape = shape;
    // Qt takes an empty mask as "no mask", which would show the whole box:
    // a picture without one opaque pixel hides the box instead.
    if (shape.isEmpty()) {
        clearMask();
        hide();
    } else {
        setMask(shape);
        show();
    }
    update();
}

void PreviewBox::paintEvent(QPaintEvent*) {
    if (m_pixmap.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_pixmap);
}

void PreviewBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}
