// skingen draws Dialmere's sample skins and its application icon.
//
//   skingen SKINS_DIR [--icons ICON_DIR]
//
// Writes one folder per skin (its INI file and pictures) into SKINS_DIR and,
// with --icons, dialmere.png (32x32), dialmere-64.png and dialmere.svg into
// ICON_DIR. The output depends on nothing but this file (no fonts, no clock,
// no environment), so the committed files are exactly what it writes.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>
#include <QtMath>
#include <cmath>
#include <cstdio>

namespace {

// How a picture marks the pixels that are cut from the window.
enum class Cut { Magenta, Green, Alpha };

QRgb cutColour(Cut cut) {
    switch (cut) {
    case Cut::Magenta:
        return qRgb(255, 0, 255);
    case Cut::Green:
        return qRgb(0, 255, 0);
    case Cut::Alpha:
        break;
    }
    return qRgba(0, 0, 0, 0);
}

// Every face is painted anti-aliased onto a canvas of its dark rim colour, and
// only then cut to a hard, non-anti-aliased outline. So the edge pixels that
// stay blend with the rim and never with the cut colour: a skin cut out of
// magenta shows no pink fringe on the desktop, and a PNG face has no partly
// transparent edge pixels, which a window without compositing cannot show.
QImage canvas(int width, int height, const QColor& rim) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(rim);
    return image;
}

QImage cutOut(const QImage& art, const QPainterPath& outline, Cut cut) {
    QImage mask(art.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillPath(outline, Qt::black);
    }
    const QRgb key = cutColour(cut);
    QImage out(art.size(), cut == Cut::Alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < art.height(); ++y) {
        for (int x = 0; x < art.width(); ++x) {
            if (qAlpha(mask.pixel(x, y)) == 0) {
                out.setPixel(x, y, key);
                continue;
            }
            QRgb c = art.pixel(x, y) | 0xFF000000u;
            // A visible pixel must never read as the cut colour itself.
            if (cut != Cut::Alpha && qRgb(qRed(c), qGreen(c), qBlue(c)) == key)
                c = qRgb(qRed(c) ^ 1, qGreen(c) ^ 1, qBlue(c));
            out.setPixel(x, y, c);
        }
    }
    return out;
}

void begin(QPainter& p, QImage& image) {
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
}

QPainterPath circle(QPointF centre, qreal radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath roundedRect(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// A point at `degrees` clockwise from twelve o'clock, `length` from `centre`.
QPointF polar(QPointF centre, qreal degrees, qreal length) {
    const qreal a = qDegreesToRadians(degrees);
    return {centre.x() + std::sin(a) * length, centre.y() - std::cos(a) * length};
}

// Fills a shape and draws its rim: half the rim pen falls outside the shape,
// where the canvas already has the rim colour.
void fillWithRim(QPainter& p, const QPainterPath& shape, const QBrush& fill, const QColor& rim,
                 qreal rimWidth) {
    p.fillPath(shape, fill);
    p.strokePath(shape, QPen(rim, 2 * rimWidth));
}

QLinearGradient vertical(qreal top, qreal bottom, std::initializer_list<QGradientStop> stops) {
    QLinearGradient g(0, top, 0, bottom);
    for (const QGradientStop& s : stops)
        g.setColorAt(s.first, s.second);
    return g;
}

// A soft highlight over the upper part of a face.
void gloss(QPainter& p, const QPainterPath& shape, qreal top, qreal bottom, int alpha) {
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, QColor(255, 255, 255, alpha));
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillPath(shape, g);
}

struct DialStyle {
    QColor bezelLight, bezelMid, bezelDark;
    QColor faceCentre, faceEdge;
    QColor ticks, hands, hub;
};

// A small round clock face at ten past ten.
void drawDial(QPainter& p, QPointF c, qreal r, const DialStyle& s) {
    QLinearGradient bezel(c.x() - r, c.y() - r, c.x() + r, c.y() + r);
    bezel.setColorAt(0, s.bezelLight);
    bezel.setColorAt(0.5, s.bezelMid);
    bezel.setColorAt(1, s.bezelDark);
    p.fillPath(circle(c, r), bezel);
    const qreal face = r * 0.84;
    QRadialGradient fg(c, face, c - QPointF(face * 0.3, face * 0.35));
    fg.setColorAt(0, s.faceCentre);
    fg.setColorAt(1, s.faceEdge);
    p.fillPath(circle(c, face), fg);
    for (int i = 0; i < 12; ++i) {
        if (i % 3 == 0) {
            p.setPen(QPen(s.ticks, r * 0.1, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(polar(c, i * 30, face * 0.66), polar(c, i * 30, face * 0.86));
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(s.ticks);
            p.drawEllipse(polar(c, i * 30, face * 0.78), r * 0.045, r * 0.045);
        }
    }
    p.setPen(QPen(s.hands, r * 0.13, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, polar(c, (10 + 9.0 / 60) * 30, face * 0.48));
    p.setPen(QPen(s.hands, r * 0.085, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, polar(c, 9 * 6, face * 0.72));
    p.setPen(Qt::NoPen);
    p.setBrush(s.hub);
    p.drawEllipse(c, r * 0.1, r * 0.1);
    p.setBrush(Qt::NoBrush);
}

// --- Output ---------------------------------------------------------------

class Writer {
public:
    explicit Writer(QString root) : m_root(std::move(root)) {}
    bool ok() const { return m_ok; }

    void text(const QString& name, const QByteArray& bytes) {
        QFile f(prepare(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            fail(name);
    }
    void image(const QString& name, const QImage& image) {
        QImage out = image;
        // .bmp pictures are plain 24-bit files, which every reader takes.
        if (name.endsWith(".bmp"))
            out = image.convertToFormat(QImage::Format_RGB888);
        if (!out.save(prepare(name)))
            fail(name);
    }

private:
    QString prepare(const QString& name) {
        const QString path = m_root + "/" + name;
        QDir().mkpath(path.section('/', 0, -2));
        return path;
    }
    void fail(const QString& name) {
        std::fprintf(stderr, "skingen: cannot write %s/%s\n", qPrintable(m_root), qPrintable(name));
        m_ok = false;
    }

    QString m_root;
    bool m_ok = true;
};

// An INI file built line by line, with "\n" line ends.
class Ini {
public:
    Ini& section(const char* name) {
        if (!m_bytes.isEmpty())
            m_bytes += "\n";
        m_bytes += QByteArray("[") + name + "]\n";
        return *this;
    }
    Ini& key(const char* name, const QByteArray& value) {
        m_bytes += QByteArray(name) + "=" + value + "\n";
        return *this;
    }
    Ini& key(const char* name, int value) { return key(name, QByteArray::number(value)); }
    QByteArray bytes() const { return kHeader + m_bytes; }

private:
    static constexpr const char* kHeader =
        "; Dialmere sample skin, drawn by tools/skingen: change the generator, not this file.\n";
    QByteArray m_bytes;
};

const QByteArray kAuthor = "Dialmere project";
const QByteArray kEmail = "skins@example.org";
const QByteArray kWww = "https://example.org/dialmere";

QByteArray rgbText(int r, int g, int b) {
    return QByteArray::number(r) + "," + QByteArray::number(g) + "," + QByteArray::number(b);
}

// --- Ember: a capsule with a copper dial; magenta-keyed PNG ----------------

const DialStyle kEmberDial{QColor(0xF0, 0xB8, 0x78), QColor(0xB8, 0x6E, 0x34),
                           QColor(0x5A, 0x30, 0x15), QColor(0x40, 0x2E, 0x22),
                           QColor(0x12, 0x0C, 0x08), QColor(0xF0, 0xB0, 0x70),
                           QColor(0xFF, 0xC0, 0x70), QColor(0xFF, 0xD8, 0x9A)};

void emberBody(QPainter& p, const QPainterPath& shape, qreal height, const QColor& rim) {
    fillWithRim(p, shape,
                vertical(0, height,
                         {{0, QColor(0x6E, 0x54, 0x42)},
                          {0.5, QColor(0x3E, 0x2E, 0x22)},
                          {1, QColor(0x22, 0x18, 0x11)}}),
                rim, 1.5);
}

void ember(Writer& out) {
    const int w = 212, h = 52;
    const QColor rim(0x14, 0x0E, 0x0A);
    const QRect caption(60, 12, 138, 28);

    const QPainterPath capsule = roundedRect(QRectF(0, 0, w, h), h / 2.0);
    QImage face = canvas(w, h, rim);
    QPainter p;
    begin(p, face);
    emberBody(p, capsule, h, rim);
    gloss(p, roundedRect(QRectF(8, 3, w - 16, 20), 10), 3, 23, 40);
    drawDial(p, QPointF(26, 26), 19, kEmberDial);
    // The display well the digits sit in.
    const QPainterPath well = roundedRect(QRectF(54, 9, 150, 34), 17);
    p.fillPath(well,
               vertical(9, 43, {{0, QColor(0x05, 0x03, 0x02)}, {1, QColor(0x1C, 0x13, 0x0D)}}));
    p.strokePath(well, QPen(QColor(0, 0, 0, 170), 1.5));
    p.save();
    p.setClipRect(QRectF(0, 30, w, h));
    p.strokePath(well.translated(0, 1), QPen(QColor(255, 180, 110, 50), 1));
    p.restore();
    p.end();
    out.image("ember/face.png", cutOut(face, capsule, Cut::Magenta));

    // Hidden face: the dial alone, the capsule's left end.
    const QPainterPath round = circle(QPointF(26, 26), 26);
    QImage dial = canvas(52, 52, rim);
    begin(p, dial);
    emberBody(p, round, 52, rim);
    gloss(p, circle(QPointF(26, 15), 13), 3, 23, 40);
    drawDial(p, QPointF(26, 26), 19, kEmberDial);
    p.end();
    out.image("ember/dial.png", cutOut(dial, round, Cut::Magenta));

    Ini ini;
    ini.section("skin")
        .key("name", "Ember")
        .key("author", kAuthor)
        .key("email", kEmail)
        .key("www", kWww)
        .key("about", "A warm capsule with a copper dial and amber digits. Double-click it for "
                      "the dial alone.");
    ini.section("background")
        .key("image", "face.png")
        .key("hideimage", "dial.png")
        .key("width", w)
        .key("height", h);
    ini.section("clock")
        .key("offset", QByteArray::number(caption.x()) + "," + QByteArray::number(caption.y()))
        .key("width", caption.width())
        .key("height", caption.height())
        .key("backcolor", "-1")
        .key("fontfamily", "DejaVu Sans Mono")
        .key("fontcolor", rgbText(255, 178, 80))
        .key("fontsize", 15)
        .key("fontbold", 1)
        .key("align", 2);
    out.text("ember/ember.ini", ini.bytes());
}

// --- Tidewater: a brass porthole (open in the middle) on a navy panel; PNG
// with transparency; opaque, right-aligned caption ---------------------------

void porthole(QPainter& p, QPointF c, const QColor& rim) {
    const QPainterPath ring = circle(c, 36).subtracted(circle(c, 19));
    QLinearGradient brass(c.x() - 28, c.y() - 30, c.x() + 28, c.y() + 30);
    brass.setColorAt(0, QColor(0xF8, 0xE0, 0x9C));
    brass.setColorAt(0.45, QColor(0xCC, 0xA2, 0x50));
    brass.setColorAt(1, QColor(0x74, 0x52, 0x1C));
    fillWithRim(p, ring, brass, rim, 1.5);
    // The inner lip is turned the other way, so it reads as a recess.
    QLinearGradient lip(c.x() - 20, c.y() - 20, c.x() + 20, c.y() + 20);
    lip.setColorAt(0, QColor(0x5A, 0x40, 0x16));
    lip.setColorAt(1, QColor(0xE2, 0xBE, 0x72));
    p.fillPath(circle(c, 23.5).subtracted(circle(c, 20.5)), lip);
    p.strokePath(circle(c, 33.2), QPen(QColor(0xFF, 0xF0, 0xC0, 90), 1));
    for (int i = 0; i < 8; ++i) {
        const QPointF b = polar(c, 22.5 + i * 45, 28.8);
        QRadialGradient g(b, 2.6, b - QPointF(0.9, 0.9));
        g.setColorAt(0, QColor(0xFF, 0xF4, 0xD0));
        g.setColorAt(1, QColor(0x80, 0x5C, 0x20));
        p.setPen(QPen(QColor(0x3C, 0x28, 0x08, 170), 0.8));
        p.setBrush(g);
        p.drawEllipse(b, 2.3, 2.3);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::NoBrush);
    p.strokePath(circle(c, 19), QPen(rim, 3));
}

void tidewater(Writer& out) {
    const int w = 236, h = 72;
    const QColor rim(0x08, 0x12, 0x1E);
    const QColor inset(14, 34, 54); // the caption's opaque background, exactly
    const QPointF centre(36, 36);
    const QRect caption(86, 22, 138, 28);

    const QPainterPath panel = roundedRect(QRectF(50, 14, 186, 44), 10);
    const QPainterPath shape = circle(centre, 36).united(panel).subtracted(circle(centre, 19));
    QImage face = canvas(w, h, rim);
    QPainter p;
    begin(p, face);
    fillWithRim(p, panel,
                vertical(14, 58, {{0, QColor(0x3A, 0x62, 0x8A)}, {1, QColor(0x14, 0x2C, 0x46)}}),
                rim, 1.5);
    gloss(p, roundedRect(QRectF(54, 16, 178, 16), 7), 16, 32, 36);
    const QRectF display(80, 21, 148, 30);
    p.strokePath(roundedRect(display.adjusted(0, 1, 0, 1), 3),
                 QPen(QColor(0x9C, 0xC4, 0xEC, 80), 1));
    p.fillPath(roundedRect(display, 3), inset);
    p.strokePath(roundedRect(display, 3), QPen(QColor(0x05, 0x0E, 0x18), 2));
    porthole(p, centre, rim);
    p.end();
    out.image("tidewater/tidewater.png", cutOut(face, shape, Cut::Alpha));

    const QPainterPath ring = circle(centre, 36).subtracted(circle(centre, 19));
    QImage small = canvas(72, 72, rim);
    begin(p, small);
    porthole(p, centre, rim);
    p.end();
    out.image("tidewater/porthole.png", cutOut(small, ring, Cut::Alpha));

    Ini ini;
    ini.section("skin")
        .key("name", "Tidewater")
        .key("author", kAuthor)
        .key("email", kEmail)
        .key("www", kWww)
        .key("about", "A brass porthole on a navy panel; the desktop shows through the glass. "
                      "Double-click it to keep only the porthole.");
    ini.section("background")
        .key("image", "tidewater.png")
        .key("hideimage", "porthole.png")
        .key("width", w)
        .key("height", h);
    ini.section("clock")
        .key("offset", QByteArray::number(caption.x()) + "," + QByteArray::number(caption.y()))
        .key("width", caption.width())
        .key("height", caption.height())
        .key("backcolor", rgbText(inset.red(), inset.green(), inset.blue()))
        .key("fontfamily", "DejaVu Sans")
        .key("fontcolor", rgbText(226, 236, 246))
        .key("fontsize", 13)
        .key("fontbold", 1)
        .key("align", 1);
    out.text("tidewater/tidewater.ini", ini.bytes());
}

// --- Almanac: a paper ticket with notches and a perforated stub;
// magenta-keyed PNG; serif digits, normal weight ------------------------------

const QColor kInk(0x8E, 0x2E, 0x24);

QPainterPath perforation(qreal x, qreal height) {
    QPainterPath holes;
    for (qreal y = height / 2 - 20; y <= height / 2 + 20; y += 8)
        holes.addEllipse(QPointF(x, y), 2.6, 2.6);
    return holes;
}

// The rim follows the outer edge only: a punched hole shows no more than the
// thin dark edge the canvas gives it.
void paper(QPainter& p, const QPainterPath& shape, const QPainterPath& edge, qreal height,
           const QColor& rim) {
    p.fillPath(shape,
               vertical(0, height, {{0, QColor(0xFA, 0xF3, 0xE2)}, {1, QColor(0xE6, 0xD6, 0xB2)}}));
    p.strokePath(edge, QPen(rim, 3));
}

void stubMotif(QPainter& p, QPointF c) {
    // A small sun dial in ink: rays around an open ring.
    p.setPen(QPen(kInk, 1.3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i)
        p.drawLine(polar(c, i * 45, 8.5), polar(c, i * 45, 11.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 6, 6);
    p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, polar(c, 300, 3.6));
    p.drawLine(c, polar(c, 60, 4.8));
    p.setPen(Qt::NoPen);
}

void almanac(Writer& out) {
    const int w = 204, h = 56, stub = 52;
    const QColor rim(0x4A, 0x17, 0x12);
    const QRect caption(58, 13, 132, 30);
    const QPointF notchL(0, h / 2.0), notchR(w, h / 2.0);

    const QPainterPath edge = roundedRect(QRectF(0, 0, w, h), 7)
                                  .subtracted(circle(notchL, 9))
                                  .subtracted(circle(notchR, 9));
    const QPainterPath ticket = edge.subtracted(perforation(stub, h));
    QImage face = canvas(w, h, rim);
    QPainter p;
    begin(p, face);
    paper(p, ticket, edge, h, rim);
    const QPainterPath border = roundedRect(QRectF(5, 5, w - 10, h - 10), 4)
                                    .subtracted(circle(notchL, 14))
                                    .subtracted(circle(notchR, 14));
    p.strokePath(border, QPen(kInk, 1));
    stubMotif(p, QPointF(29, h / 2.0));
    p.end();
    out.image("almanac/ticket.png", cutOut(face, ticket, Cut::Magenta));

    // Hidden face: the stub, torn off along the perforation.
    QPainterPath tear;
    tear.addRect(QRectF(0, 0, stub, h));
    const QPainterPath stubEdge =
        roundedRect(QRectF(0, 0, stub + 7, h), 7).intersected(tear).subtracted(circle(notchL, 9));
    const QPainterPath stubShape = stubEdge.subtracted(perforation(stub, h));
    QImage small = canvas(stub, h, rim);
    begin(p, small);
    paper(p, stubShape, stubEdge, h, rim);
    p.strokePath(roundedRect(QRectF(5, 5, stub - 11, h - 10), 4).subtracted(circle(notchL, 14)),
                 QPen(kInk, 1));
    stubMotif(p, QPointF(29, h / 2.0));
    p.end();
    out.image("almanac/stub.png", cutOut(small, stubShape, Cut::Magenta));

    Ini ini;
    ini.section("skin")
        .key("name", "Almanac")
        .key("author", kAuthor)
        .key("email", kEmail)
        .key("www", kWww)
        .key("about", "A cream paper ticket with a perforated stub and serif figures. "
                      "Double-click it to tear off the stub.");
    ini.section("background")
        .key("image", "ticket.png")
        .key("hideimage", "stub.png")
        .key("width", w)
        .key("height", h);
    ini.section("clock")
        .key("offset", QByteArray::number(caption.x()) + "," + QByteArray::number(caption.y()))
        .key("width", caption.width())
        .key("height", caption.height())
        .key("backcolor", "-1")
        .key("fontfamily", "DejaVu Serif")
        .key("fontcolor", rgbText(kInk.red(), kInk.green(), kInk.blue()))
        .key("fontsize", 14)
        .key("fontbold", 0)
        .key("align", 2);
    out.text("almanac/almanac.ini", ini.bytes());
}

// --- Marsh Light: a pocket LCD, Pendrix format, magenta-keyed BMP -----------

void lcdFrame(QPainter& p, const QPainterPath& shape, qreal height, const QColor& rim) {
    fillWithRim(p, shape,
                vertical(0, height, {{0, QColor(0x48, 0x4F, 0x44)}, {1, QColor(0x1A, 0x1E, 0x18)}}),
                rim, 1.5);
    gloss(p, shape, 1, height * 0.5, 30);
}

void lcdWindow(QPainter& p, const QRectF& r) {
    const QPainterPath glass = roundedRect(r, 4);
    p.fillPath(glass, vertical(r.top(), r.bottom(),
                               {{0, QColor(0xB9, 0xC9, 0x9C)}, {1, QColor(0x98, 0xAB, 0x7A)}}));
    p.strokePath(glass, QPen(QColor(0x10, 0x14, 0x0C, 200), 1.6));
    p.save();
    p.setClipRect(r.adjusted(0, 0, 0, -r.height() + 4));
    p.strokePath(glass.translated(0, 1.2), QPen(QColor(0x40, 0x4C, 0x30, 110), 1.2));
    p.restore();
}

void marshLight(Writer& out) {
    const int w = 160, h = 46;
    const QColor rim(0x0C, 0x0E, 0x0B);
    const QPainterPath body = roundedRect(QRectF(0, 0, w, h), 9);
    QImage face = canvas(w, h, rim);
    QPainter p;
    begin(p, face);
    lcdFrame(p, body, h, rim);
    lcdWindow(p, QRectF(8, 7, 144, 32));
    p.end();
    out.image("marshlight/lcd.bmp", cutOut(face, body, Cut::Magenta));

    // Hidden face: a small square unit whose display shows only a colon.
    const QPainterPath box = roundedRect(QRectF(0, 0, h, h), 9);
    QImage small = canvas(h, h, rim);
    begin(p, small);
    lcdFrame(p, box, h, rim);
    lcdWindow(p, QRectF(8, 7, h - 16, 32));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1C, 0x26, 0x14));
    p.drawEllipse(QPointF(h / 2.0, 18), 2.2, 2.2);
    p.drawEllipse(QPointF(h / 2.0, 28), 2.2, 2.2);
    p.end();
    out.image("marshlight/lcdup.bmp", cutOut(small, box, Cut::Magenta));

    Ini ini;
    ini.section("window settings")
        .key("SKIN", "lcd.bmp")
        .key("SKINUP", "lcdup.bmp")
        .key("WIDTH", w)
        .key("HEIGHT", h);
    ini.section("clock settings")
        .key("x", 16)
        .key("y", 11)
        .key("FONT", "DejaVu Sans Mono")
        .key("ColorR", 28)
        .key("ColorG", 38)
        .key("ColorB", 20)
        .key("FONT SIZE", 14);
    out.text("marshlight/marshlight.ini", ini.bytes());
}

// --- Verdigris: a patinated copper oval, Olvo format, green-keyed BMP -------

void patina(QPainter& p, const QRectF& r, const QColor& rim) {
    const QPainterPath oval = [&] {
        QPainterPath e;
        e.addEllipse(r);
        return e;
    }();
    QRadialGradient g(QPointF(r.center().x(), r.top() + r.height() * 0.35), r.width() * 0.55);
    g.setColorAt(0, QColor(0x74, 0xB8, 0x9E));
    g.setColorAt(0.6, QColor(0x33, 0x6E, 0x5C));
    g.setColorAt(1, QColor(0x1C, 0x42, 0x38));
    fillWithRim(p, oval, g, rim, 1.5);
    QPainterPath band;
    band.addEllipse(r.adjusted(5, 4, -5, -4));
    p.strokePath(band, QPen(QColor(0xC8, 0x80, 0x44, 210), 1.4));
    gloss(p, oval, r.top(), r.center().y(), 34);
}

void rivet(QPainter& p, QPointF c) {
    QRadialGradient g(c, 3, c - QPointF(1, 1));
    g.setColorAt(0, QColor(0xF6, 0xC0, 0x8C));
    g.setColorAt(1, QColor(0x7A, 0x40, 0x1C));
    p.setPen(QPen(QColor(0x20, 0x10, 0x06, 170), 0.8));
    p.setBrush(g);
    p.drawEllipse(c, 2.8, 2.8);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::NoBrush);
}

const DialStyle kCopperDial{QColor(0xF6, 0xC0, 0x8C), QColor(0xC0, 0x78, 0x40),
                            QColor(0x6A, 0x36, 0x16), QColor(0x2C, 0x5C, 0x4E),
                            QColor(0x16, 0x34, 0x2C), QColor(0xF0, 0xD8, 0xA0),
                            QColor(0xFA, 0xE2, 0xA0), QColor(0xF6, 0xC0, 0x8C)};

void verdigris(Writer& out) {
    const int w = 196, h = 60;
    const QColor rim(0x0E, 0x1E, 0x19);
    QPainterPath oval;
    oval.addEllipse(QRectF(0, 0, w, h));
    QImage face = canvas(w, h, rim);
    QPainter p;
    begin(p, face);
    patina(p, QRectF(0, 0, w, h), rim);
    rivet(p, QPointF(14, h / 2.0));
    rivet(p, QPointF(w - 14, h / 2.0));
    p.end();
    out.image("verdigris/main.bmp", cutOut(face, oval, Cut::Green));

    const int sw = 64, sh = 40;
    QPainterPath pebble;
    pebble.addEllipse(QRectF(0, 0, sw, sh));
    QImage shade = canvas(sw, sh, rim);
    begin(p, shade);
    patina(p, QRectF(0, 0, sw, sh), rim);
    drawDial(p, QPointF(sw / 2.0, sh / 2.0), 12, kCopperDial);
    p.end();
    out.image("verdigris/shade.bmp", cutOut(shade, pebble, Cut::Green));

    Ini ini;
    ini.section("Info")
        .key("SkinName", "Verdigris")
        .key("author", kAuthor)
        .key("email", kEmail)
        .key("url", kWww)
        .key("description", "An oval of weathered copper with pale gold figures, cut out of "
                            "pure green.");
    ini.section("skin").key("transcolor", "000255000");
    // Font colour as the colour value in hex: blue, green, red (pale gold).
    ini.section("Font")
        .key("Offset", 24)
        .key("TopOffset", 19)
        .key("font", "DejaVu Sans")
        .key("fontcolor", "A0E2FA")
        .key("fontsize", 14)
        .key("bold", "true")
        .key("alignment", "center");
    out.text("verdigris/verdigris.ini", ini.bytes());
}

// --- Application icon -------------------------------------------------------

// The icon in a 32-unit square, as a short list of marks that both the PNG
// painter and the SVG writer draw, so the three icon files agree.
struct IconMark {
    bool line; // a line from a to b, else a dot at a
    QPointF a, b;
    qreal size; // line width or dot radius
    QColor colour;
    bool roundCap;
};

const QPointF kIconCentre(16, 16);
const qreal kIconBezel = 15.3, kIconFace = 12.6;
const QPointF kBezelFrom(2, 1), kBezelTo(30, 31), kFaceFocus(13, 12);
const QColor kBezelLight(0x4E, 0x66, 0x7E), kBezelDark(0x16, 0x20, 0x2A);
const QColor kFaceLight(0xFF, 0xFF, 0xFF), kFaceEdge(0xDC, 0xE4, 0xEC);

QList<IconMark> iconMarks() {
    const QPointF c = kIconCentre;
    const QColor tick(0x24, 0x32, 0x40), dot(0x6A, 0x7C, 0x8E), hand(0x1A, 0x26, 0x32),
        accent(0xE8, 0x80, 0x1C);
    QList<IconMark> marks;
    for (int i = 0; i < 12; i += 3)
        marks.append({true, polar(c, i * 30, 9.2), polar(c, i * 30, 12), 1.6, tick, false});
    for (int i = 0; i < 12; ++i)
        if (i % 3 != 0)
            marks.append({false, polar(c, i * 30, 10.6), {}, 0.7, dot, false});
    marks.append({true, c, polar(c, (10 + 9.0 / 60) * 30, 6.2), 2.3, hand, true});
    marks.append({true, c, polar(c, 9 * 6, 9.4), 1.6, hand, true});
    marks.append({true, polar(c, 330, 2.6), polar(c, 150, 10), 0.9, accent, true});
    marks.append({false, c, {}, 1.5, accent, false});
    return marks;
}

QImage icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p;
    begin(p, image);
    p.scale(size / 32.0, size / 32.0);
    QLinearGradient bezel(kBezelFrom, kBezelTo);
    bezel.setColorAt(0, kBezelLight);
    bezel.setColorAt(1, kBezelDark);
    p.fillPath(circle(kIconCentre, kIconBezel), bezel);
    QRadialGradient face(kIconCentre, kIconFace, kFaceFocus);
    face.setColorAt(0, kFaceLight);
    face.setColorAt(1, kFaceEdge);
    p.fillPath(circle(kIconCentre, kIconFace), face);
    for (const IconMark& m : iconMarks()) {
        if (m.line) {
            p.setPen(
                QPen(m.colour, m.size, Qt::SolidLine, m.roundCap ? Qt::RoundCap : Qt::FlatCap));
            p.drawLine(m.a, m.b);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(m.colour);
            p.drawEllipse(m.a, m.size, m.size);
        }
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray num(qreal v) {
    QByteArray t = QByteArray::number(v, 'f', 2);
    while (t.contains('.') && (t.endsWith('0') || t.endsWith('.')))
        t.chop(1);
    return t == "-0" ? "0" : t;
}

QByteArray iconSvg() {
    auto colour = [](const QColor& c) { return c.name().toLatin1(); };
    auto pt = [](const char* x, const char* y, QPointF q) {
        return QByteArray(" ") + x + "=\"" + num(q.x()) + "\" " + y + "=\"" + num(q.y()) + "\"";
    };
    QByteArray svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" "
        "viewBox=\"0 0 32 32\">\n"
        "  <title>Dialmere</title>\n"
        "  <defs>\n"
        "    <linearGradient id=\"bezel\" gradientUnits=\"userSpaceOnUse\"" +
        pt("x1", "y1", kBezelFrom) + pt("x2", "y2", kBezelTo) + ">\n" +
        "      <stop offset=\"0\" stop-color=\"" + colour(kBezelLight) + "\"/><stop offset=\"1\" " +
        "stop-color=\"" + colour(kBezelDark) + "\"/>\n" + "    </linearGradient>\n" +
        "    <radialGradient id=\"face\" gradientUnits=\"userSpaceOnUse\"" +
        pt("cx", "cy", kIconCentre) + " r=\"" + num(kIconFace) + "\"" + pt("fx", "fy", kFaceFocus) +
        ">\n" + "      <stop offset=\"0\" stop-color=\"" + colour(kFaceLight) +
        "\"/><stop offset=\"1\" stop-color=\"" + colour(kFaceEdge) + "\"/>\n" +
        "    </radialGradient>\n" + "  </defs>\n" + "  <circle" + pt("cx", "cy", kIconCentre) +
        " r=\"" + num(kIconBezel) + "\" fill=\"url(#bezel)\"/>\n" + "  <circle" +
        pt("cx", "cy", kIconCentre) + " r=\"" + num(kIconFace) + "\" fill=\"url(#face)\"/>\n";
    for (const IconMark& m : iconMarks()) {
        if (m.line)
            svg += "  <line" + pt("x1", "y1", m.a) + pt("x2", "y2", m.b) + " stroke=\"" +
                   colour(m.colour) + "\" stroke-width=\"" + num(m.size) + "\"" +
                   (m.roundCap ? " stroke-linecap=\"round\"" : "") + "/>\n";
        else
            svg += "  <circle" + pt("cx", "cy", m.a) + " r=\"" + num(m.size) + "\" fill=\"" +
                   colour(m.colour) + "\"/>\n";
    }
    return svg + "</svg>\n";
}

int usage() {
    std::fprintf(stderr, "usage: skingen SKINS_DIR [--icons ICON_DIR]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString iconDir;
    const int at = args.indexOf("--icons");
    if (at >= 0) {
        if (at + 1 >= args.size())
            return usage();
        iconDir = args.at(at + 1);
        args.remove(at, 2);
    }
    if (args.size() != 1 || args.first().startsWith('-'))
        return usage();

    Writer skins(args.first());
    ember(skins);
    tidewater(skins);
    almanac(skins);
    marshLight(skins);
    verdigris(skins);
    bool ok = skins.ok();
    if (!iconDir.isEmpty()) {
        Writer icons(iconDir);
        icons.image("dialmere.png", icon(32));
        icons.image("dialmere-64.png", icon(64));
        icons.text("dialmere.svg", iconSvg());
        ok = ok && icons.ok();
    }
    return ok ? 0 : 1;
}
