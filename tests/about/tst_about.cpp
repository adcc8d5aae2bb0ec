// DMAbout: the version it shows, its labels, the drag by the background with
// the left button only, and the close mark.
#include "aboutdrag.h"
#include "aboutpicture.h"
#include "frmmain.h"
#include "store.h"
#include "testenv.h"
#include "twips.h"

#include <QtTest>

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QToolTip>
#include <memory>

static TestEnv testEnv;

namespace {

QRect twips(int l, int t, int w, int h) {
    const double fx = twipsPerPixelX(), fy = twipsPerPixelY();
    return QRect(qRound(l / fx), qRound(t / fy), qRound(w / fx), qRound(h / fy));
}

// A mouse event as the window system delivers it to `w`.
void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
           Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT

    std::unique_ptr<frmMain> win;

    void open() {
        win = std::make_unique<frmMain>();
        win->show();
        QVERIFY(QTest::qWaitForWindowExposed(win.get()));
    }
    // Presses `button` at `from` inside the window, moves the pointer by
    // `by`, releases; returns how far the window moved.
    QPoint dragBy(QWidget* target, QPoint from, QPoint by, Qt::MouseButton button) {
        const QPoint before = win->pos();
        mouse(target, QEvent::MouseButtonPress, from, button, button);
        // The pointer travels in two steps; each position is relative to
        // where the window is by then.
        const QPoint half = by / 2;
        const QPoint start = target->mapTo(win.get(), from);
        mouse(win.get(), QEvent::MouseMove, start + half - (win->pos() - before), Qt::NoButton,
              button);
        mouse(win.get(), QEvent::MouseMove, start + by - (win->pos() - before), Qt::NoButton,
              button);
        mouse(win.get(), QEvent::MouseButtonRelease, start + by - (win->pos() - before), button,
              Qt::NoButton);
        return win->pos() - before;
    }

private slots:
    void init() { testEnv.clearStore(); }
    void cleanup() { win.reset(); }

    void dragArithmetic_data();
    void dragArithmetic();
    void versionShown_data();
    void versionShown();
    void windowAndControls_data();
    void windowAndControls();
    void dragByBackground_data();
    void dragByBackground();
    void closeMark();
};

void TestAbout::dragArithmetic_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QPointF>("window"); // window's place at the press, twips
    QTest::addColumn<QPointF>("press");  // pointer in the window at the press
    QTest::addColumn<QPointF>("nowAt");  // window's place at the move
    QTest::addColumn<QPointF>("moveTo"); // pointer in the window at the move
    QTest::addColumn<bool>("moves");
    QTest::addColumn<QPointF>("expected");
    QTest::newRow("left, first move")
        << int(Qt::LeftButton) << QPointF(1500, 3000) << QPointF(300, 450) << QPointF(1500, 3000)
        << QPointF(450, 405) << true << QPointF(1650, 2955);
    // The pointer is 150 twips right of where it was pressed on the screen,
    // seen from a window that has moved meanwhile.
    QTest::newRow("left, window already moved")
        << int(Qt::LeftButton) << QPointF(1500, 3000) << QPointF(300, 450) << QPointF(1560, 2955)
        << QPointF(390, 450) << true << QPointF(1650, 2955);
    QTest::newRow("left, off the screen's left edge")
        << int(Qt::LeftButton) << QPointF(0, 0) << QPointF(300, 300) << QPointF(0, 0)
        << QPointF(0, 0) << true << QPointF(-300, -300);
    QTest::newRow("right") << int(Qt::RightButton) << QPointF(1500, 3000) << QPointF(300, 450)
                           << QPointF(1500, 3000) << QPointF(450, 405) << false << QPointF();
    QTest::newRow("middle") << int(Qt::MiddleButton) << QPointF(1500, 3000) << QPointF(300, 450)
                            << QPointF(1500, 3000) << QPointF(450, 405) << false << QPointF();
}

void TestAbout::dragArithmetic() {
    QFETCH(int, button);
    QFETCH(QPointF, window);
    QFETCH(QPointF, press);
    QFETCH(QPointF, nowAt);
    QFETCH(QPointF, moveTo);
    QFETCH(bool, moves);
    QFETCH(QPointF, expected);
    AboutDrag drag;
    QVERIFY(!drag.move(float(nowAt.x()), float(nowAt.y()), float(moveTo.x()), float(moveTo.y())));
    drag.press(Qt::MouseButton(button), float(window.x()), float(window.y()), float(press.x()),
               float(press.y()));
    QCOMPARE(drag.dragging, moves);
    const std::optional<QPointF> to =
        drag.move(float(nowAt.x()), float(nowAt.y()), float(moveTo.x()), float(moveTo.y()));
    QCOMPARE(bool(to), moves);
    if (to)
        QCOMPARE(*to, expected);
    drag.release();
    QVERIFY(!drag.move(float(nowAt.x()), float(nowAt.y()), float(moveTo.x()), float(moveTo.y())));
}

void TestAbout::versionShown_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");
    QTest::newRow("absent") << false << ""
                            << "Version 0";
    QTest::newRow("clock's") << true << "1.1.0"
                             << "Version 1.1.0";
    QTest::newRow("empty") << true << ""
                           << "Version ";
}

void TestAbout::versionShown() {
    QFETCH(bool, present);
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    if (present)
        QVERIFY(Store::save("Settings", "Version", stored));
    open();
    QCOMPARE(win->lblVersion->text(), expected);
    QVERIFY(!QFile::exists(testEnv.storeFile()) || present); // DMAbout writes nothing
}

void TestAbout::windowAndControls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<int>("alignment");
    QTest::newRow("lblVersion") << "lblVersion" << twips(2100, 600, 1290, 225)
                                << int(Qt::AlignLeft);
    QTest::newRow("Label1") << "Label1" << twips(585, 1020, 3060, 1215) << int(Qt::AlignLeft);
    QTest::newRow("Label3") << "Label3" << twips(1290, 2655, 1800, 195) << int(Qt::AlignRight);
    QTest::newRow("Label4") << "Label4" << twips(2190, 2850, 1635, 210) << int(Qt::AlignRight);
    QTest::newRow("Label2") << "Label2" << twips(255, 3150, 3675, 210) << int(Qt::AlignHCenter);
}

// Each label in its place, dark grey on the picture, its whole text shown.
void TestAbout::windowAndControls() {
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(int, alignment);
    open();
    QCOMPARE(win->windowTitle(), QStringLiteral("About Dialmere"));
    QVERIFY(win->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(win->size(), twips(0, 0, 4140, 3510).size());

    auto* label = win->findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->geometry(), place);
    QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), alignment);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(64, 64, 64));
    QVERIFY(!label->autoFillBackground());
    QVERIFY(!label->text().isEmpty());
    const QFontMetrics fm(label->font());
    const int needed = label->wordWrap() ? label->heightForWidth(label->width())
                                         : fm.horizontalAdvance(label->text());
    QVERIFY2(needed <= (label->wordWrap() ? label->height() : label->width()),
             qPrintable(QString::number(needed)));

    QCOMPARE(win->Line1->geometry(), QRect(twips(225, 3105, 0, 0).topLeft(),
                                           QSize(twips(225, 0, 3915 - 225, 0).width(), 1)));
    QVERIFY(win->Line1->testAttribute(Qt::WA_TransparentForMouseEvents));
}

void TestAbout::dragByBackground_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("moves");
    QTest::newRow("background, left") << "frmMain" << int(Qt::LeftButton) << true;
    QTest::newRow("background, right") << "frmMain" << int(Qt::RightButton) << false;
    QTest::newRow("description, left") << "Label1" << int(Qt::LeftButton) << false;
    QTest::newRow("version, left") << "lblVersion" << int(Qt::LeftButton) << false;
}

void TestAbout::dragByBackground() {
    QFETCH(QString, target);
    QFETCH(int, button);
    QFETCH(bool, moves);
    open();
    QWidget* w = target == "frmMain" ? win.get() : win->findChild<QWidget*>(target);
    QVERIFY(w);
    // Bare background below the description; a point inside a label.
    const QPoint at = w == win.get() ? QPoint(20, 160) : QPoint(5, 5);
    QVERIFY(win->childAt(w->mapTo(win.get(), at)) == (w == win.get() ? nullptr : w));
    const QPoint moved = dragBy(w, at, QPoint(40, -30), Qt::MouseButton(button));
    QCOMPARE(moved, moves ? QPoint(40, -30) : QPoint(0, 0));
    QVERIFY(!win->drag().dragging); // the release ended it

    // After the release, moving the pointer moves nothing.
    const QPoint before = win->pos();
    mouse(win.get(), QEvent::MouseMove, QPoint(60, 60), Qt::NoButton, Qt::NoButton);
    QCOMPARE(win->pos(), before);
}

void TestAbout::closeMark() {
    open();
    QWidget* spot = win->Image1;
    QCOMPARE(spot->objectName(), QStringLiteral("Image1"));
    QCOMPARE(spot->geometry(), twips(3735, 105, 330, 285));
    // The hot spot lies over the close mark of the picture.
    const double sx = double(win->width()) / AboutPicture::Width;
    const double sy = double(win->height()) / AboutPicture::Height;
    const QRect mark = AboutPicture::CloseMark;
    QVERIFY(spot->geometry().contains(
        QPoint(qRound(mark.center().x() * sx), qRound(mark.center().y() * sy))));

    // Hovering shows "Close".
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), spot->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(spot, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Close"));
    QToolTip::hideText();

    // A right click does nothing; a left click closes the window.
    QTest::mouseClick(spot, Qt::RightButton);
    QVERIFY(win->isVisible());
    QTest::mouseClick(spot, Qt::LeftButton);
    QVERIFY(!win->isVisible());

    // Without a frame, Escape is the keyboard's way to close it.
    open();
    QTest::keyClick(win.get(), Qt::Key_Escape);
    QVERIFY(!win->isVisible());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
