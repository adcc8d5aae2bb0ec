// The companion dialogs as the user meets them: the built programs on an X
// server with a window manager, driven by real keys and pointer moves.
#include "keys.h"
#include "store.h"
#include "testenv.h"
#include "timeformat.h"

#include <QtTest>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <memory>

static TestEnv testEnv;

namespace {

QString binDir() {
    return QString::fromLocal8Bit(qgetenv("DIALMERE_BIN_DIR"));
}

QString modulePath(const QString& name) {
    return binDir() + "/modules/" + name;
}

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

QString xdo(const QStringList& args) {
    return run("xdotool", args);
}

// The visible window named exactly `name`, waiting for it to come.
QString waitForWindow(const QString& name, int timeoutMs = 10000) {
    const QDeadlineTimer deadline(timeoutMs);
    do {
        const QString ids = xdo(
            {"search", "--onlyvisible", "--name", "^" + QRegularExpression::escape(name) + "$"});
        if (!ids.isEmpty())
            return ids.split('\n').first();
        QTest::qWait(100);
    } while (!deadline.hasExpired());
    return {};
}

QRect windowRect(const QString& id) {
    QRect r;
    for (const QString& line : xdo({"getwindowgeometry", "--shell", id}).split('\n')) {
        const int value = line.section('=', 1).toInt();
        if (line.startsWith("X="))
            r.moveLeft(value);
        else if (line.startsWith("Y="))
            r.moveTop(value);
        else if (line.startsWith("WIDTH="))
            r.setWidth(value);
        else if (line.startsWith("HEIGHT="))
            r.setHeight(value);
    }
    return r;
}

QPoint windowPos(const QString& id) {
    return windowRect(id).topLeft();
}

QImage grab(const QRect& r) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, r.x(), r.y(), r.width(), r.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Whether what the screen shows in `r` changes within about a second, as a
// caption showing seconds does. A caption without seconds may change once,
// at a minute's turn, so it gets a second chance.
bool changesEverySecond(const QRect& r) {
    int changes = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QImage before = grab(r);
        QTest::qWait(1300);
        if (grab(r) != before)
            ++changes;
    }
    return changes == 2;
}

// Focuses the window and presses keys on the real keyboard.
void keys(const QString& id, const QStringList& names) {
    xdo({"windowactivate", "--sync", id});
    QTest::qWait(200);
    for (const QString& k : names) {
        xdo({"key", "--clearmodifiers", k});
        QTest::qWait(100);
    }
}

void type(const QString& text) {
    xdo({"type", "--delay", "30", text});
    QTest::qWait(100);
}

// Presses `button` at `from` (screen), moves the pointer by `by` in steps, releases.
void drag(QPoint from, QPoint by, int button) {
    xdo({"mousemove", "--sync", QString::number(from.x()), QString::number(from.y())});
    QTest::qWait(100);
    xdo({"mousedown", QString::number(button)});
    for (int step = 1; step <= 4; ++step) {
        const QPoint at = from + by * step / 4;
        xdo({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y())});
        QTest::qWait(50);
    }
    xdo({"mouseup", QString::number(button)});
    QTest::qWait(200);
}

// A program started as the clock starts a module; ended by the test if still
// running.
struct Module {
    QProcess process;
    explicit Module(const QString& name, const QString& path = QString()) {
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(path.isEmpty() ? modulePath(name) : path, {});
    }
    ~Module() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    bool endsWithin(int ms) {
        if (process.state() != QProcess::NotRunning && !process.waitForFinished(ms))
            return false;
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
};

QString settings(const char* key) {
    return Store::get(Keys::Section::Settings, key, "<absent>");
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void init() { testEnv.clearStore(); }

    void settingsOkWithoutClock();
    void settingsOkReloadsTheClock();
    void settingsEscapeStoresNothing();
    void alarmTypedTime();
    void aboutDragAndClose();
};

// Enter presses OK; with no clock running the values are stored and the
// dialog ends at once, without a message.
void TestDialogs::settingsOkWithoutClock() {
    Module m("DMSettings");
    const QString id = waitForWindow("Settings");
    QVERIFY(!id.isEmpty());
    keys(id, {"ctrl+a"}); // the time format box has the focus
    type("h:mm:ss ampm");
    QElapsedTimer timer;
    timer.start();
    keys(id, {"Return"});
    QVERIFY(m.endsWithin(3000));
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(settings("TimeFormat"), QStringLiteral("h:mm:ss ampm"));
    QCOMPARE(settings("DateFormat"), QStringLiteral("mmm d, yyyy"));
    QCOMPARE(settings("DateToolTip"), QStringLiteral("1"));
    QCOMPARE(settings("Dock"), QStringLiteral("0"));
    QCOMPARE(settings("DockDistance"), QStringLiteral("20"));
    QCOMPARE(settings("OnTop"), QStringLiteral("0"));
    QCOMPARE(settings("QuickShow"), QStringLiteral("1"));
    QCOMPARE(settings("ShowTime"), QStringLiteral("3"));
}

// The clock runs with a sample skin, showing seconds. In DMSettings the user
// types a format without seconds and presses Enter: every key is stored, the
// clock takes F5 before DMSettings ends (its reload writes Version again),
// stays on top as it was, and its caption stops changing every second.
void TestDialogs::settingsOkReloadsTheClock() {
    const QString skins = binDir() + "/skins/tidewater/";
    QVERIFY(QFile::exists(skins + "tidewater.ini"));
    QVERIFY(Store::save("Skin", "Type", "dm"));
    QVERIFY(Store::save("Skin", "Dir", skins));
    QVERIFY(Store::save("Skin", "Name", "tidewater.ini"));
    QVERIFY(Store::save("Settings", "OnTop", "True")); // as the clock leaves it
    QVERIFY(Store::save("Settings", "DateToolTip", "0"));

    Module clock("Dialmere", binDir() + "/Dialmere");
    const QString clockId = waitForWindow("Dialmere");
    QVERIFY(!clockId.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(settings("Version"), QStringLiteral("1.1.0"), 5000);
    QVERIFY(run("xprop", {"-id", clockId, "_NET_WM_STATE"}).contains("_NET_WM_STATE_ABOVE"));
    const QRect face = windowRect(clockId);
    QVERIFY(face.isValid());
    QVERIFY(changesEverySecond(face));

    // Only the clock's F5 reload writes this back.
    QVERIFY(Store::save("Settings", "Version", "reloaded?"));
    Module dialog("DMSettings");
    const QString id = waitForWindow("Settings");
    QVERIFY(!id.isEmpty());
    keys(id, {"ctrl+a"});
    type("hh:mm");
    keys(id, {"Return"});
    QVERIFY(dialog.endsWithin(5000));
    // DMSettings waited for the clock: the reload ran before it ended.
    QCOMPARE(settings("Version"), QStringLiteral("1.1.0"));
    QCOMPARE(settings("TimeFormat"), QStringLiteral("hh:mm"));
    QCOMPARE(settings("OnTop"), QStringLiteral("1"));
    QCOMPARE(settings("DateToolTip"), QStringLiteral("0"));
    for (const char* key : {"DateFormat", "Dock", "DockDistance", "QuickShow", "ShowTime"})
        QVERIFY2(settings(key) != "<absent>", key);

    QVERIFY(clock.process.state() == QProcess::Running);
    QVERIFY(run("xprop", {"-id", clockId, "_NET_WM_STATE"}).contains("_NET_WM_STATE_ABOVE"));
    QTest::qWait(300);
    QVERIFY(!changesEverySecond(face));
}

void TestDialogs::settingsEscapeStoresNothing() {
    Module m("DMSettings");
    const QString id = waitForWindow("Settings");
    QVERIFY(!id.isEmpty());
    keys(id, {"ctrl+a"});
    type("hh");
    keys(id, {"Escape"});
    QVERIFY(m.endsWithin(3000));
    QVERIFY(!QFile::exists(testEnv.storeFile()));
}

// The typed time is read as a person means it and stored as the clock
// compares it; the window keeps out of the taskbar.
void TestDialogs::alarmTypedTime() {
    Module m("DMAlarm");
    const QString id = waitForWindow("Alarm");
    QVERIFY(!id.isEmpty());
    QVERIFY(run("xprop", {"-id", id, "_NET_WM_STATE"}).contains("_NET_WM_STATE_SKIP_TASKBAR"));
    keys(id, {"ctrl+a"}); // the time box has the focus
    type("7:30 pm");
    keys(id, {"Return"});
    QVERIFY(m.endsWithin(3000));
    QCOMPARE(Store::get("Alarm", "Time", ""), formatTime(QTime(19, 30), "hh:mm:00"));
    QCOMPARE(Store::get("Alarm", "Type", ""), QStringLiteral("0"));
}

void TestDialogs::aboutDragAndClose() {
    QVERIFY(Store::save("Settings", "Version", "1.1.0"));
    Module m("DMAbout");
    const QString id = waitForWindow("About Dialmere");
    QVERIFY(!id.isEmpty());
    QVERIFY(run("xprop", {"-id", id, "_NET_WM_STATE"}).contains("_NET_WM_STATE_SKIP_TASKBAR"));
    QTest::qWait(300);
    const QPoint start = windowPos(id);

    // The right button moves nothing; the left one drags by the background.
    drag(start + QPoint(20, 160), QPoint(60, 40), 3);
    QCOMPARE(windowPos(id), start);
    drag(start + QPoint(20, 160), QPoint(60, 40), 1);
    QTRY_COMPARE(windowPos(id), start + QPoint(60, 40));
    // A press on the description starts no drag.
    drag(start + QPoint(60 + 100, 40 + 100), QPoint(-50, 30), 1);
    QCOMPARE(windowPos(id), start + QPoint(60, 40));

    // The "X" ends the program.
    const QPoint close = start + QPoint(60 + 260, 40 + 16);
    xdo({"mousemove", "--sync", QString::number(close.x()), QString::number(close.y())});
    QTest::qWait(100);
    xdo({"click", "1"});
    QVERIFY(m.endsWithin(3000));
}

QTEST_MAIN(TestDialogs)
#include "sys_dialogs.moc"
