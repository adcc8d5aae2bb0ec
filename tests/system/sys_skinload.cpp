// The skin browser on a real X server with a window manager: its window, the
// preview cut to the skin's outline on the screen, a choice made with the real
// pointer and keyboard, and the close box counting as Cancel.
#include "inireader.h"
#include "store.h"
#include "sys_skinload_x.h"
#include "testenv.h"
#include "twips.h"

#include <QApplication>

static TestEnv testEnv;

namespace {

int px(int twips) {
    return qRound(twips / twipsPerPixelX());
}
int py(int twips) {
    return qRound(twips / twipsPerPixelY());
}
QString stored(const char* key) {
    return Store::get("Skin", key, "<absent>");
}
QString skinsDir() {
    return QDir(X::binDir() + "/skins").canonicalPath();
}

} // namespace

class TestSkinLoadOnScreen : public QObject {
    Q_OBJECT

private:
    QProcess m_browser;
    QString m_window;

    void startBrowser() {
        m_browser.setWorkingDirectory(skinsDir());
        m_browser.start(X::binDir() + "/modules/DMSkinLoad", {});
        QVERIFY(m_browser.waitForStarted());
        m_window = X::waitForWindow("Load Skin");
        QVERIFY2(!m_window.isEmpty(), "the browser's window did not come");
        QTest::qWait(300); // let it paint
    }
    void storeSkin(const QString& folder, const QString& name) {
        Store::save("Skin", "Dir", skinsDir() + "/" + folder + "/");
        Store::save("Skin", "Name", name);
    }
    // waitForFinished() is false for a process that has already ended.
    bool browserEnded() {
        return m_browser.state() == QProcess::NotRunning || m_browser.waitForFinished(10000);
    }
    QRect client() const { return X::geometry(m_window); }

private slots:
    void init() { testEnv.clearStore(); }
    void cleanup() {
        if (m_browser.state() != QProcess::NotRunning) {
            m_browser.kill();
            m_browser.waitForFinished();
        }
    }

    void windowOnScreen() {
        startBrowser();
        QCOMPARE(client().size(), QSize(px(7485), py(4875)));
        const QString state = X::run("xprop", {"-id", m_window, "_NET_WM_STATE"});
        QVERIFY2(state.contains("_NET_WM_STATE_SKIP_TASKBAR"), qPrintable(state));
        const QString actions = X::run("xprop", {"-id", m_window, "_NET_WM_ALLOWED_ACTIONS"});
        QVERIFY2(actions.contains("_NET_WM_ACTION_CLOSE"), qPrintable(actions));
        QVERIFY2(!actions.contains("_NET_WM_ACTION_MAXIMIZE"), qPrintable(actions));
        QVERIFY2(!actions.contains("_NET_WM_ACTION_RESIZE"), qPrintable(actions));
    }

    // The stored skin is previewed cut to its outline: none of its magenta
    // shows; a double-click brings the hidden picture with its own outline.
    void previewIsShaped() {
        storeSkin("ember", "ember.ini");
        startBrowser();
        const QString ini = skinsDir() + "/ember/ember.ini";
        const QImage shown(skinsDir() + "/ember/" + readIniValue(ini, "background", "image"));
        const QImage hidden(skinsDir() + "/ember/" + readIniValue(ini, "background", "hideimage"));
        QVERIFY(!shown.isNull() && !hidden.isNull());

        const QRect box(client().topLeft() + QPoint(px(4260), py(15)), QSize(px(3180), py(2175)));
        X::ShapeCheck c = X::checkShape(shown, X::grab(box));
        QVERIFY(c.cutAway > 0 && c.opaque > 0);
        QCOMPARE(c.magentaShown, 0);
        QCOMPARE(c.opaqueShown, c.opaque);

        // Double-click an opaque pixel in the middle of the picture.
        const QPoint middle(shown.width() / 2, shown.height() / 2);
        QVERIFY(shown.pixel(middle) != qRgb(255, 0, 255));
        X::xdo({"mousemove", "--window", m_window, QString::number(px(4260) + middle.x()),
                QString::number(py(15) + middle.y())});
        QTest::qWait(100);
        X::xdo({"click", "--repeat", "2", "--delay", "60", "1"});
        QTest::qWait(500);
        c = X::checkShape(hidden, X::grab(box));
        QCOMPARE(c.magentaShown, 0);
        QCOMPARE(c.opaqueShown, c.opaque);
    }

    // Keyboard into the folder list, mouse onto the file and OK: the choice
    // is stored and the browser ends.
    void chooseAndOk() {
        startBrowser();
        // The lists open at the working folder, the skins folder; the focus is
        // in the file list. Tab to the folder list, down to the first skin
        // folder, open it.
        X::keys(m_window, {"Tab", "Down", "Return"});
        X::click(m_window, QPoint(px(2130) + 30, py(15) + 8)); // first file
        QTest::qWait(300);
        X::click(m_window, QPoint(px(4155) + px(1050) / 2, py(4410) + py(435) / 2)); // OK
        QVERIFY(browserEnded());
        QCOMPARE(m_browser.exitCode(), 0);

        const QString first =
            QDir(skinsDir())
                .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)
                .first();
        const QString dir = skinsDir() + "/" + first + "/";
        QCOMPARE(stored("Dir"), dir);
        QVERIFY(stored("Name").endsWith(".ini"));
        QVERIFY(QFileInfo::exists(dir + stored("Name")));
        QCOMPARE(stored("Type"), QString("dm"));
    }

    // Escape does nothing; the window manager's close is Cancel: with no valid
    // skin the message, then the cancel marker; with one, nothing.
    void closeBoxIsCancel() {
        startBrowser();
        X::keys(m_window, {"Escape"});
        QTest::qWait(300);
        QVERIFY(X::windowShown("Load Skin"));
        X::keys(m_window, {"alt+F4"});
        const QString box = X::waitForWindow("No Skin Selected");
        QVERIFY2(!box.isEmpty(), "no message came");
        QCOMPARE(stored("Dir"), QString("<absent>")); // the marker comes after the box
        X::keys(box, {"Return"});
        QVERIFY(browserEnded());
        QCOMPARE(stored("Dir"), QString("cancel"));

        storeSkin("ember", "ember.ini");
        startBrowser();
        X::keys(m_window, {"alt+F4"});
        QVERIFY(browserEnded());
        QCOMPARE(stored("Dir"), skinsDir() + "/ember/");
        QCOMPARE(stored("Name"), QString("ember.ini"));
    }
};

QTEST_MAIN(TestSkinLoadOnScreen)
#include "sys_skinload.moc"
