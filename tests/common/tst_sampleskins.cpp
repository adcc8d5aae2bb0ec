// The sample skins we ship: complete, consistent, good-looking at the edges,
// readable, and exactly what tools/skingen draws.
#include "inireader.h"
#include "modskin.h"
#include "region.h"
#include "testenv.h"

#include <QDirIterator>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

static TestEnv testEnv;

namespace {

// The source tree, found from this file, so the committed skins are checked
// (not a copy of them that a build made).
QString sourceDir() {
    return QDir::cleanPath(QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../..");
}
QString skinsDir() {
    return sourceDir() + "/skins";
}

QString ini(const QString& file, const char* section, const char* key) {
    return readIniValue(file, QString::fromLatin1(section), QString::fromLatin1(key));
}
bool absent(const QString& value) {
    return value == QLatin1String(kIniAbsent);
}
int number(const QString& value) {
    return int(roundToRange(leadingNumber(value), -32768, 32767));
}

struct Skin {
    QString folder; // name of the skin's folder
    QString file;   // its INI file
    QString type;   // "dm", "px" or "ol"
};

QList<Skin> shippedSkins() {
    QList<Skin> skins;
    const QDir root(skinsDir());
    for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir dir(root.filePath(folder));
        for (const QString& name : dir.entryList({"*.ini"}, QDir::Files, QDir::Name)) {
            Skin s{folder, dir.filePath(name), "dm"};
            if (!absent(ini(s.file, "window settings", "SKIN")))
                s.type = "px";
            else if (QFile::exists(dir.filePath("main.bmp")))
                s.type = "ol";
            skins << s;
        }
    }
    return skins;
}

// Shown and hidden picture file names (relative to the skin's folder).
QPair<QString, QString> pictureNames(const Skin& s) {
    if (s.type == "ol")
        return {"main.bmp", "shade.bmp"};
    if (s.type == "px")
        return {ini(s.file, "window settings", "SKIN"), ini(s.file, "window settings", "SKINUP")};
    return {ini(s.file, "background", "image"), ini(s.file, "background", "hideimage")};
}

QRgb transparentColour(const Skin& s) {
    if (s.type == "ol") {
        const QString t = ini(s.file, "skin", "transcolor");
        if (!absent(t))
            return colourValueToRgb(parseTransColour(t));
    }
    return qRgb(255, 0, 255);
}

// Cut from the window: the transparent colour, or no alpha at all.
bool isCut(QRgb pixel, QRgb key) {
    return qAlpha(pixel) == 0 || (pixel & 0xFFFFFFu) == (key & 0xFFFFFFu);
}

// An edge pixel that blends towards the key colour (a pink fringe around a
// magenta-keyed face, a green one around a green-keyed face). Only keys with
// saturated channels can be told apart from an honest dark rim this way.
bool tintedTowards(QRgb pixel, QRgb key) {
    int high = 255, low = 0;
    bool hasHigh = false, hasLow = false;
    const int channels[3] = {qRed(pixel), qGreen(pixel), qBlue(pixel)};
    const int keys[3] = {qRed(key), qGreen(key), qBlue(key)};
    for (int i = 0; i < 3; ++i) {
        if (keys[i] == 255) {
            high = qMin(high, channels[i]);
            hasHigh = true;
        } else if (keys[i] == 0) {
            low = qMax(low, channels[i]);
            hasLow = true;
        }
    }
    return hasHigh && hasLow && high - low > 40;
}

// Problems of one face picture's outline, as text (empty when fine).
QString outlineProblems(const QImage& face, QRgb key) {
    const QImage img = face.convertToFormat(QImage::Format_ARGB32);
    int cut = 0, fringe = 0, partlyClear = 0;
    auto cutAt = [&](int x, int y) {
        return x < 0 || y < 0 || x >= img.width() || y >= img.height() ||
               isCut(img.pixel(x, y), key);
    };
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (isCut(c, key)) {
                ++cut;
                continue;
            }
            if (qAlpha(c) != 255)
                ++partlyClear; // a window without compositing cannot show it
            const bool edge =
                cutAt(x - 1, y) || cutAt(x + 1, y) || cutAt(x, y - 1) || cutAt(x, y + 1);
            if (edge && tintedTowards(c, key))
                ++fringe;
        }
    }
    QStringList problems;
    if (cut == 0)
        problems << "a plain rectangle: nothing is cut away";
    if (cut == img.width() * img.height())
        problems << "everything is cut away";
    if (fringe > 0)
        problems << QString("%1 edge pixels tinted towards the key colour").arg(fringe);
    if (partlyClear > 0)
        problems << QString("%1 partly transparent pixels").arg(partlyClear);
    return problems.join("; ");
}

// Bits per pixel of a .bmp file, 0 when it is not a BMP file.
int bmpBitsPerPixel(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = f.read(30);
    if (head.size() < 30 || !head.startsWith("BM"))
        return 0;
    return quint8(head[28]) | (quint8(head[29]) << 8);
}

// Every file under `dir`, as paths relative to it.
QStringList filesUnder(const QString& dir) {
    QStringList files;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

// The widest time texts the caption shows (digits are of equal width in the
// fonts we use; the 12-hour formats add a designator).
const QStringList kTimeTexts = {"00:00:00", "12:00:00 AM", "12:00:00 PM"};

} // namespace

class TstSampleSkins : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QFileInfo(skinsDir()).isDir(), qPrintable(skinsDir())); }

    // What the collection as a whole must show a new user.
    void collectionCoversEveryFormatAndKey() {
        const QList<Skin> skins = shippedSkins();
        QStringList dm;
        int px = 0, ol = 0;
        QSet<QString> folders;
        for (const Skin& s : skins) {
            QVERIFY2(!folders.contains(s.folder),
                     qPrintable("more than one INI file in " + s.folder));
            folders << s.folder;
            if (s.type == "dm")
                dm << s.file;
            px += s.type == "px";
            ol += s.type == "ol";
        }
        QVERIFY2(dm.size() >= 3, "at least three skins of our own format");
        QCOMPARE_GE(px, 1);
        QCOMPARE_GE(ol, 1);

        const QList<QPair<const char*, const char*>> keys = {{"skin", "name"},
                                                             {"skin", "author"},
                                                             {"skin", "email"},
                                                             {"skin", "www"},
                                                             {"skin", "about"},
                                                             {"background", "image"},
                                                             {"background", "hideimage"},
                                                             {"background", "width"},
                                                             {"background", "height"},
                                                             {"clock", "offset"},
                                                             {"clock", "width"},
                                                             {"clock", "height"},
                                                             {"clock", "backcolor"},
                                                             {"clock", "fontfamily"},
                                                             {"clock", "fontcolor"},
                                                             {"clock", "fontsize"},
                                                             {"clock", "fontbold"},
                                                             {"clock", "align"}};
        for (const auto& [section, key] : keys) {
            const bool used = std::any_of(dm.begin(), dm.end(), [&](const QString& f) {
                return !absent(ini(f, section, key));
            });
            QVERIFY2(used, qPrintable(QString("no skin uses [%1] %2").arg(section, key)));
        }
        QSet<int> aligns;
        bool opaqueCaption = false;
        for (const QString& f : dm) {
            aligns << number(ini(f, "clock", "align"));
            const QString back = ini(f, "clock", "backcolor");
            opaqueCaption = opaqueCaption || (!absent(back) && back != "-1");
        }
        QVERIFY2(aligns.contains(1) && aligns.contains(2), "right and centred captions");
        QVERIFY2(opaqueCaption, "one caption on an opaque background");
    }

    void pictures_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("type");
        for (const Skin& s : shippedSkins())
            QTest::newRow(qPrintable(s.folder)) << s.file << s.type;
    }
    void pictures() {
        QFETCH(QString, file);
        QFETCH(QString, type);
        const Skin skin{QString(), file, type};
        const QDir dir = QFileInfo(file).dir();
        const auto [shownName, hiddenName] = pictureNames(skin);
        QImage faces[2];
        int i = 0;
        for (const QString& name : {shownName, hiddenName}) {
            QVERIFY2(!absent(name), "both pictures are named");
            QVERIFY2(QFileInfo(name).isRelative() && !name.contains(".."),
                     qPrintable(name + ": a path inside the skin's folder"));
            const QString path = dir.filePath(name);
            QImage& img = faces[i++];
            QVERIFY2(img.load(path), qPrintable(path + " loads"));
            if (name.endsWith(".bmp", Qt::CaseInsensitive))
                QCOMPARE(bmpBitsPerPixel(path), 24);
            const QString problems = outlineProblems(img, transparentColour(skin));
            QVERIFY2(problems.isEmpty(), qPrintable(name + ": " + problems));
            const QRegion shape = bitmapToRegion(img, transparentColour(skin));
            QVERIFY2(!shape.isEmpty() && !(QRegion(img.rect()) - shape).isEmpty(),
                     qPrintable(name + ": the window shape is neither empty nor a rectangle"));
        }
        const QImage& shown = faces[0];
        const QImage& hidden = faces[1];
        if (type == "dm") {
            QCOMPARE(number(ini(file, "background", "width")), shown.width());
            QCOMPARE(number(ini(file, "background", "height")), shown.height());
        } else if (type == "px") {
            QCOMPARE(number(ini(file, "window settings", "WIDTH")), shown.width());
            QCOMPARE(number(ini(file, "window settings", "HEIGHT")), shown.height());
        }
        // The hidden face is the compact one.
        QVERIFY(hidden.width() <= shown.width() && hidden.height() <= shown.height());
        QVERIFY(hidden.width() * hidden.height() < shown.width() * shown.height());
    }

    // The time, in the skin's font, stays within the visible face; a caption
    // box of its own lies wholly on the face.
    void captions_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("type");
        for (const Skin& s : shippedSkins())
            QTest::newRow(qPrintable(s.folder)) << s.file << s.type;
    }
    void captions() {
        QFETCH(QString, file);
        QFETCH(QString, type);
        const Skin skin{QString(), file, type};
        QImage shown(QFileInfo(file).dir().filePath(pictureNames(skin).first));
        QVERIFY(!shown.isNull());

        QString family;
        double points = 0;
        bool bold = false;
        if (type == "dm") {
            family = ini(file, "clock", "fontfamily");
            points = leadingNumber(ini(file, "clock", "fontsize"));
            bold = number(ini(file, "clock", "fontbold")) != 0;
        } else if (type == "px") {
            family = ini(file, "clock settings", "FONT");
            points = leadingNumber(ini(file, "clock settings", "FONT SIZE"));
        } else {
            family = ini(file, "Font", "font");
            points = leadingNumber(ini(file, "Font", "fontsize"));
            bold = ini(file, "Font", "bold").toLower() == "true";
        }
        QVERIFY2(QFontDatabase::families().contains(family),
                 qPrintable(family + " is installed (a font Debian ships by default)"));
        QVERIFY(points > 0);
        QFont font(family);
        font.setPointSizeF(points);
        font.setBold(bold);
        const QFontMetrics fm(font);
        int textWidth = 0;
        for (const QString& t : kTimeTexts)
            textWidth = qMax(textWidth, qMax(fm.horizontalAdvance(t), fm.boundingRect(t).width()));
        const QSize text(textWidth, fm.height());

        QRect box; // what must lie on the visible face
        if (type == "dm") {
            const QString offset = ini(file, "clock", "offset");
            const QRect caption(number(offset.section(',', 0, 0)), number(offset.section(',', 1)),
                                number(ini(file, "clock", "width")),
                                number(ini(file, "clock", "height")));
            QVERIFY2(caption.width() > 0 && caption.height() > 0, "a caption box of its own");
            QVERIFY2(text.width() <= caption.width() && text.height() <= caption.height(),
                     qPrintable(QString("the time (%1x%2) fits its caption (%3x%4)")
                                    .arg(text.width())
                                    .arg(text.height())
                                    .arg(caption.width())
                                    .arg(caption.height())));
            box = caption;
        } else if (type == "px") {
            box = QRect(QPoint(number(ini(file, "clock settings", "x")),
                               number(ini(file, "clock settings", "y"))),
                        text);
        } else {
            const QString align = ini(file, "Font", "alignment").toLower();
            const int top = number(ini(file, "Font", "TopOffset"));
            int left = number(ini(file, "Font", "Offset"));
            if (align == "right")
                left = shown.width() - text.width();
            else if (align != "left" && !absent(align))
                left = (shown.width() - text.width()) / 2;
            box = QRect(QPoint(left, top), text);
        }
        QVERIFY2(shown.rect().contains(box),
                 qPrintable(QString("caption %1,%2 %3x%4 inside the window")
                                .arg(box.x())
                                .arg(box.y())
                                .arg(box.width())
                                .arg(box.height())));
        // The window's own shape keeps every pixel under the time.
        const QRegion shape = bitmapToRegion(shown, transparentColour(skin));
        QVERIFY2((QRegion(box) - shape).isEmpty(), "the caption lies on the visible face");
    }

    void icons_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        QTest::newRow("32") << "dialmere.png" << 32;
        QTest::newRow("64") << "dialmere-64.png" << 64;
    }
    void icons() {
        QFETCH(QString, name);
        QFETCH(int, size);
        QImage icon(sourceDir() + "/packaging/" + name);
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0); // round, on a clear ground
        QCOMPARE(qAlpha(icon.pixel(size / 2, size / 2)), 255);
    }

    // The committed pictures and INI files are exactly what the generator
    // writes, so a change to one without the other is caught.
    void generatorWritesTheCommittedFiles() {
        const QString skingen = QCoreApplication::applicationDirPath() + "/../tools-bin/skingen";
        QVERIFY2(QFileInfo(skingen).isExecutable(), qPrintable(skingen + " is built"));
        QTemporaryDir out;
        QVERIFY(out.isValid());
        QProcess gen;
        gen.start(skingen, {out.filePath("skins"), "--icons", out.filePath("icons")});
        QVERIFY(gen.waitForFinished(60000));
        QCOMPARE(gen.exitStatus(), QProcess::NormalExit);
        QVERIFY2(gen.exitCode() == 0, gen.readAllStandardError().constData());

        QStringList committed = filesUnder(skinsDir());
        committed.removeAll("CMakeLists.txt");
        QCOMPARE(filesUnder(out.filePath("skins")), committed);

        QList<QPair<QString, QString>> pairs;
        for (const QString& f : committed)
            pairs.append({out.filePath("skins/" + f), skinsDir() + "/" + f});
        for (const char* icon : {"dialmere.png", "dialmere-64.png", "dialmere.svg"})
            pairs.append(
                {out.filePath(QString("icons/") + icon), sourceDir() + "/packaging/" + icon});
        for (const auto& [written, kept] : pairs) {
            if (!kept.endsWith(".png") && !kept.endsWith(".bmp")) {
                QFile a(written), b(kept);
                QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
                QVERIFY2(a.readAll() == b.readAll(), qPrintable(kept + " differs"));
            } else {
                // Pixels, not bytes: the image encoder may pack them differently.
                const QImage a = QImage(written).convertToFormat(QImage::Format_ARGB32);
                const QImage b = QImage(kept).convertToFormat(QImage::Format_ARGB32);
                QVERIFY2(!a.isNull() && a == b, qPrintable(kept + " differs"));
            }
        }
    }
};

QTEST_MAIN(TstSampleSkins)
#include "tst_sampleskins.moc"
