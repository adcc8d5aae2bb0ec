// Dragging and snapping arithmetic: the press point stays under the pointer,
// and dockToEdges snaps an edge closer than the docking distance.
#include "docking.h"
#include "testenv.h"

#include <QtTest>

static TestEnv testEnv;

class TestDocking : public QObject {
    Q_OBJECT

private slots:
    void dragKeepsPressPointUnderPointer_data();
    void dragKeepsPressPointUnderPointer();
    void dock_data();
    void dock();
    void dockOnSecondScreen();
    void dockInPixels();
};

// A window at (1500, 1500) twips, its caption at (300, 150) inside it. The
// pointer is pressed at a screen point and moved by (dx, dy); every element
// reports positions relative to itself.
void TestDocking::dragKeepsPressPointUnderPointer_data() {
    QTest::addColumn<QPointF>("elementOffset"); // the pressed element in the window
    QTest::addColumn<QPointF>("dxy");
    QTest::newRow("background") << QPointF(0, 0) << QPointF(450, -300);
    QTest::newRow("caption") << QPointF(300, 150) << QPointF(450, -300);
    QTest::newRow("caption, left and up beyond the screen")
        << QPointF(300, 150) << QPointF(-3000, -4500);
    QTest::newRow("no move") << QPointF(300, 150) << QPointF(0, 0);
}

void TestDocking::dragKeepsPressPointUnderPointer() {
    QFETCH(QPointF, elementOffset);
    QFETCH(QPointF, dxy);
    QPointF window(1500, 1500);
    const QPointF pressScreen(1500 + 400, 1500 + 200);
    const QPointF inElement = pressScreen - window - elementOffset;
    const Docking::DragState s =
        Docking::pressAt(window.x(), window.y(), inElement.x(), inElement.y());
    QVERIFY(s.dragging);
    QCOMPARE(s.dragStartLeft, 1500.f);

    // Move in three steps, each event relative to the window where it stands.
    for (int step = 1; step <= 3; ++step) {
        const QPointF pointer = pressScreen + dxy * step / 3;
        const QPointF local = pointer - window - elementOffset;
        window = Docking::dragTo(s, window.x(), window.y(), local.x(), local.y());
        // The press point is still under the pointer.
        QCOMPARE(window + elementOffset + inElement, pointer);
    }
    QCOMPARE(window, QPointF(1500, 1500) + dxy);
}

// Screen 1280 x 800 pixels, 15 twips per pixel, window 200 x 100 pixels.
void TestDocking::dock_data() {
    QTest::addColumn<int>("distance");
    QTest::addColumn<QPointF>("pixels"); // window's top-left corner before
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QPointF>("expected");
    const QSizeF win(200, 100);
    QTest::newRow("19 from left snaps") << 20 << QPointF(19, 300) << win << QPointF(0, 300);
    QTest::newRow("20 from left stays") << 20 << QPointF(20, 300) << win << QPointF(20, 300);
    QTest::newRow("19 from top snaps") << 20 << QPointF(500, 19) << win << QPointF(500, 0);
    QTest::newRow("20 from top stays") << 20 << QPointF(500, 20) << win << QPointF(500, 20);
    QTest::newRow("19 from right snaps") << 20 << QPointF(1061, 300) << win << QPointF(1080, 300);
    QTest::newRow("20 from right stays") << 20 << QPointF(1060, 300) << win << QPointF(1060, 300);
    QTest::newRow("19 from bottom snaps") << 20 << QPointF(500, 681) << win << QPointF(500, 700);
    QTest::newRow("20 from bottom stays") << 20 << QPointF(500, 680) << win << QPointF(500, 680);
    QTest::newRow("above the top") << 20 << QPointF(500, -40) << win << QPointF(500, 0);
    QTest::newRow("beyond left and bottom") << 20 << QPointF(-70, 790) << win << QPointF(0, 700);
    QTest::newRow("corner") << 20 << QPointF(1070, 5) << win << QPointF(1080, 0);
    QTest::newRow("taller than the screen")
        << 20 << QPointF(500, 100) << QSizeF(200, 900) << QPointF(500, 0);
    QTest::newRow("taller than the screen, 20 from top")
        << 20 << QPointF(500, 20) << QSizeF(200, 900) << QPointF(500, 0);
    QTest::newRow("wider than the screen")
        << 20 << QPointF(40, 300) << QSizeF(1400, 100) << QPointF(0, 300);
    QTest::newRow("middle stays (plain click)")
        << 20 << QPointF(600, 400) << win << QPointF(600, 400);
    QTest::newRow("distance 0: only beyond") << 0 << QPointF(0, 1) << win << QPointF(0, 1);
    QTest::newRow("distance 0, beyond") << 0 << QPointF(-1, -1) << win << QPointF(0, 0);
    QTest::newRow("negative distance") << -10 << QPointF(-5, 300) << win << QPointF(-5, 300);
}

void TestDocking::dock() {
    QFETCH(int, distance);
    QFETCH(QPointF, pixels);
    QFETCH(QSizeF, size);
    QFETCH(QPointF, expected);
    const QRectF screen(0, 0, 1280 * 15, 800 * 15);
    const QRectF window(pixels * 15, size * 15);
    QCOMPARE(Docking::dockToEdges(window, screen, distance, 15, 15), expected * 15);
}

// A second monitor right of the first: its own edges count.
void TestDocking::dockOnSecondScreen() {
    const QRectF screen(1280 * 15, 0, 1024 * 15, 768 * 15);
    const QRectF window((1280 + 10) * 15, 700 * 15, 200 * 15, 100 * 15);
    QCOMPARE(Docking::dockToEdges(window, screen, 20, 15, 15), QPointF(1280 * 15, 668 * 15));
}

void TestDocking::dockInPixels() {
    QCOMPARE(
        Docking::dockToEdgesPixels(QRect(5, 790, 200, 100), QRect(0, 0, 1280, 800), 20, 15, 15),
        QPoint(0, 700));
    // Another density: 12 twips per pixel (120 dpi).
    QCOMPARE(
        Docking::dockToEdgesPixels(QRect(1061, 300, 200, 100), QRect(0, 0, 1280, 800), 20, 12, 12),
        QPoint(1080, 300));
}

QTEST_MAIN(TestDocking)
#include "tst_docking.moc"
