// The first start of the clock end to end, on a real X server with a window
// manager and a tray: with an empty store the clock opens the skin browser and
// shows no window; a skin chosen with the real pointer and keyboard brings the
// clock up in that skin's size and outline; Cancel ends the clock; Apply while
// the clock runs makes it reload.
#include "inireader.h"
#include "keysignal.h"
#include "modskin.h"
#include "store.h"
#include "sys_skinload_x.h"
#include "testenv.h"
#include "twips.h"

#include <QApplication>
#include <QSet>

static TestEnv testEnv;

namespace {

int px(int twips) {
    return qRound(twips / twipsPerPixelX());
}
int py(int twips) {
    return qRound(twips / twipsPerPixelY());
}
QString stored(const char* section, const char* key) {
    return Store::get(section, key, "<absent>");
}
QString skinsDir() {
    return QDir(X::binDir() + "/skins").canonicalPath();
}
// The skin folders in the order the folder list shows them.
QStringList skinFolders() {
    return QDir(skinsDir())
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                   QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
}

// Places inside the browser's window, from its layout in twips.
QPoint firstFileRow() {
    return QPoint(px(2130) + 30, py(15) + 8);
}
QPoint buttonCentre(int left) {
    return QPoint(px(left) + px(1050) / 2, py(4410) + py(435) / 2);
}
const int OkLeft = 4155, CancelLeft = 5280, ApplyLeft = 6390;

} // namespace

class TestFirstStart : public QObject {
    Q_OBJECT

private:
    QProcess m_tray;
    QProcess m_clock;
    QProcess m_browser; // started by the test itself, as the menu would

    // The tray's own windows (trayer's panel and what is embedded in it).
    QSet<QString> trayWindows() const {
        QSet<QString> ids;
        for (const QString& panel : X::xdo({"search", "--class", "trayer"}).split('\n')) {
            if (panel.isEmpty())
                continue;
            const QStringList lines = X::run("xwininfo", {"-tree", "-id", panel}).split('\n');
            for (const QString& line : lines) {
                const QString id = line.trimmed().section(' ', 0, 0);
                if (id.startsWith("0x"))
                    ids.insert(QString::number(id.toULongLong(nullptr, 16)));
            }
        }
        return ids;
    }
    // How many icons the clock has in the tray.
    int clockTrayIcons() const {
        QSet<QString> icons;
        for (const QString& panel : X::xdo({"search", "--class", "trayer"}).split('\n')) {
            if (panel.isEmpty())
                continue;
            const QStringList lines = X::run("xwininfo", {"-tree", "-id", panel}).split('\n');
            for (const QString& line : lines) {
                if (line.contains("\"Dialmere\""))
                    icons.insert(line.trimmed().section(' ', 0, 0));
            }
        }
        return int(icons.size());
    }
    // The clock's visible window (captioned "Dialmere", not its tray icon).
    QString clockWindow() const {
        const QSet<QString> tray = trayWindows();
        for (const QString& id :
             X::xdo({"search", "--onlyvisible", "--name", "^Dialmere$"}).split('\n')) {
            if (!id.isEmpty() && !tray.contains(id))
                return id;
        }
        return QString();
    }
    QString waitForClockWindow(int timeoutMs = 10000) const {
        QDeadlineTimer deadline(timeoutMs);
        QString id;
        while ((id = clockWindow()).isEmpty() && !deadline.hasExpired())
            QTest::qWait(100);
        return id;
    }

    void startClock() {
        m_clock.setWorkingDirectory(skinsDir());
        m_clock.start(X::binDir() + "/Dialmere", {});
        QVERIFY(m_clock.waitForStarted());
    }
    static bool ended(QProcess& p, int timeoutMs = 10000) {
        return p.state() == QProcess::NotRunning || p.waitForFinished(timeoutMs);
    }
    static void stop(QProcess& p) {
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished();
        }
    }

    // The clock's window stands in the skin's size and shows the skin's
    // picture cut to its outline: no magenta, the opaque pixels as drawn
    // (but for those under the time caption).
    void verifyClockShows(const QString& id, const QString& folder) {
        const QString dir = skinsDir() + "/" + folder + "/";
        const QString ini = dir + QDir(dir).entryList({"*.ini"}).value(0);
        const QImage face(dir + readIniValue(ini, "background", "image"));
        QVERIFY(!face.isNull());
        const QSize size(int(leadingNumber(readIniValue(ini, "background", "width"))),
                         int(leadingNumber(readIniValue(ini, "background", "height"))));
        QTRY_COMPARE_WITH_TIMEOUT(X::geometry(id).size(), size, 5000);
        QTest::qWait(300); // let it paint
        const X::ShapeCheck c = X::checkShape(face, X::grab(X::geometry(id)));
        QVERIFY(c.cutAway > 0);
        QCOMPARE(c.magentaShown, 0);
        QVERIFY2(
            c.opaqueShown > c.opaque * 7 / 10,
            qPrintable(QString("%1 of %2 opaque pixels shown").arg(c.opaqueShown).arg(c.opaque)));
    }

private slots:
    void initTestCase() {
        QVERIFY2(!X::binDir().isEmpty(), "DIALMERE_BIN_DIR is not set");
        QVERIFY(skinFolders().size() >= 2);
        // A tray host, so the clock's icon can be seen to come and go.
        if (X::xdo({"search", "--class", "trayer"}).isEmpty()) {
            m_tray.start("trayer", {"--edge", "bottom", "--align", "right", "--widthtype", "pixel",
                                    "--width", "120", "--height", "24"});
            QVERIFY(m_tray.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(!X::xdo({"search", "--class", "trayer"}).isEmpty(), 5000);
            QTest::qWait(300);
        }
    }
    void cleanupTestCase() { stop(m_tray); }
    void init() { testEnv.clearStore(); }
    void cleanup() {
        stop(m_browser);
        stop(m_clock);
    }

    // Empty store: the browser comes, the clock stays hidden; a skin chosen
    // and OK: the clock appears with it.
    void firstStartOk() {
        startClock();
        const QString browser = X::waitForWindow("Load Skin");
        QVERIFY2(!browser.isEmpty(), "the clock did not open the skin browser");
        QVERIFY(clockWindow().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(clockTrayIcons(), 1, 5000);

        // The browser opens on the skins folder (the clock's working folder):
        // into the folder list, down to the first skin folder, open it; click
        // its skin file, then OK.
        X::keys(browser, {"Tab", "Down", "Return"});
        X::click(browser, firstFileRow());
        QTest::qWait(300);
        QVERIFY(clockWindow().isEmpty());
        X::click(browser, buttonCentre(OkLeft));

        const QString id = waitForClockWindow();
        QVERIFY2(!id.isEmpty(), "the clock did not appear");
        QVERIFY(X::waitForWindowGone("Load Skin"));
        const QString folder = skinFolders().first();
        verifyClockShows(id, folder);
        QCOMPARE(stored("Skin", "Dir"), skinsDir() + "/" + folder + "/");
        QCOMPARE(stored("Skin", "Type"), QString("dm"));
        QCOMPARE(m_clock.state(), QProcess::Running);

        KeySignal::send(KeySignal::F10, true);
        QVERIFY(ended(m_clock));
    }

    // Empty store, Cancel: the message, then the clock ends, its tray icon is
    // gone, the cancel marker stays and the clock stored its settings.
    void firstStartCancel() {
        startClock();
        const QString browser = X::waitForWindow("Load Skin");
        QVERIFY2(!browser.isEmpty(), "the clock did not open the skin browser");
        QTRY_COMPARE_WITH_TIMEOUT(clockTrayIcons(), 1, 5000);

        X::click(browser, buttonCentre(CancelLeft));
        const QString box = X::waitForWindow("No Skin Selected");
        QVERIFY2(!box.isEmpty(), "no message came");
        QCOMPARE(m_clock.state(), QProcess::Running); // it waits for the user
        X::keys(box, {"Return"});

        QVERIFY2(ended(m_clock), "the clock did not end on the cancel marker");
        QCOMPARE(m_clock.exitStatus(), QProcess::NormalExit);
        QVERIFY(X::waitForWindowGone("Load Skin"));
        QCOMPARE(clockTrayIcons(), 0);
        QVERIFY(clockWindow().isEmpty());
        QCOMPARE(stored("Skin", "Dir"), QString("cancel"));
        QVERIFY(stored("Settings", "LeftStart") != "<absent>");
        QVERIFY(stored("Settings", "TopStart") != "<absent>");
        QVERIFY(stored("Settings", "OnTop") != "<absent>");
        QCOMPARE(stored("Modules", "Name0"), QString()); // the empty module list
    }

    // The clock runs with one skin; Apply in the browser switches it to
    // another, and the browser stays open.
    void applyWhileRunning() {
        const QStringList folders = skinFolders();
        const QString first = folders.at(0), second = folders.at(1);
        const QString secondDir = skinsDir() + "/" + second + "/";
        Store::save("Skin", "Dir", secondDir);
        Store::save("Skin", "Name", QDir(secondDir).entryList({"*.ini"}).value(0));
        Store::save("Skin", "Type", "dm");
        startClock();
        const QString id = waitForClockWindow();
        QVERIFY2(!id.isEmpty(), "the clock did not appear");
        verifyClockShows(id, second);

        m_browser.setWorkingDirectory(skinsDir());
        m_browser.start(X::binDir() + "/modules/DMSkinLoad", {});
        const QString browser = X::waitForWindow("Load Skin");
        QVERIFY(!browser.isEmpty());
        // The browser opens on the stored skin's folder: up to the skins
        // folder, open it, down to the first skin folder, open it.
        X::keys(browser, {"Tab", "Up", "Return", "Down", "Return"});
        X::click(browser, firstFileRow());
        QTest::qWait(300);
        X::click(browser, buttonCentre(ApplyLeft));

        verifyClockShows(id, first);
        QCOMPARE(stored("Skin", "Dir"), skinsDir() + "/" + first + "/");
        QVERIFY(X::windowShown("Load Skin"));
        QCOMPARE(m_browser.state(), QProcess::Running);

        // Cancel with a valid skin stored: the browser closes quietly, the
        // clock runs on.
        X::click(browser, buttonCentre(CancelLeft));
        QVERIFY(ended(m_browser));
        QCOMPARE(stored("Skin", "Dir"), skinsDir() + "/" + first + "/");
        QCOMPARE(m_clock.state(), QProcess::Running);
        KeySignal::send(KeySignal::F10, true);
        QVERIFY(ended(m_clock));
    }
};

QTEST_MAIN(TestFirstStart)
#include "sys_skinload_e2e.moc"
