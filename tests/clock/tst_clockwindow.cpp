// The clock window's life: settings read at start-up and on F5, the stored
// place kept on a screen, the on-top layer, the tick through the window, and
// the one quit path that stores everything.
#include "clockfakes.h"
#include "csystrayicon.h"
#include "frmmain.h"
#include "frmmenu.h"
#include "keys.h"
#include "keysignal.h"
#include "placement.h"
#include "skinfixture.h"
#include "store.h"
#include "testenv.h"

#include <QAction>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

static TestEnv testEnv;

namespace {

class FakeTray : public TrayBackend {
public:
    bool notify(Message message, const NotifyIconData&) override {
        sent.append(message);
        return true;
    }
    quint32 lastError() const override { return 0; }
    static inline QList<Message> sent;
};

QString setting(const char* key) {
    return Store::get("Settings", key, "<absent>");
}
void saveSetting(const char* key, const QString& v) {
    Store::save("Settings", key, v);
}

} // namespace

class TestClockWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void emptyStoreDefaults();
    void malformedValues_data();
    void malformedValues();
    void placement_data();
    void placement();
    void f5ClearsTooltipAndRereads();
    void onTopKeepsPlaceAndVisibility();
    void quitPaths_data();
    void quitPaths();
    void startUpShowsTrayIconAndSkin();
    void tickThroughTheWindow();

private:
    FakeClock clock;
    FakeMessages messages;
    FakeProcesses processes;
    frmMain* frm = nullptr;
};

void TestClockWindow::initTestCase() {
    quietOffscreenWarnings();
    CSystrayIcon::setBackendFactory([] { return new FakeTray; });
}

void TestClockWindow::cleanupTestCase() {
    CSystrayIcon::setBackendFactory({});
}

void TestClockWindow::init() {
    testEnv.clearStore();
    FakeTray::sent.clear();
    clock.time = QDateTime(QDate(2001, 12, 8), QTime(19, 5, 9));
    Seams::setClock(&clock);
    Seams::setMessages(&messages);
    Seams::setProcesses(&processes);
    frm = new frmMain;
}

void TestClockWindow::cleanup() {
    delete frm;
    frm = nullptr;
    Seams::setClock(nullptr);
    Seams::setMessages(nullptr);
    Seams::setProcesses(nullptr);
}

void TestClockWindow::emptyStoreDefaults() {
    frm->loadSettings(true);
    QCOMPARE(frm->pos(), QPoint(7, 7)); // 100 twips at 15 twips per pixel
    QVERIFY(frm->dateToolTip);
    QCOMPARE(frm->timeFormat, QString("hh:mm:ss"));
    QCOMPARE(frm->dateFormat, QString("mmm d, yyyy"));
    QVERIFY(!frm->dock);
    QVERIFY(!frm->OnTop);
    QVERIFY(!frm->menu()->mnuOnTop->isChecked());
    QVERIFY(!(frm->windowFlags() & Qt::WindowStaysOnTopHint));
    QCOMPARE(frm->quickShow, qint16(1));
    QCOMPARE(setting("Version"), QString("1.1.0"));
    QCOMPARE(frm->windowTitle(), QString("Dialmere"));
    QVERIFY(frm->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(frm->windowFlags() & Qt::Tool);
    QCOMPARE(frm->palette().color(QPalette::Window), QColor(255, 0, 255));
    QCOMPARE(frm->timTimer->objectName(), QString("timTimer"));
    QVERIFY(frm->findChild<QLabel*>("lblClock"));
    QVERIFY(!frm->windowIcon().isNull());
}

void TestClockWindow::malformedValues_data() {
    QTest::addColumn<QString>("value"); // stored for every key
    QTest::addColumn<bool>("flags");    // DateToolTip, OnTop
    QTest::addColumn<qint16>("quickShow");
    QTest::newRow("letters: defaults") << "soon" << false << qint16(1);
    QTest::newRow("empty: defaults") << "" << false << qint16(1);
    QTest::newRow("a number") << "2" << true << qint16(2);
    QTest::newRow("TRUE in capitals") << "TRUE" << true << qint16(1);
}

void TestClockWindow::malformedValues() {
    QFETCH(QString, value);
    QFETCH(bool, flags);
    QFETCH(qint16, quickShow);
    for (const char* key : {"LeftStart", "TopStart", "DateToolTip", "Dock", "OnTop", "QuickShow"})
        saveSetting(key, value);
    frm->loadSettings(true);
    QVERIFY(frm->dateToolTip || !flags); // the default of DateToolTip is on
    QCOMPARE(frm->OnTop, flags);
    QCOMPARE(frm->menu()->mnuOnTop->isChecked(), flags);
    QCOMPARE(frm->quickShow, quickShow);
    QVERIFY(frm->pos().x() >= 0 && frm->pos().x() < 200);
}

void TestClockWindow::placement_data() {
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QPoint>("expected");
    const QRect w(0, 0, 200, 50);
    QTest::newRow("on the screen") << w.translated(100, 100) << QPoint(100, 100);
    QTest::newRow("mostly off, a corner seen") << w.translated(1240, 760) << QPoint(1240, 760);
    QTest::newRow("a sliver only") << w.translated(1270, 100) << QPoint(1080, 100);
    QTest::newRow("beyond the right edge") << w.translated(2184, 2184) << QPoint(1080, 750);
    QTest::newRow("on a removed second screen") << w.translated(1500, 300) << QPoint(1080, 300);
    QTest::newRow("left and above") << w.translated(-500, -400) << QPoint(0, 0);
    QTest::newRow("nearer the second screen") << w.translated(1400, 1300) << QPoint(1400, 1030);
    QTest::newRow("larger than the screen") << QRect(-3000, 0, 2000, 1000) << QPoint(0, 0);
}

void TestClockWindow::placement() {
    QFETCH(QRect, window);
    QFETCH(QPoint, expected);
    QList<QRect> screens{QRect(0, 0, 1280, 800)};
    if (QByteArray(QTest::currentDataTag()).startsWith("nearer"))
        screens << QRect(1280, 800, 800, 280);
    QCOMPARE(placeOnScreens(window, screens), expected);
}

void TestClockWindow::f5ClearsTooltipAndRereads() {
    frm->loadSettings(true);
    frm->move(50, 60);
    frm->lblClock->setToolTip("Dec 8, 2001");
    saveSetting("TimeFormat", "h:mm:ss");
    saveSetting("LeftStart", "1500");
    saveSetting("OnTop", "1");
    frm->keyDown(KeySignal::F5);
    QCOMPARE(frm->lblClock->toolTip(), QString());
    QCOMPARE(frm->timeFormat, QString("h:mm:ss"));
    QVERIFY(frm->OnTop);
    QCOMPARE(frm->pos(), QPoint(50, 60)); // not moved
}

void TestClockWindow::onTopKeepsPlaceAndVisibility() {
    frm->setGeometry(120, 90, 80, 30);
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    for (bool on : {true, false, true}) {
        frm->menu()->mnuOnTop->trigger(); // the menu command flips the mark
        QCOMPARE(frm->OnTop, on);
        QCOMPARE(bool(frm->windowFlags() & Qt::WindowStaysOnTopHint), on);
        QCOMPARE(bool(frm->windowHandle()->flags() & Qt::WindowStaysOnTopHint), on);
        QVERIFY(frm->isVisible());
        QCOMPARE(frm->geometry(), QRect(120, 90, 80, 30));
    }
    // Not stored until the clock closes.
    QCOMPARE(setting("OnTop"), QString("<absent>"));
}

void TestClockWindow::quitPaths_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("F10") << "F10";
    QTest::newRow("Quit") << "Quit";
    QTest::newRow("close box") << "close";
}

void TestClockWindow::quitPaths() {
    QFETCH(QString, how);
    SkinFixture fixture;
    fixture.save("s", "face.png", SkinFixture::picture({60, 30}, Qt::darkBlue));
    SkinFixture::select(fixture.write("s", "s.ini", "[background]\nimage=face.png\n"), "s.ini",
                        "dm");
    Store::save("Modules", "Name0", "Tool");
    Store::save("Modules", "Exe0", "/usr/bin/tool");
    saveSetting("OnTop", "True");
    QVERIFY(frm->start());
    frm->move(30, 45);
    frm->menu()->mnuOnTop->trigger(); // off again: stored only at the end
    QSignalSpy ending(frm, &frmMain::programEnding);
    Store::save("Modules", "Name1", "Left over");
    if (how == "F10")
        frm->keyDown(KeySignal::F10);
    else if (how == "Quit")
        frm->menu()->mnuQuit->trigger();
    else
        QVERIFY(frm->close());
    QCOMPARE(ending.size(), 1);
    QVERIFY(frm->isQuitting());
    QVERIFY(!frm->isVisible());
    QVERIFY(!frm->timTimer->isActive());
    QCOMPARE(setting("LeftStart"), QString("450"));
    QCOMPARE(setting("TopStart"), QString("675"));
    QCOMPARE(setting("OnTop"), QString("False"));
    // The menu form stored the module list: one entry and the end pair.
    QCOMPARE(Store::get("Modules", "Name0", ""), QString("Tool"));
    QCOMPARE(Store::get("Modules", "Name1", "<absent>"), QString(""));
    QCOMPARE(FakeTray::sent.last(), TrayBackend::Delete);
    // A second quit does nothing more.
    frm->quitProgram();
    QCOMPARE(ending.size(), 1);
}

void TestClockWindow::startUpShowsTrayIconAndSkin() {
    SkinFixture fixture;
    fixture.save("s", "face.png", SkinFixture::picture({60, 30}, Qt::darkBlue));
    SkinFixture::select(fixture.write("s", "s.ini", "[background]\nimage=face.png\n"), "s.ini",
                        "dm");
    saveSetting("LeftStart", "3000");
    saveSetting("TopStart", "1500");
    QVERIFY(frm->start());
    QCOMPARE(FakeTray::sent, QList<TrayBackend::Message>{TrayBackend::Add});
    QCOMPARE(frm->SysIcon->TipText(), QString("Dialmere"));
    QCOMPARE(frm->SysIcon->CallbackMessage(), 512u);
    QVERIFY(frm->isVisible());
    QCOMPARE(frm->pos(), QPoint(200, 100));
    QCOMPARE(frm->lblClock->text(), QString("19:05:09"));
    QVERIFY(processes.started.isEmpty());
    // The tick is due just after the next whole second.
    QVERIFY(frm->timTimer->isActive());
    QCOMPARE(frm->timTimer->interval(), TickLogic::msUntilNextTick(clock.time));
}

void TestClockWindow::tickThroughTheWindow() {
    frm->loadSettings(false);
    frm->timeFormat = "h:mm:ss";
    frm->tick();
    QCOMPARE(frm->lblClock->text(), QString("19:05:09"));
    const QSize before = frm->lblClock->size();
    frm->timeFormat = "h:mm:ss, yyyy";
    clock.time = clock.time.addSecs(1);
    frm->tick();
    QCOMPARE(frm->lblClock->text(), QString("19:05:10, 1899"));
    QVERIFY(frm->lblClock->width() > before.width()); // the caption follows its text
    // Its minute: the tooltip appears.
    clock.time = QDateTime(QDate(2001, 12, 8), QTime(19, 6, 0));
    frm->tick();
    QCOMPARE(frm->lblClock->toolTip(), QString("Dec 8, 2001"));
}

QTEST_MAIN(TestClockWindow)
#include "tst_clockwindow.moc"
