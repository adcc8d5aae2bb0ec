// The clock on a real X server with a window manager: it maps its window at
// the stored place, in the skin's size and outline (the desktop shows through
// the transparent corners), stays out of the taskbar, and F10 typed on it
// ends it with its place stored.
#include "inireader.h"
#include "modskin.h"
#include "region.h"
#include "store.h"
#include "testenv.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QtTest>

static TestEnv testEnv;

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000))
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// The visible top-level window captioned exactly "Dialmere", or "".
QString clockWindow() {
    return run("xdotool", {"search", "--onlyvisible", "--name", "^Dialmere$"})
        .split('\n', Qt::SkipEmptyParts)
        .value(0);
}

QRect geometryOf(const QString& id) {
    QMap<QString, int> v;
    for (const QString& line : run("xdotool", {"getwindowgeometry", "--shell", id}).split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            v[line.left(eq)] = line.mid(eq + 1).toInt();
    }
    return QRect(v.value("X"), v.value("Y"), v.value("WIDTH"), v.value("HEIGHT"));
}

QImage grabScreen() {
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

} // namespace

class SysClock : public QObject {
    Q_OBJECT
private slots:
    void mapsShapedAtItsPlaceAndQuitsOnF10();
};

void SysClock::mapsShapedAtItsPlaceAndQuitsOnF10() {
    const QString bin = qEnvironmentVariable("DIALMERE_BIN_DIR");
    QVERIFY2(!bin.isEmpty(), "DIALMERE_BIN_DIR is not set");
    const QString dir = bin + "/skins/tidewater/";
    const QString ini = dir + "tidewater.ini";
    QVERIFY(QFile::exists(ini));
    Store::save("Skin", "Dir", dir);
    Store::save("Skin", "Name", "tidewater.ini");
    Store::save("Skin", "Type", "dm");
    Store::save("Settings", "LeftStart", "3000"); // 200 pixels
    Store::save("Settings", "TopStart", "1500");  // 100 pixels

    const QImage desktop = grabScreen();
    QProcess clock;
    clock.start(bin + "/Dialmere", {});
    QVERIFY(clock.waitForStarted());
    QString id;
    QTRY_VERIFY_WITH_TIMEOUT(!(id = clockWindow()).isEmpty(), 10000);

    const QImage face(dir + readIniValue(ini, "background", "image"));
    QVERIFY(!face.isNull());
    const QSize size(int(leadingNumber(readIniValue(ini, "background", "width"))),
                     int(leadingNumber(readIniValue(ini, "background", "height"))));
    QTRY_COMPARE_WITH_TIMEOUT(geometryOf(id), QRect(QPoint(200, 100), size), 5000);

    // A skin reload right after the window manager took the window keeps
    // the window in its place.
    run("xdotool", {"key", "--window", id, "F2"});
    QTest::qWait(300);
    QTRY_VERIFY_WITH_TIMEOUT(!(id = clockWindow()).isEmpty(), 5000);
    QCOMPARE(geometryOf(id), QRect(QPoint(200, 100), size));

    // Out of the taskbar and the pager.
    QString state = run("xprop", {"-id", id, "_NET_WM_STATE"});
    QVERIFY2(state.contains("_NET_WM_STATE_SKIP_TASKBAR"), qPrintable(state));
    QVERIFY(state.contains("_NET_WM_STATE_SKIP_PAGER"));
    QVERIFY(!state.contains("_NET_WM_STATE_ABOVE"));

    // Always on top, taken from the store on F5, and back: the window stays
    // where it is, shown, and keeps its other states.
    for (const char* onTop : {"1", "0"}) {
        Store::save("Settings", "OnTop", onTop);
        run("xdotool", {"key", "--window", id, "F5"});
        const bool above = QByteArray(onTop) == "1";
        QTRY_COMPARE_WITH_TIMEOUT(
            run("xprop", {"-id", id, "_NET_WM_STATE"}).contains("_NET_WM_STATE_ABOVE"), above,
            5000);
        QCOMPARE(clockWindow(), id);
        QCOMPARE(geometryOf(id), QRect(QPoint(200, 100), size));
        state = run("xprop", {"-id", id, "_NET_WM_STATE"});
        QVERIFY2(state.contains("_NET_WM_STATE_SKIP_TASKBAR"), qPrintable(state));
    }
    // And a reload after that (hidden and shown again) keeps the place too.
    run("xdotool", {"key", "--window", id, "F2"});
    QTest::qWait(300);
    QTRY_VERIFY_WITH_TIMEOUT(!(id = clockWindow()).isEmpty(), 5000);
    QCOMPARE(geometryOf(id), QRect(QPoint(200, 100), size));

    // The window shows the face where the outline has it and the desktop
    // elsewhere: no magenta, and the transparent corners as before.
    const QRegion outline = bitmapToRegion(face, qRgb(255, 0, 255)) & QRect(QPoint(), size);
    QVERIFY(!outline.isEmpty());
    QVERIFY(outline != QRegion(QRect(QPoint(), size))); // the sample has an odd outline
    QImage shot;
    int cut = 0, drawn = 0, wrong = 0;
    QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                 shot = grabScreen();
                                 cut = drawn = wrong = 0;
                                 for (int y = 0; y < size.height(); ++y) {
                                     for (int x = 0; x < size.width(); ++x) {
                                         const QRgb seen = shot.pixel(200 + x, 100 + y);
                                         if (!outline.contains(QPoint(x, y))) {
                                             ++cut;
                                             wrong += seen != desktop.pixel(200 + x, 100 + y);
                                         } else {
                                             ++drawn;
                                             wrong += (seen & 0xFFFFFF) == 0xFF00FF;
                                         }
                                     }
                                 }
                                 return wrong == 0;
                             }()),
                             5000);
    QVERIFY(cut > 0 && drawn > 0);
    QVERIFY(!shot.isNull());

    // F10 typed on the clock: it ends and has stored its place.
    run("xdotool", {"windowactivate", "--sync", id, "key", "--window", id, "F10"});
    QVERIFY(clock.waitForFinished(10000));
    QCOMPARE(clock.exitStatus(), QProcess::NormalExit);
    QCOMPARE(clock.exitCode(), 0);
    QCOMPARE(Store::get("Settings", "LeftStart", ""), QString("3000"));
    QCOMPARE(Store::get("Settings", "TopStart", ""), QString("1500"));
    QCOMPARE(Store::get("Settings", "OnTop", ""), QString("False"));
}

QTEST_MAIN(SysClock)
#include "sys_clock.moc"
