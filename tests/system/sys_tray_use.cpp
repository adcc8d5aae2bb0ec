// Using the real clock on an X server with a window manager and a tray host:
// the tray icon, the popup menu from the clock and from the tray, Minimize and
// Restore, a key signal from another process, dragging and docking, and Quit.
#include "keys.h"
#include "keysignal.h"
#include "store.h"
#include "testenv.h"

#include <QtTest>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>

static TestEnv testEnv;

namespace {

QString binDir() {
    return QString::fromLocal8Bit(qgetenv("DIALMERE_BIN_DIR"));
}

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000))
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

QString xdotool(const QStringList& args) {
    return run(QStringLiteral("xdotool"), args);
}

// Every window of the clock's program (its class is the program name).
QStringList clockWindows(bool onlyVisible) {
    QStringList args{QStringLiteral("search")};
    if (onlyVisible)
        args << QStringLiteral("--onlyvisible");
    args << QStringLiteral("--class") << QStringLiteral("Dialmere");
    return xdotool(args).split('\n', Qt::SkipEmptyParts);
}

QRect geometry(const QString& window) {
    const QString out = xdotool({QStringLiteral("getwindowgeometry"), window});
    const QRegularExpressionMatch pos =
        QRegularExpression(QStringLiteral("Position: (-?\\d+),(-?\\d+)")).match(out);
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Geometry: (\\d+)x(\\d+)")).match(out);
    if (!pos.hasMatch() || !size.hasMatch())
        return QRect();
    return QRect(pos.captured(1).toInt(), pos.captured(2).toInt(), size.captured(1).toInt(),
                 size.captured(2).toInt());
}

// The size of the window's shape (its outline), e.g. "212x52".
QString shapeSize(const QString& window) {
    const QString out =
        run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window, QStringLiteral("-shape")});
    return QRegularExpression(QStringLiteral("shape extents:\\s+(\\d+x\\d+)"))
        .match(out)
        .captured(1);
}

bool isViewable(const QString& window) {
    return run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window})
        .contains(QStringLiteral("IsViewable"));
}

void click(const QPoint& at, int button) {
    xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
             QStringLiteral("click"), QString::number(button)});
}

void keys(const QStringList& names) {
    QStringList args{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")};
    xdotool(args + names);
}

} // namespace

class TestTrayUse : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void trayIconAppears();
    void rightClickOpensMenu();
    void minimizeAndRestoreFromTray();
    void doubleClickTogglesFaces();
    void keySignalFromAnotherProcessReloadsSettings();
    void dragMovesAndDocks();
    void quitStoresModulesAndPlace();

private:
    QRect clockGeometry() const { return geometry(m_window); }
    // A point on the skin's dial, beside the caption (no date tooltip there).
    QPoint onDial() const { return clockGeometry().topLeft() + QPoint(26, 26); }
    // Windows of the clock's program that are visible now, the clock and its
    // tray icon left out: an open popup menu.
    QStringList popups() const;
    // Opens the menu with a right click at `at` and picks the item `up`
    // places above the bottom one with the keyboard.
    void chooseFromMenu(const QPoint& at, int up);

    QProcess m_clock;
    QString m_window; // the clock window's id
    QString m_icon;   // the tray icon's window id
};

void TestTrayUse::initTestCase() {
    const QString skins = binDir() + "/skins/";
    QVERIFY2(QFile::exists(skins + "ember/ember.ini"), qPrintable(skins));
    Store::save("Skin", "Dir", skins + "ember/");
    Store::save("Skin", "Name", "ember.ini");
    Store::save("Skin", "Type", "dm");
    Store::save("Settings", "LeftStart", "6000"); // 400 px
    Store::save("Settings", "TopStart", "4500");  // 300 px
    Store::save("Settings", "Dock", "False");
    Store::save("Modules", "Name0", "Alpha");
    Store::save("Modules", "Exe0", "/bin/true");

    m_clock.setProcessChannelMode(QProcess::ForwardedChannels);
    m_clock.start(binDir() + "/Dialmere", {});
    QVERIFY(m_clock.waitForStarted(5000));
    // The clock window: visible, of the skin's size.
    QTRY_VERIFY_WITH_TIMEOUT(
        [this] {
            for (const QString& w : clockWindows(true)) {
                if (geometry(w).size() == QSize(212, 52))
                    m_window = w;
            }
            return !m_window.isEmpty();
        }(),
        10000);
    QTRY_COMPARE_WITH_TIMEOUT(clockGeometry().topLeft(), QPoint(400, 300), 5000);
}

void TestTrayUse::cleanupTestCase() {
    if (m_clock.state() != QProcess::NotRunning) {
        m_clock.kill();
        m_clock.waitForFinished(3000);
    }
}

QStringList TestTrayUse::popups() const {
    QStringList out;
    for (const QString& w : clockWindows(true)) {
        // A tooltip (the date on the caption, the tray icon's tip) is no menu.
        if (w != m_window && w != m_icon &&
            !run("xprop", {"-id", w, "_NET_WM_WINDOW_TYPE"}).contains("TOOLTIP"))
            out << w;
    }
    return out;
}

void TestTrayUse::chooseFromMenu(const QPoint& at, int up) {
    click(at, 3);
    QTRY_VERIFY_WITH_TIMEOUT(!popups().isEmpty(), 5000);
    QStringList names;
    for (int i = 0; i <= up; ++i)
        names << QStringLiteral("Up");
    names << QStringLiteral("Return");
    keys(names);
    QTRY_VERIFY_WITH_TIMEOUT(popups().isEmpty(), 5000);
}

// The icon is a small window embedded in the tray host's panel at the bottom
// right of the screen.
void TestTrayUse::trayIconAppears() {
    QTRY_VERIFY_WITH_TIMEOUT(
        [this] {
            for (const QString& w : clockWindows(true)) {
                const QRect g = geometry(w);
                if (w != m_window && g.width() <= 32 && g.top() >= 760)
                    m_icon = w;
            }
            return !m_icon.isEmpty();
        }(),
        10000);
}

void TestTrayUse::rightClickOpensMenu() {
    const QPoint at = onDial();
    click(at, 3);
    QTRY_VERIFY_WITH_TIMEOUT(!popups().isEmpty(), 5000);
    keys({QStringLiteral("Escape")});
    QTRY_VERIFY_WITH_TIMEOUT(popups().isEmpty(), 5000);
    QVERIFY(isViewable(m_window));
}

// "Minimize" is the item above "Quit" at the bottom of the menu.
void TestTrayUse::minimizeAndRestoreFromTray() {
    QVERIFY(!m_icon.isEmpty());
    chooseFromMenu(onDial(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!isViewable(m_window), 5000);
    // A left click on the icon does not bring it back.
    click(geometry(m_icon).center(), 1);
    QTest::qWait(300);
    QVERIFY(!isViewable(m_window));
    // The tray icon's menu does, with "Restore".
    chooseFromMenu(geometry(m_icon).center(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(isViewable(m_window), 5000);
    QCOMPARE(clockGeometry().topLeft(), QPoint(400, 300));
    // Shown again, it is still kept out of the taskbar.
    QTRY_VERIFY_WITH_TIMEOUT(
        run("xprop", {"-id", m_window, "_NET_WM_STATE"}).contains("_NET_WM_STATE_SKIP_TASKBAR"),
        3000);
}

// A real double-click switches to the hidden face (the skin's 52 x 52 dial)
// and back, once each.
void TestTrayUse::doubleClickTogglesFaces() {
    QCOMPARE(shapeSize(m_window), QStringLiteral("212x52"));
    const QPoint at = onDial();
    xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});
    QTest::qWait(100);
    xdotool({"click", "--repeat", "2", "--delay", "80", "1"});
    QTRY_COMPARE_WITH_TIMEOUT(shapeSize(m_window), QStringLiteral("52x52"), 3000);
    QTest::qWait(600); // longer than a double-click: the next two clicks are a new one
    xdotool({"click", "--repeat", "2", "--delay", "80", "1"});
    QTRY_COMPARE_WITH_TIMEOUT(shapeSize(m_window), QStringLiteral("212x52"), 3000);
    QCOMPARE(clockGeometry().topLeft(), QPoint(400, 300));
}

// DMSettings stores and sends F5: the clock reloads its settings (here: on
// top, and docking on) without moving.
void TestTrayUse::keySignalFromAnotherProcessReloadsSettings() {
    Store::save("Settings", "OnTop", "1");
    Store::save("Settings", "Dock", "1");
    Store::save("Settings", "DockDistance", "20");
    QVERIFY(KeySignal::send(KeySignal::F5, true, 5000));
    QTRY_VERIFY_WITH_TIMEOUT(
        run("xprop", {"-id", m_window, "_NET_WM_STATE"}).contains("_NET_WM_STATE_ABOVE"), 5000);
    QCOMPARE(clockGeometry().topLeft(), QPoint(400, 300));
}

// Dragging by the face moves the window with the pointer; released 10 pixels
// from the left edge it snaps to it (docking came on with F5).
void TestTrayUse::dragMovesAndDocks() {
    const QRect before = clockGeometry();
    const QPoint grab = before.topLeft() + QPoint(20, 26);
    auto dragBy = [&](const QPoint& by) {
        const QPoint from = clockGeometry().topLeft() + QPoint(20, 26);
        xdotool(
            {"mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown", "1"});
        for (int step = 1; step <= 5; ++step) {
            const QPoint p = from + by * step / 5;
            xdotool({"mousemove", QString::number(p.x()), QString::number(p.y())});
            QTest::qWait(30);
        }
        xdotool({"mouseup", "1"});
        QTest::qWait(300);
    };
    Q_UNUSED(grab);
    dragBy(QPoint(-120, 80));
    QTRY_COMPARE_WITH_TIMEOUT(clockGeometry().topLeft(), before.topLeft() + QPoint(-120, 80), 3000);
    // Now 10 pixels from the left edge.
    dragBy(QPoint(-(280 - 10), 0));
    QTRY_COMPARE_WITH_TIMEOUT(clockGeometry().topLeft(), QPoint(0, 380), 3000);
}

// "Quit" is the bottom item: the module list and then the window's place are
// stored, and the tray icon goes.
void TestTrayUse::quitStoresModulesAndPlace() {
    Store::save("Modules", "Name1", "left over");
    chooseFromMenu(onDial(), 0);
    QVERIFY(m_clock.waitForFinished(10000));
    QCOMPARE(m_clock.exitCode(), 0);
    QCOMPARE(Store::get("Modules", "Name0", "?"), QStringLiteral("Alpha"));
    QCOMPARE(Store::get("Modules", "Exe0", "?"), QStringLiteral("/bin/true"));
    QCOMPARE(Store::get("Modules", "Name1", "?"), QString());
    QCOMPARE(Store::get("Settings", "LeftStart", "?"), QStringLiteral("0"));
    QCOMPARE(Store::get("Settings", "TopStart", "?"), QStringLiteral("5700"));
    QCOMPARE(Store::get("Settings", "OnTop", "?"), QStringLiteral("True"));
    QVERIFY(clockWindows(true).isEmpty());
}

QTEST_MAIN(TestTrayUse)
#include "sys_tray_use.moc"
