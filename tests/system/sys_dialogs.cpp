// The companion dialogs as the user meets them: the built programs on an X
// server with a window manager, driven by real keys and pointer moves.
#include "keys.h"
#include "store.h"
#include "testenv.h"
#include "timeformat.h"

#include <QtTest>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <memory>

static TestEnv testEnv;

namespace {

QString modulePath(const QString& name) {
    return QString::fromLocal8Bit(qgetenv("DIALMERE_BIN_DIR")) + "/modules/" + name;
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

QPoint windowPos(const QString& id) {
    QPoint p;
    for (const QString& line : xdo({"getwindowgeometry", "--shell", id}).split('\n')) {
        if (line.startsWith("X="))
            p.setX(line.mid(2).toInt());
        else if (line.startsWith("Y="))
            p.setY(line.mid(2).toInt());
    }
    return p;
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

// A module started as the clock starts it; ended by the test if still running.
struct Module {
    QProcess process;
    explicit Module(const QString& name) {
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(modulePath(name), {});
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

QTEST_GUILESS_MAIN(TestDialogs)
#include "sys_dialogs.moc"
