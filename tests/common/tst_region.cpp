// The window shape routine against Qt's own mask path, on many pictures.
#include "region.h"
#include "testenv.h"

#include <QBitmap>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <cstring>

static TestEnv testEnv;

Q_DECLARE_METATYPE(QImage::Format)

namespace {

constexpr QRgb Magenta = 0xff00ff;

// Qt's path. createMaskFromColor compares whole 32-bit pixels, so it serves
// for opaque pictures only (their pixels all carry alpha 0xff).
QRegion qtReference(const QImage& image, QRgb key) {
    return QRegion(
        QBitmap::fromImage(image.createMaskFromColor(key | 0xff000000u, Qt::MaskInColor)));
}

// A picture with an outline of random ellipses and polygons, in colours that
// include near misses of the key, on a background of `background`.
QImage randomOutline(int w, int h, quint32 seed, QRgb background = 0xffff00ff,
                     QImage::Format format = QImage::Format_RGB32) {
    QRandomGenerator rng(seed);
    QImage img(w, h, format);
    img.fill(background);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setPen(Qt::NoPen);
    static const QRgb colours[] = {0xff000000, 0xffffffff, 0xfffe00ff, 0xffff01ff,
                                   0xffff00fe, 0xff123456, 0xff00ff00};
    const int shapes = 3 + rng.bounded(12);
    for (int i = 0; i < shapes; ++i) {
        // Some shapes punch key-coloured holes back into the outline.
        const QRgb c = rng.bounded(4) == 0 ? background : colours[rng.bounded(7)];
        p.setBrush(QColor::fromRgba(c));
        if (rng.bounded(2)) {
            p.drawEllipse(rng.bounded(w) - w / 4, rng.bounded(h) - h / 4, 1 + rng.bounded(w),
                          1 + rng.bounded(h));
        } else {
            QPolygon poly;
            for (int k = 0; k < 5; ++k)
                poly << QPoint(rng.bounded(w), rng.bounded(h));
            p.drawPolygon(poly);
        }
    }
    p.end();
    return img;
}

// Every pixel the key or not, at random.
QImage noise(int w, int h, quint32 seed, int percentCut) {
    QRandomGenerator rng(seed);
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = int(rng.bounded(100)) < percentCut ? 0xffff00ff : 0xff000000 | rng.generate();
    }
    return img;
}

// A picture from a pattern of '#' (kept, dark grey) and '.' (key) rows.
QImage fromPattern(const QStringList& rows, QRgb key = 0xffff00ff,
                   QImage::Format format = QImage::Format_RGB32) {
    for (const QString& row : rows)
        if (row.size() != rows.first().size())
            qFatal("pattern rows differ in width");
    QImage img(int(rows.first().size()), int(rows.size()), format);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, rows[y][x] == QLatin1Char('#') ? 0xff404040 : key);
    return img;
}

QRegion regionFromPattern(const QStringList& rows) {
    QRegion r;
    for (int y = 0; y < rows.size(); ++y)
        for (int x = 0; x < rows[y].size(); ++x)
            if (rows[y][x] == QLatin1Char('#'))
                r += QRect(x, y, 1, 1);
    return r;
}

// Qt trusts setRects blindly; a malformed breakdown silently breaks later
// region operations. Checks the banded form and that no two touching bands
// have the same runs (equal scanlines were merged).
QString bandedFormFault(const QRegion& region) {
    QList<QRect> band, previous;
    auto closeBand = [&]() -> QString {
        if (!previous.isEmpty() && !band.isEmpty() &&
            previous.first().bottom() + 1 == band.first().top()) {
            bool same = previous.size() == band.size();
            for (int i = 0; same && i < band.size(); ++i)
                same =
                    previous[i].left() == band[i].left() && previous[i].right() == band[i].right();
            if (same)
                return QString("touching bands at y=%1 have the same runs").arg(band.first().top());
        }
        previous = band;
        band.clear();
        return {};
    };
    for (const QRect& r : region) {
        if (r.isEmpty())
            return "empty rectangle";
        if (!band.isEmpty() && r.top() != band.first().top()) {
            if (r.top() <= band.first().bottom())
                return QString("band at y=%1 overlaps the one above").arg(r.top());
            const QString fault = closeBand();
            if (!fault.isEmpty())
                return fault;
        }
        if (!band.isEmpty()) {
            if (r.height() != band.first().height())
                return QString("uneven band height at y=%1").arg(r.top());
            if (r.left() <= band.last().right() + 1)
                return QString("rectangles overlap or touch at y=%1").arg(r.top());
        }
        band << r;
    }
    return closeBand();
}

QImage withPadding(const QImage& src) {
    // Scanlines longer than the pixels, as an image over foreign memory has.
    const qsizetype bpl = src.width() * 4 + 36;
    uchar* buf = static_cast<uchar*>(std::malloc(bpl * src.height()));
    std::memset(buf, 0x5a, bpl * src.height());
    for (int y = 0; y < src.height(); ++y)
        std::memcpy(buf + y * bpl, src.constScanLine(y), src.width() * 4);
    return QImage(buf, src.width(), src.height(), bpl, src.format(), std::free, buf);
}

} // namespace

class TestRegion : public QObject {
    Q_OBJECT

private slots:
    void matchesQtMask_data();
    void matchesQtMask();
    void alphaChannel_data();
    void alphaChannel();
    void handMadeShapes_data();
    void handMadeShapes();
    void nullPictureGivesEmptyRegion();
};

void TestRegion::matchesQtMask_data() {
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QRgb>("key");

    for (quint32 seed = 1; seed <= 12; ++seed) {
        const int w = seed % 3 == 0 ? 200 : int(7 + seed * 13);
        const int h = seed % 3 == 0 ? 60 : int(5 + seed * 7);
        QTest::addRow("random outline %u (%dx%d)", seed, w, h)
            << randomOutline(w, h, seed) << Magenta;
    }
    QTest::newRow("noise") << noise(97, 61, 7, 50) << Magenta;
    QTest::newRow("sparse noise") << noise(64, 64, 8, 5) << Magenta;
    QTest::newRow("dense noise") << noise(64, 64, 9, 95) << Magenta;
    // Enough rectangles to outgrow the routine's first buffer.
    QTest::newRow("large noise") << noise(300, 200, 10, 50) << Magenta;

    QImage all(50, 20, QImage::Format_RGB32);
    all.fill(0xffff00ff);
    QTest::newRow("all transparent") << all << Magenta;
    QImage none(50, 20, QImage::Format_RGB32);
    none.fill(0xff123456);
    QTest::newRow("none transparent") << none << Magenta;

    QTest::newRow("one-pixel row") << fromPattern({"#..##.#####...#"}) << Magenta;
    QTest::newRow("one-pixel column")
        << fromPattern({"#", ".", "#", "#", ".", ".", "#", "#", "#"}) << Magenta;
    QTest::newRow("one pixel kept") << fromPattern({"#"}) << Magenta;
    QTest::newRow("one pixel cut") << fromPattern({"."}) << Magenta;
    QTest::newRow("bands merge and split") << fromPattern({
                                                  "..####..",
                                                  "..####..",
                                                  "#......#",
                                                  "#......#",
                                                  "........",
                                                  "#......#",
                                                  "##.##.##",
                                                  "##.##.##",
                                              })
                                           << Magenta;
    QTest::newRow("runs alternate per row") << fromPattern({
                                                   "##########",
                                                   "#.#.#.#.#.",
                                                   "##########",
                                                   ".#.#.#.#.#",
                                                   "##########",
                                               })
                                            << Magenta;

    // The scan takes 64 pixels at a time: runs across and up to those edges.
    const QString word(64, QLatin1Char('#'));
    QTest::newRow("64 wide, all kept") << fromPattern({word, word}) << Magenta;
    QTest::newRow("runs across 64-pixel edges")
        << fromPattern({"..." + word + word + "#.", word + "." + word + "....",
                        QString(64, QLatin1Char('.')) + "#" + word + "####"})
        << Magenta;

    QTest::newRow("one run, then the same run and more") << fromPattern({
                                                                "####......",
                                                                "####..#.#.",
                                                                "####......",
                                                                "####..#.#.",
                                                            })
                                                         << Magenta;

    QStringList stepped;
    for (int y = 0; y < 1000; ++y)
        stepped << QString(40, QLatin1Char('#')) +
                       QString(y % 2 ? "..#.#.#.#.#.#.#.#.#.#.#." : "........................");
    QTest::newRow("one run, then the same run and more, past the first buffer")
        << fromPattern(stepped) << Magenta;

    // Black as the key: magenta stays, as for a skin that names its own colour.
    QTest::newRow("black key keeps magenta")
        << randomOutline(120, 40, 21, 0xff000000) << QRgb(0x000000);
    QTest::newRow("key's alpha byte ignored") << randomOutline(80, 30, 22) << QRgb(0x12ff00ff);
    QTest::newRow("padded scanlines") << withPadding(randomOutline(33, 17, 23)) << Magenta;

    // Other formats go through one conversion; Qt's path reads them by pixel.
    QImage mono = fromPattern({"#..#", ".##.", "#..#"}, 0xffff00ff, QImage::Format_RGB32)
                      .convertToFormat(QImage::Format_Mono, {0xff404040, 0xffff00ff});
    QTest::newRow("1-bit") << mono << Magenta;
    QTest::newRow("1-bit LSB") << mono.convertToFormat(QImage::Format_MonoLSB) << Magenta;
    QImage indexed =
        randomOutline(70, 35, 24).convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QVERIFY(indexed.colorTable().contains(0xffff00ff));
    QTest::newRow("8-bit indexed") << indexed << Magenta;
    QTest::newRow("8-bit grey")
        << randomOutline(60, 30, 25, 0xff000000).convertToFormat(QImage::Format_Grayscale8)
        << QRgb(0x000000);
    QTest::newRow("24-bit, odd width")
        << randomOutline(61, 23, 26).convertToFormat(QImage::Format_RGB888) << Magenta;
    QTest::newRow("16-bit")
        << randomOutline(50, 20, 27, 0xff000000).convertToFormat(QImage::Format_RGB16)
        << QRgb(0x000000);
    QTest::newRow("RGBX 64-bit") << randomOutline(40, 20, 28).convertToFormat(QImage::Format_RGBX64)
                                 << Magenta;
}

void TestRegion::matchesQtMask() {
    QFETCH(QImage, image);
    QFETCH(QRgb, key);

    const QRegion region = bitmapToRegion(image, key);
    const QRegion reference = qtReference(image, key);
    QVERIFY2((region ^ reference).isEmpty(),
             qPrintable(QString("differs in %1 rectangles").arg((region ^ reference).rectCount())));
    QCOMPARE(bandedFormFault(region), QString());
    QVERIFY(region.boundingRect().isEmpty() || image.rect().contains(region.boundingRect()));
}

void TestRegion::alphaChannel_data() {
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QRgb>("key");
    QTest::addColumn<QRegion>("expected");

    // Row 0 holds the pixels under test, row 1 is solid so the region is
    // never trivially empty.
    auto strip = [](std::initializer_list<QRgb> pixels, QImage::Format format) {
        QImage img(int(pixels.size()), 2, QImage::Format_ARGB32);
        img.fill(0xff404040);
        int x = 0;
        for (QRgb p : pixels)
            img.setPixel(x++, 0, p);
        return img.convertToFormat(format);
    };
    const QRegion solidRow(0, 1, 5, 1);
    for (const QImage::Format format :
         {QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGBA8888}) {
        const char* name = format == QImage::Format_ARGB32     ? "ARGB32"
                           : format == QImage::Format_RGBA8888 ? "RGBA8888"
                                                               : "premultiplied";
        QTest::addRow("%s: key with partial alpha is cut", name)
            << strip({0xff102030, 0x80ff00ff, 0x01ff00ff, 0xffff00ff, 0xff102030}, format)
            << Magenta << (solidRow + QRect(0, 0, 1, 1) + QRect(4, 0, 1, 1));
        QTest::addRow("%s: other colours with partial alpha stay", name)
            << strip({0x80fe00ff, 0x01102030, 0xfeffffff, 0x7f000000, 0x00102030}, format)
            << Magenta << (solidRow + QRect(0, 0, 4, 1));
        QTest::addRow("%s: fully transparent pixels are cut whatever their colour", name)
            << strip({0x00000000, 0x00ffffff, 0xff000000, 0x00ff00ff, 0x00404040}, format)
            << QRgb(0x000000) << (solidRow);
    }

    QImage palette(4, 1, QImage::Format_Indexed8);
    palette.setColorTable({0xff404040, 0x00404040, 0xffff00ff, 0x80ff00ff});
    for (int x = 0; x < 4; ++x)
        palette.setPixel(x, 0, uint(x));
    QTest::newRow("8-bit indexed with a transparent entry")
        << palette << Magenta << QRegion(0, 0, 1, 1);

    // A PNG of a drawn outline on a fully transparent background has the
    // shape of the same drawing on magenta.
    const QImage opaque = randomOutline(150, 50, 31);
    const QImage clear = randomOutline(150, 50, 31, 0x00000000, QImage::Format_ARGB32);
    QTemporaryDir dir;
    const QString file = dir.filePath("face.png");
    QVERIFY(clear.save(file, "PNG"));
    const QImage loaded(file);
    QVERIFY(loaded.hasAlphaChannel());
    QTest::newRow("PNG with fully transparent pixels")
        << loaded << Magenta << qtReference(opaque, Magenta);
}

void TestRegion::alphaChannel() {
    QFETCH(QImage, image);
    QFETCH(QRgb, key);
    QFETCH(QRegion, expected);

    const QRegion region = bitmapToRegion(image, key);
    QVERIFY2((region ^ expected).isEmpty(),
             qPrintable(QString("differs in %1 rectangles").arg((region ^ expected).rectCount())));
    QCOMPARE(bandedFormFault(region), QString());
}

// Shapes whose answer is known without Qt, down to the number of rectangles
// once equal scanlines are merged.
void TestRegion::handMadeShapes_data() {
    QTest::addColumn<QStringList>("pattern");
    QTest::addColumn<int>("rectangles");

    QTest::newRow("corners cut") << QStringList{
                                        ".######.",
                                        "########",
                                        "########",
                                        ".######.",
                                    } << 3;
    QTest::newRow("ring") << QStringList{
                                 "#####",
                                 "#...#",
                                 "#...#",
                                 "#####",
                             } << 4;
    QTest::newRow("gap between equal bands") << QStringList{
                                                    "#.#",
                                                    "...",
                                                    "#.#",
                                                } << 4;
    QTest::newRow("all kept") << QStringList{"###", "###"} << 1;
    QTest::newRow("all cut") << QStringList{"...", "..."} << 0;
}

void TestRegion::handMadeShapes() {
    QFETCH(QStringList, pattern);
    QFETCH(int, rectangles);

    const QRegion region = bitmapToRegion(fromPattern(pattern), Magenta);
    QVERIFY((region ^ regionFromPattern(pattern)).isEmpty());
    QCOMPARE(region.rectCount(), rectangles);
}

void TestRegion::nullPictureGivesEmptyRegion() {
    QVERIFY(bitmapToRegion(QImage(), Magenta).isEmpty());
    QVERIFY(bitmapToRegion(QImage(0, 5, QImage::Format_RGB32), Magenta).isEmpty());
}

QTEST_MAIN(TestRegion)
#include "tst_region.moc"
