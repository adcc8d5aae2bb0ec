// The clock window under the mouse, the keys and the tray icon: dragging by
// the face and by the caption, snapping to the edges, double-clicks, the
// quick-show trigger, the popup menu, tray events, and the key signals.
#include "csystrayicon.h"
#include "frmmain.h"
#include "frmmenu.h"
#include "keys.h"
#include "keysignal.h"
#include "seams.h"
#include "skin.h"
#include "store.h"
#include "testenv.h"

#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTimer>

static TestEnv testEnv;

namespace {

class FakeBackend : public TrayBackend {
public:
    bool notify(Message message, const NotifyIconData&) override {
        sent << message;
        return !refuse;
    }
    quint32 lastError() const override { return refuse ? TrayBackend::ErrorNoTray : 0; }
    QList<Message> sent;
    bool refuse = false;
};

class FakeProcesses : public Seams::Processes {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override {
        started << (QStringList{program} + arguments).join(' ');
        return true;
    }
    QStringList started;
};

class FakeMessages : public Seams::Messages {
public:
    QMessageBox::StandardButton ask(QWidget*, QMessageBox::Icon, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons) override {
        shown << title + ": " + text;
        return QMessageBox::Ok;
    }
    void tell(QWidget*, QMessageBox::Icon, const QString& title, const QString& text) override {
        shown << title + ": " + text;
    }
    void beep() override {}
    QStringList shown;
};

FakeBackend* lastBackend = nullptr;
bool refuseTray = false;

// A skin of the own format: a 120 x 40 face with magenta corners and a
// 40 x 40 hidden face, the caption at 30, 10.
QString makeSkin(const QString& dir) {
    QImage face(120, 40, QImage::Format_RGB32);
    face.fill(QColor(200, 120, 40));
    face.setPixelColor(0, 0, QColor(255, 0, 255));
    face.save(dir + "/face.png");
    QImage dial(40, 40, QImage::Format_RGB32);
    dial.fill(QColor(30, 60, 200));
    dial.save(dir + "/dial.png");
    QFile ini(dir + "/test.ini");
    if (!ini.open(QIODevice::WriteOnly))
        return QString();
    ini.write("[skin]\nname=Test\n[background]\nimage=face.png\nhideimage=dial.png\n"
              "width=120\nheight=40\n[clock]\noffset=30,10\nwidth=80\nheight=20\n");
    return dir + "/";
}

void save(const char* section, const QString& key, const QString& value) {
    QVERIFY(Store::save(QLatin1String(section), key, value));
}

// Sends a mouse event to `target` with the pointer at `global` on the screen.
void mouse(QWidget* target, QEvent::Type type, const QPoint& global, Qt::MouseButton button,
           Qt::MouseButtons buttons) {
    const QPointF local = target->mapFromGlobal(QPointF(global));
    QMouseEvent event(type, local, QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void press(QWidget* t, QPoint g, Qt::MouseButton b = Qt::LeftButton) {
    mouse(t, QEvent::MouseButtonPress, g, b, b);
}
void release(QWidget* t, QPoint g, Qt::MouseButton b = Qt::LeftButton) {
    mouse(t, QEvent::MouseButtonRelease, g, b, Qt::NoButton);
}
void dclick(QWidget* t, QPoint g, Qt::MouseButton b = Qt::LeftButton) {
    mouse(t, QEvent::MouseButtonDblClick, g, b, b);
}
void moveTo(QWidget* t, QPoint g, Qt::MouseButtons held = Qt::LeftButton) {
    mouse(t, QEvent::MouseMove, g, Qt::NoButton, held);
}

// Closes the popup menu that will open next, and tells whether one opened.
struct MenuWatch {
    explicit MenuWatch(QMenu* menu) : spy(menu, &QMenu::aboutToShow) {
        QTimer::singleShot(50, [] {
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
        });
    }
    QSignalSpy spy;
};

} // namespace

class TestInteraction : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dragByFaceAndCaption_data();
    void dragByFaceAndCaption();
    void releaseSnapsWhenDocking_data();
    void releaseSnapsWhenDocking();
    void doubleClickTogglesOnce_data();
    void doubleClickTogglesOnce();
    void quickShowStartsOnceUntilItEnds();
    void rightPressOpensMenu_data();
    void rightPressOpensMenu();
    void trayEvents();
    void minimizeAndRestore();
    void minimizeDisabledWithoutTray();
    void skinReloadShowsMinimizedClock();
    void keysWhileHidden();
    void f5KeepsPlaceAndClearsTooltip();
    void quitStoresModulesAndPlace();

private:
    QTemporaryDir skinDir;
    frmMain* clock = nullptr;
    FakeProcesses processes;
    FakeMessages messages;
    QPoint origin; // the window's top-left corner on the screen
};

void TestInteraction::initTestCase() {
    QVERIFY(!makeSkin(skinDir.path()).isEmpty());
    CSystrayIcon::setBackendFactory([] {
        lastBackend = new FakeBackend;
        lastBackend->refuse = refuseTray;
        return lastBackend;
    });
    Seams::setProcesses(&processes);
    Seams::setMessages(&messages);
}

void TestInteraction::init() {
    testEnv.clearStore();
    processes = FakeProcesses();
    messages = FakeMessages();
    save(Keys::Section::Skin, "Dir", skinDir.path() + "/");
    save(Keys::Section::Skin, "Name", "test.ini");
    save(Keys::Section::Skin, "Type", "dm");
    save(Keys::Section::Settings, "LeftStart", "4500"); // 300 px
    save(Keys::Section::Settings, "TopStart", "3000");  // 200 px
    clock = new frmMain;
    QVERIFY(clock->start());
    QVERIFY(clock->isVisible());
    origin = clock->pos();
    QCOMPARE(origin, QPoint(300, 200));
}

void TestInteraction::cleanup() {
    delete clock;
    clock = nullptr;
    refuseTray = false;
}

// The pointer is pressed on the face or on the caption and moved in steps; the
// window follows so that the pressed point stays under the pointer.
void TestInteraction::dragByFaceAndCaption_data() {
    QTest::addColumn<bool>("onCaption");
    QTest::addColumn<QPoint>("by");
    QTest::newRow("face") << false << QPoint(150, -70);
    QTest::newRow("caption") << true << QPoint(150, -70);
    QTest::newRow("caption, off the screen's left") << true << QPoint(-400, 30);
}

void TestInteraction::dragByFaceAndCaption() {
    QFETCH(bool, onCaption);
    QFETCH(QPoint, by);
    QWidget* target = onCaption ? static_cast<QWidget*>(clock->lblClock) : clock;
    const QPoint grab =
        onCaption ? clock->lblClock->mapToGlobal(QPoint(5, 5)) : clock->mapToGlobal(QPoint(8, 30));
    const QPoint inWindow = clock->mapFromGlobal(grab);
    press(target, grab);
    for (int step = 1; step <= 4; ++step) {
        const QPoint pointer = grab + by * step / 4;
        moveTo(target, pointer);
        QCOMPARE(clock->mapToGlobal(inWindow), pointer);
    }
    release(target, grab + by);
    QCOMPARE(clock->pos(), origin + by);
    // After the release a move no longer drags.
    moveTo(target, grab, Qt::NoButton);
    QCOMPARE(clock->pos(), origin + by);
}

// Released with docking on, the window snaps to the edges of its screen; the
// distance is read at every release.
void TestInteraction::releaseSnapsWhenDocking_data() {
    QTest::addColumn<bool>("dock");
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QPoint>("to"); // window's corner before the release
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("19 from left") << true << "20" << QPoint(19, 300) << QPoint(0, 300);
    QTest::newRow("20 from left") << true << "20" << QPoint(20, 300) << QPoint(20, 300);
    QTest::newRow("above the top") << true << "20" << QPoint(200, -15) << QPoint(200, 0);
    QTest::newRow("above the top, no docking")
        << false << "20" << QPoint(200, -15) << QPoint(200, -15);
    QTest::newRow("distance 50") << true << "50" << QPoint(45, 300) << QPoint(0, 300);
    QTest::newRow("distance malformed: 20") << true << "abc" << QPoint(19, 300) << QPoint(0, 300);
    QTest::newRow("plain click snaps") << true << "20" << QPoint(5, 5) << QPoint(0, 0);
}

void TestInteraction::releaseSnapsWhenDocking() {
    QFETCH(bool, dock);
    QFETCH(QString, distance);
    QFETCH(QPoint, to);
    QFETCH(QPoint, expected);
    clock->dock = dock;
    save(Keys::Section::Settings, "DockDistance", distance);
    const QPoint screen = clock->screen()->geometry().topLeft();
    clock->move(screen + to);
    const QPoint at = clock->mapToGlobal(QPoint(10, 10));
    press(clock, at);
    release(clock, at);
    QCOMPARE(clock->pos(), screen + expected);
}

// Qt delivers a double-click as press, release, double-click, release: the
// hide mode toggles once, and the second press starts nothing.
void TestInteraction::doubleClickTogglesOnce_data() {
    QTest::addColumn<bool>("onCaption");
    QTest::newRow("face") << false;
    QTest::newRow("caption") << true;
}

void TestInteraction::doubleClickTogglesOnce() {
    QFETCH(bool, onCaption);
    QWidget* target = onCaption ? static_cast<QWidget*>(clock->lblClock) : clock;
    const QPoint at = target->mapToGlobal(QPoint(4, 4));
    QVERIFY(!clock->hideMode);
    press(target, at);
    release(target, at);
    dclick(target, at);
    release(target, at);
    QVERIFY(clock->hideMode);
    QCOMPARE(clock->face(), clock->imgHide->picture());
    QVERIFY(!clock->lblClock->isVisible());

    // Back again, on the window (the caption is hidden now).
    const QPoint on = clock->mapToGlobal(QPoint(4, 4));
    press(clock, on);
    release(clock, on);
    dclick(clock, on);
    release(clock, on);
    QVERIFY(!clock->hideMode);
    QCOMPARE(clock->face(), clock->imgShow->picture());
    QVERIFY(clock->lblClock->isVisible());
    QCOMPARE(clock->pos(), origin); // nothing dragged it
}

void TestInteraction::quickShowStartsOnceUntilItEnds() {
    clock->hideMode = true;
    clock->skin()->setHide(true);
    clock->quickShow = 1;
    const QPoint at = clock->mapToGlobal(QPoint(5, 5));
    moveTo(clock, at, Qt::NoButton);
    QCOMPARE(clock->quickShow, qint16(2));
    QVERIFY(clock->hideMode);
    QCOMPARE(clock->face(), clock->imgShow->picture());
    // Further moves do nothing while it runs.
    clock->skin()->setHide(true);
    moveTo(clock, at + QPoint(1, 0), Qt::NoButton);
    QCOMPARE(clock->face(), clock->imgHide->picture());
    // Once it has ended (state 1 again) the next move starts another.
    clock->quickShow = 1;
    moveTo(clock, at, Qt::NoButton);
    QCOMPARE(clock->quickShow, qint16(2));
    QCOMPARE(clock->face(), clock->imgShow->picture());

    // Off, or not in hide mode: nothing.
    clock->quickShow = 0;
    clock->skin()->setHide(true);
    moveTo(clock, at, Qt::NoButton);
    QCOMPARE(clock->face(), clock->imgHide->picture());
    clock->hideMode = false;
    clock->quickShow = 1;
    moveTo(clock, at, Qt::NoButton);
    QCOMPARE(clock->quickShow, qint16(1));
}

void TestInteraction::rightPressOpensMenu_data() {
    QTest::addColumn<bool>("onCaption");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("opens");
    QTest::newRow("right on face") << false << int(Qt::RightButton) << true;
    QTest::newRow("right on caption") << true << int(Qt::RightButton) << true;
    QTest::newRow("middle") << false << int(Qt::MiddleButton) << false;
}

void TestInteraction::rightPressOpensMenu() {
    QFETCH(bool, onCaption);
    QFETCH(int, button);
    QFETCH(bool, opens);
    QWidget* target = onCaption ? static_cast<QWidget*>(clock->lblClock) : clock;
    const QPoint at = target->mapToGlobal(QPoint(3, 3));
    MenuWatch watch(clock->menu()->mnuPopup);
    press(target, at, Qt::MouseButton(button));
    QTRY_COMPARE_WITH_TIMEOUT(watch.spy.size(), opens ? 1 : 0, opens ? 2000 : 200);
    release(target, at, Qt::MouseButton(button));
    QCOMPARE(clock->pos(), origin);
}

// 513 focuses a visible clock, 515 toggles its hide mode, 516 opens the menu
// also while the clock is hidden; codes for a hidden clock do nothing else.
void TestInteraction::trayEvents() {
    QVERIFY(lastBackend);
    QVERIFY(clock->SysIcon->Visible());
    emit lastBackend->activated(513);
    emit lastBackend->activated(515);
    QVERIFY(clock->hideMode);
    emit lastBackend->activated(515);
    QVERIFY(!clock->hideMode);

    clock->menu()->mnuMin_Click();
    QVERIFY(!clock->isVisible());
    emit lastBackend->activated(513);
    emit lastBackend->activated(515);
    QVERIFY(!clock->hideMode);
    QVERIFY(!clock->isVisible());

    MenuWatch watch(clock->menu()->mnuPopup);
    emit lastBackend->activated(516);
    QTRY_COMPARE_WITH_TIMEOUT(watch.spy.size(), 1, 2000);
    QVERIFY(!clock->isVisible());
}

void TestInteraction::minimizeAndRestore() {
    frmMenu* menu = clock->menu();
    QCOMPARE(menu->mnuMin->text(), QStringLiteral("Minimize"));
    menu->mnuMin->trigger();
    QVERIFY(!clock->isVisible());
    QCOMPARE(menu->mnuMin->text(), QStringLiteral("Restore"));
    menu->mnuMin->trigger();
    QVERIFY(clock->isVisible());
    QCOMPARE(menu->mnuMin->text(), QStringLiteral("Minimize"));
    QCOMPARE(clock->pos(), origin);
}

// Without a notification area the clock runs, the refusal raises NIError, and
// Minimize is not offered: nothing would bring the clock back.
void TestInteraction::minimizeDisabledWithoutTray() {
    auto watchEnabled = [this] {
        MenuWatch watch(clock->menu()->mnuPopup);
        bool enabled = false;
        QObject::connect(clock->menu()->mnuPopup, &QMenu::aboutToShow, clock,
                         [&] { enabled = clock->menu()->mnuMin->isEnabled(); });
        clock->menu()->popup(clock->mapToGlobal(QPoint(2, 2)));
        return enabled;
    };
    QVERIFY(watchEnabled());

    delete clock;
    refuseTray = true;
    clock = new frmMain;
    QVERIFY(clock->start());
    QVERIFY(clock->isVisible());
    QVERIFY(!clock->SysIcon->Visible());
    QVERIFY(!watchEnabled());
}

// F2 loads the skin, which shows the clock again: the menu then offers
// Minimize, not Restore.
void TestInteraction::skinReloadShowsMinimizedClock() {
    frmMenu* menu = clock->menu();
    menu->mnuMin->trigger();
    QVERIFY(!clock->isVisible());
    clock->keyDown(KeySignal::F2);
    QVERIFY(clock->isVisible());
    MenuWatch watch(menu->mnuPopup);
    menu->popup(clock->mapToGlobal(QPoint(2, 2)));
    QCOMPARE(watch.spy.size(), 1);
    QCOMPARE(menu->mnuMin->text(), QStringLiteral("Minimize"));
    QVERIFY(menu->mnuMin->isEnabled());
}

// The key signals reach the hidden clock: F5 and F10 leave it hidden.
void TestInteraction::keysWhileHidden() {
    clock->menu()->mnuMin->trigger();
    QVERIFY(!clock->isVisible());
    save(Keys::Section::Settings, "Dock", "1");
    // From another program, through the key signal.
    QVERIFY(clock->keySignals()->listen());
    QVERIFY(KeySignal::send(KeySignal::F5, false));
    QTRY_VERIFY(clock->dock);
    QVERIFY(!clock->isVisible());
    clock->keyDown(KeySignal::F10);
    QVERIFY(!clock->isVisible());
    QVERIFY(clock->isQuitting());
}

void TestInteraction::f5KeepsPlaceAndClearsTooltip() {
    clock->lblClock->setToolTip("Dec 8, 2001");
    clock->move(origin + QPoint(40, 30));
    save(Keys::Section::Settings, "OnTop", "True");
    save(Keys::Section::Settings, "TimeFormat", "h:mm");
    QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::ShiftModifier);
    QApplication::sendEvent(clock, &f5);
    QCOMPARE(clock->lblClock->toolTip(), QString());
    QCOMPARE(clock->pos(), origin + QPoint(40, 30));
    QVERIFY(clock->OnTop);
    QVERIFY(clock->menu()->mnuOnTop->isChecked());
    QCOMPARE(clock->timeFormat, QStringLiteral("h:mm"));
}

void TestInteraction::quitStoresModulesAndPlace() {
    clock->menu()->modules().add("/usr/bin/xterm");
    clock->menu()->syncModules();
    clock->move(origin + QPoint(15, 0));
    clock->menu()->mnuQuit->trigger();
    QVERIFY(clock->isQuitting());
    QVERIFY(!clock->isVisible());
    QVERIFY(!clock->SysIcon->Visible());
    QCOMPARE(Store::get("Modules", "Name0", "?"), QStringLiteral("xterm"));
    QCOMPARE(Store::get("Modules", "Exe0", "?"), QStringLiteral("/usr/bin/xterm"));
    QCOMPARE(Store::get("Modules", "Name1", "?"), QString());
    QCOMPARE(Store::get("Settings", "LeftStart", "?"), QStringLiteral("4725"));
    QCOMPARE(Store::get("Settings", "TopStart", "?"), QStringLiteral("3000"));
}

QTEST_MAIN(TestInteraction)
#include "tst_interaction.moc"
