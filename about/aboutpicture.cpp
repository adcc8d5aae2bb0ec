#include "aboutpicture.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace AboutPicture {

namespace {

const QColor Ground(0xA9, 0xB6, 0xC4);   // blue-grey
const QColor Light(0xE4, 0xEA, 0xF0);    // lit edges
const QColor Shade(0x55, 0x63, 0x73);    // shaded edges
const QColor StripTop(0x5A, 0x6C, 0x81); // title strip, top to bottom
const QColor StripBottom(0x3C, 0x4A, 0x5B);
const QColor StripText(0xF2, 0xF5, 0xF8);
const QColor LetterFace(0x8C, 0x9C, 0xAE);

// A raised frame: lit on the top and left, shaded on the bottom and right.
void bevel(QPainter& p, const QRectF& r, const QColor& light, const QColor& shade) {
    p.setPen(QPen(light, 1));
    p.drawLine(QPointF(r.left() + 0.5, r.bottom() - 0.5), QPointF(r.left() + 0.5, r.top() + 0.5));
    p.drawLine(QPointF(r.left() + 0.5, r.top() + 0.5), QPointF(r.right() - 0.5, r.top() + 0.5));
    p.setPen(QPen(shade, 1));
    p.drawLine(QPointF(r.right() - 0.5, r.top() + 0.5), QPointF(r.right() - 0.5, r.bottom() - 0.5));
    p.drawLine(QPointF(r.right() - 0.5, r.bottom() - 0.5),
               QPointF(r.left() + 0.5, r.bottom() - 0.5));
}

// The largest bold serif font (in pixels) whose rendering of `text` fits `box`.
QFont fittingFont(const QString& text, const QSizeF& box) {
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setStyleHint(QFont::Serif);
    font.setBold(true);
    for (int px = int(box.height()); px > 6; --px) {
        font.setPixelSize(px);
        const QFontMetricsF fm(font);
        if (fm.horizontalAdvance(text) <= box.width() && fm.ascent() <= box.height())
            break;
    }
    return font;
}

void paint(QPainter& p) {
    const QRectF all(0, 0, Width, Height);
    p.fillRect(all, Ground);
    bevel(p, all, Light, Shade);
    bevel(p, all.adjusted(1, 1, -1, -1), Light, Shade);

    // Title strip with "About..." and the close mark.
    const QRectF strip(3, 3, Width - 6, 27);
    QLinearGradient g(strip.topLeft(), strip.bottomLeft());
    g.setColorAt(0, StripTop);
    g.setColorAt(1, StripBottom);
    p.fillRect(strip, g);
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setBold(true);
    title.setPixelSize(12);
    p.setFont(title);
    p.setPen(StripText);
    p.drawText(strip.adjusted(8, 0, -40, 0), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("About..."));

    const QRectF mark(CloseMark);
    p.fillRect(mark, QColor(0x6E, 0x80, 0x95));
    bevel(p, mark, QColor(0x9C, 0xAB, 0xBC), QColor(0x26, 0x30, 0x3C));
    p.setPen(QPen(StripText, 2, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = mark.center();
    const qreal arm = 4;
    p.drawLine(c + QPointF(-arm, -arm), c + QPointF(arm, arm));
    p.drawLine(c + QPointF(-arm, arm), c + QPointF(arm, -arm));

    // The name in raised letters: lit from the top left, shaded to the
    // bottom right, with a face a little darker than the ground.
    const QString name = QStringLiteral("Dialmere");
    const QRectF nameBox(12, 33, 124, 30);
    const QFont font = fittingFont(name, nameBox.size());
    const QFontMetricsF fm(font);
    QPainterPath path;
    path.addText(nameBox.left(),
                 nameBox.top() + (nameBox.height() + fm.ascent() - fm.descent()) / 2, font, name);
    p.setPen(Qt::NoPen);
    p.setBrush(Shade);
    p.drawPath(path.translated(1.5, 1.5));
    p.setBrush(Light);
    p.drawPath(path.translated(-1, -1));
    p.setBrush(LetterFace);
    p.drawPath(path);
}

} // namespace

QImage draw(const QSize& size, qreal devicePixelRatio) {
    const qreal dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QImage image(size * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(qreal(size.width()) / Width, qreal(size.height()) / Height);
    paint(p);
    return image;
}

} // namespace AboutPicture
