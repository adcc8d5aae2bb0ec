// DMSettings: its controls, what it shows for stored values, and what OK,
// Apply, Cancel and the close box store and signal.
#include "frmmain.h"
#include "keys.h"
#include "keysignal.h"
#include "seams.h"
#include "store.h"
#include "testenv.h"
#include "twips.h"

#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

static TestEnv testEnv;

namespace {

const QString Section = QStringLiteral("Settings");
const QStringList KeyOrder = {"TimeFormat",   "DateFormat", "DateToolTip", "Dock",
                              "DockDistance", "OnTop",      "QuickShow",   "ShowTime"};

struct Write {
    QString section, key, text;
    bool operator==(const Write& o) const {
        return section == o.section && key == o.key && text == o.text;
    }
};

class FakeMessages : public Seams::Messages {
public:
    QStringList shown;
    QMessageBox::StandardButton ask(QWidget*, QMessageBox::Icon, const QString& title,
                                    const QString&, QMessageBox::StandardButtons) override {
        shown << title;
        return QMessageBox::Ok;
    }
    void tell(QWidget*, QMessageBox::Icon, const QString& title, const QString&) override {
        shown << title;
    }
    void beep() override {}
};

QRect twips(int l, int t, int w, int h) {
    const double fx = twipsPerPixelX(), fy = twipsPerPixelY();
    return QRect(qRound(l / fx), qRound(t / fy), qRound(w / fx), qRound(h / fy));
}

QVariant shown(QWidget* w) {
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    if (auto* c = qobject_cast<QCheckBox*>(w))
        return c->isChecked();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    return {};
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

    FakeMessages messages;
    std::unique_ptr<frmMain> win;
    QList<Write> writes;
    QList<QPair<int, bool>> signals_; // key, wait

    // A window on the current store whose writes and signals are recorded
    // (the writes still reach the store).
    void open() {
        writes.clear();
        signals_.clear();
        win = std::make_unique<frmMain>();
        win->setWriter([this](const QString& s, const QString& k, const QString& t) {
            writes.append({s, k, t});
            return Store::save(s, k, t);
        });
        win->setSignaller([this](int key, bool wait) {
            signals_.append({key, wait});
            return false;
        });
        win->show();
    }

private slots:
    void initTestCase() { Seams::setMessages(&messages); }
    void cleanupTestCase() { Seams::setMessages(nullptr); }
    void init() {
        testEnv.clearStore();
        messages.shown.clear();
    }
    void cleanup() { win.reset(); }

    void controls_data();
    void controls();
    void windowAndTabOrder();
    void emptyStoreShowsDefaults();
    void storedValuesShow_data();
    void storedValuesShow();
    void okAndApplyStoreAllKeysInOrder_data();
    void okAndApplyStoreAllKeysInOrder();
    void cancelAndCloseStoreNothing();
    void applyThenCancelKeepsApplied();
    void enterPressesOk();
    void okSignalsAfterStoringAndWaitsForTheClock();
    void okWithoutClockClosesQuietly();
    void refusedSaveIsReportedAndKeepsTheDialog();
};

void TestSettings::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("place");
    auto row = [](const char* name, const char* cls, const char* parent, const char* caption,
                  QRect place) {
        QTest::newRow(name) << name << cls << parent << caption << place;
    };
    row("fraFormat", "QGroupBox", "frmMain", "Format", twips(60, 15, 4575, 1185));
    row("lblTimeFormat", "QLabel", "fraFormat", "Time", twips(330, 330, 600, 195));
    row("cboTimeFormat", "QComboBox", "fraFormat", "", twips(2250, 270, 2220, 315));
    row("lblDateFormat", "QLabel", "fraFormat", "Date", twips(345, 780, 1080, 195));
    row("cboDateFormat", "QComboBox", "fraFormat", "", twips(2250, 720, 2220, 315));
    row("chkDateToolTip", "QCheckBox", "frmMain", "Date ToolTip", twips(225, 1350, 2310, 210));
    row("chkDock", "QCheckBox", "frmMain", "Dock to Edges", twips(225, 1755, 2310, 255));
    row("lblDockDistance", "QLabel", "frmMain", "Distance (pixels)", twips(2805, 1770, 1200, 210));
    row("txtDockDistance", "QLineEdit", "frmMain", "", twips(4035, 1740, 405, 285));
    row("chkOnTop", "QCheckBox", "frmMain", "Always on top", twips(225, 2205, 2310, 210));
    row("chkQuickShow", "QCheckBox", "frmMain", "QuickShow", twips(240, 2655, 2295, 240));
    row("lblShowTime", "QLabel", "frmMain", "Duration (sec)", twips(2805, 2655, 1125, 225));
    row("txtShowTime", "QLineEdit", "frmMain", "", twips(4020, 2610, 435, 285));
    row("cmdOK", "QPushButton", "frmMain", "&OK", twips(1605, 3240, 960, 390));
    row("cmdCancel", "QPushButton", "frmMain", "&Cancel", twips(2640, 3240, 975, 390));
    row("cmdApply", "QPushButton", "frmMain", "&Apply", twips(3690, 3240, 930, 375));
}

void TestSettings::controls() {
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parentName);
    QFETCH(QString, caption);
    QFETCH(QRect, place);
    open();
    auto* w = win->findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(w->metaObject()->className(), className);
    QCOMPARE(w->parentWidget()->objectName(), parentName);
    QCOMPARE(w->geometry(), place);
    if (!caption.isEmpty())
        QCOMPARE(w->property(w->inherits("QGroupBox") ? "title" : "text").toString(), caption);
    if (auto* box = qobject_cast<QCheckBox*>(w))
        QCOMPARE(box->layoutDirection(), Qt::RightToLeft); // box right of the caption
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        QVERIFY(combo->isEditable());
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        const QStringList timeFormats = {"hh:mm:ss", "hh:mm:ss ampm", "h:mm:ss", "h:mm:ss ampm"};
        const QStringList dateFormats = {"yy/mm/dd", "yyyy/mm/dd", "mmm d, yyyy", "mmm dd/yyyy"};
        QCOMPARE(items, name == "cboTimeFormat" ? timeFormats : dateFormats);
    }
}

void TestSettings::windowAndTabOrder() {
    open();
    QCOMPARE(win->windowTitle(), QStringLiteral("Settings"));
    QCOMPARE(win->size(), twips(0, 0, 4680, 3645).size());
    QVERIFY(!win->windowIcon().isNull());
    QVERIFY(win->cmdOK->isDefault());
    QVERIFY(!win->cmdCancel->isDefault() && !win->cmdApply->isDefault());

    const QList<QWidget*> expected = {win->cboTimeFormat, win->cboDateFormat,   win->chkDateToolTip,
                                      win->chkDock,       win->txtDockDistance, win->chkOnTop,
                                      win->chkQuickShow,  win->txtShowTime,     win->cmdOK,
                                      win->cmdCancel,     win->cmdApply};
    QList<QWidget*> order;
    QWidget* w = win->cboTimeFormat;
    do {
        if (expected.contains(w) && !order.contains(w))
            order << w;
        w = w->nextInFocusChain();
    } while (w != win->cboTimeFormat);
    QCOMPARE(order, expected);
}

void TestSettings::emptyStoreShowsDefaults() {
    open();
    QCOMPARE(win->cboTimeFormat->currentText(), QStringLiteral("hh:mm:ss"));
    QCOMPARE(win->cboDateFormat->currentText(), QStringLiteral("mmm d, yyyy"));
    QVERIFY(win->chkDateToolTip->isChecked());
    QVERIFY(!win->chkDock->isChecked());
    QCOMPARE(win->txtDockDistance->text(), QStringLiteral("20"));
    QVERIFY(!win->chkOnTop->isChecked());
    QVERIFY(win->chkQuickShow->isChecked());
    QCOMPARE(win->txtShowTime->text(), QStringLiteral("3"));
    QVERIFY(messages.shown.isEmpty());
}

void TestSettings::storedValuesShow_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QVariant>("expected");
    auto row = [](const char* tag, const char* key, const char* stored, const char* control,
                  QVariant expected) {
        QTest::newRow(tag) << key << stored << control << expected;
    };
    // Flags: the clock's "True"/"False" as well as this dialog's "1"/"0".
    row("OnTop True", "OnTop", "True", "chkOnTop", true);
    row("OnTop false any case", "OnTop", "false", "chkOnTop", false);
    row("OnTop 1", "OnTop", "1", "chkOnTop", true);
    row("OnTop 0", "OnTop", "0", "chkOnTop", false);
    row("OnTop malformed", "OnTop", "yes", "chkOnTop", false);
    row("Dock 1", "Dock", "1", "chkDock", true);
    row("Dock 0", "Dock", "0", "chkDock", false);
    row("Dock False", "Dock", "False", "chkDock", false);
    row("Dock TRUE", "Dock", "TRUE", "chkDock", true);
    row("Dock malformed", "Dock", "on", "chkDock", false);
    // Ticks: any non-zero number ticks, a text that is no number is the default.
    row("DateToolTip 0", "DateToolTip", "0", "chkDateToolTip", false);
    row("DateToolTip 1", "DateToolTip", "1", "chkDateToolTip", true);
    row("DateToolTip 2", "DateToolTip", "2", "chkDateToolTip", true);
    row("DateToolTip -1", "DateToolTip", "-1", "chkDateToolTip", true);
    row("DateToolTip 0.4", "DateToolTip", "0.4", "chkDateToolTip", false);
    row("DateToolTip True", "DateToolTip", "True", "chkDateToolTip", true);
    row("DateToolTip empty", "DateToolTip", "", "chkDateToolTip", true);
    row("QuickShow 0", "QuickShow", "0", "chkQuickShow", false);
    row("QuickShow malformed", "QuickShow", "off", "chkQuickShow", true);
    // Texts as stored, empty and odd ones included.
    row("TimeFormat own", "TimeFormat", "h:mm ampm", "cboTimeFormat", "h:mm ampm");
    row("DateFormat listed", "DateFormat", "yy/mm/dd", "cboDateFormat", "yy/mm/dd");
    row("DateFormat comma", "DateFormat", "mmm d, yyyy", "cboDateFormat", "mmm d, yyyy");
    row("DockDistance empty", "DockDistance", "", "txtDockDistance", "");
    row("DockDistance letters", "DockDistance", "far", "txtDockDistance", "far");
    row("ShowTime fraction", "ShowTime", "2.5", "txtShowTime", "2.5");
}

void TestSettings::storedValuesShow() {
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, control);
    QFETCH(QVariant, expected);
    QVERIFY(Store::save(Section, key, stored));
    open();
    QCOMPARE(shown(win->findChild<QWidget*>(control)), expected);
}

void TestSettings::okAndApplyStoreAllKeysInOrder_data() {
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("Apply") << false;
}

void TestSettings::okAndApplyStoreAllKeysInOrder() {
    QFETCH(bool, ok);
    QVERIFY(Store::save(Section, "OnTop", "True")); // as the clock leaves it
    open();
    win->cboTimeFormat->setEditText("h:mm ampm"); // typed, not in the list
    win->cboDateFormat->setCurrentIndex(1);
    win->chkDateToolTip->setChecked(false);
    win->chkDock->setChecked(true);
    win->txtDockDistance->setText("abc"); // stored as typed
    win->chkQuickShow->setChecked(false);
    win->txtShowTime->setText("");

    QTest::mouseClick(ok ? win->cmdOK : win->cmdApply, Qt::LeftButton);

    const QStringList texts = {"h:mm ampm", "yyyy/mm/dd", "0", "1", "abc", "1", "0", ""};
    QList<Write> expected;
    for (int i = 0; i < KeyOrder.size(); ++i)
        expected.append({Section, KeyOrder[i], texts[i]});
    QCOMPARE(writes, expected);
    for (int i = 0; i < KeyOrder.size(); ++i)
        QCOMPARE(Store::get(Section, KeyOrder[i], "<absent>"), texts[i]);
    QCOMPARE(signals_, (QList<QPair<int, bool>>{{KeySignal::F5, ok}})); // only OK waits
    QCOMPARE(win->isVisible(), !ok);
    QVERIFY(messages.shown.isEmpty());

    // Unchanged values are written again too.
    if (!ok) {
        writes.clear();
        QTest::mouseClick(win->cmdApply, Qt::LeftButton);
        QCOMPARE(writes, expected);
    }
}

void TestSettings::cancelAndCloseStoreNothing() {
    for (bool byCancel : {true, false}) {
        testEnv.clearStore();
        open();
        win->cboTimeFormat->setEditText("hh");
        win->chkOnTop->setChecked(true);
        if (byCancel)
            QTest::mouseClick(win->cmdCancel, Qt::LeftButton);
        else
            win->close();
        QVERIFY(!win->isVisible());
        QVERIFY(writes.isEmpty());
        QVERIFY(signals_.isEmpty());
        QVERIFY(!QFile::exists(testEnv.storeFile()));
    }
}

void TestSettings::applyThenCancelKeepsApplied() {
    open();
    win->cboTimeFormat->setEditText("h:mm:ss");
    QTest::mouseClick(win->cmdApply, Qt::LeftButton);
    win->cboTimeFormat->setEditText("hh");
    QTest::mouseClick(win->cmdCancel, Qt::LeftButton);
    QCOMPARE(Store::get(Section, "TimeFormat", ""), QStringLiteral("h:mm:ss"));
}

void TestSettings::enterPressesOk() {
    open();
    win->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(win.get()));
    QLineEdit* edit = win->cboTimeFormat->lineEdit();
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    edit->selectAll();
    // The start of a listed format, typed with the focus in the box: no
    // completion takes over the text or the Enter key.
    QTest::keyClicks(edit, "hh:mm");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(Store::get(Section, "TimeFormat", ""), QStringLiteral("hh:mm"));
    QCOMPARE(win->cboTimeFormat->count(), 4); // the typed format joins no list
    QVERIFY(!win->isVisible());
    QCOMPARE(signals_.size(), 1);
}

// With the real key signal and an in-process receiver standing in for the
// clock: the clock's handler runs before OK returns, and finds every new value
// already stored.
void TestSettings::okSignalsAfterStoringAndWaitsForTheClock() {
    QWidget clockWindow;
    QList<int> keys;
    QString formatSeen;
    KeySignalReceiver receiver(&clockWindow, [&](int key) {
        keys << key;
        formatSeen = Store::get(Section, "ShowTime", "");
    });
    QVERIFY(receiver.listen());

    win = std::make_unique<frmMain>();
    win->show();
    win->txtShowTime->setText("7");
    QTest::mouseClick(win->cmdOK, Qt::LeftButton);
    QCOMPARE(keys, QList<int>{KeySignal::F5});
    QCOMPARE(formatSeen, QStringLiteral("7"));
    QVERIFY(!win->isVisible());

    // Apply hands the key over without waiting for the clock.
    win = std::make_unique<frmMain>();
    win->show();
    QTest::mouseClick(win->cmdApply, Qt::LeftButton);
    QTRY_COMPARE(keys.size(), 2);
    QVERIFY(win->isVisible());
}

void TestSettings::okWithoutClockClosesQuietly() {
    win = std::make_unique<frmMain>(); // the real key signal; nothing listens
    win->show();
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(win->cmdOK, Qt::LeftButton);
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(!win->isVisible());
    QVERIFY(messages.shown.isEmpty());
    for (const QString& key : KeyOrder)
        QVERIFY2(Store::get(Section, key, "<absent>") != "<absent>", qPrintable(key));
}

void TestSettings::refusedSaveIsReportedAndKeepsTheDialog() {
    open();
    // A file where the store's folder belongs: nothing can be saved.
    QDir(testEnv.configDir() + "/Dialmere").removeRecursively();
    QFile blocker(testEnv.configDir() + "/Dialmere");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    win->txtShowTime->setText("9");
    QTest::mouseClick(win->cmdOK, Qt::LeftButton);
    QCOMPARE(messages.shown, QStringList{"Settings"});
    QVERIFY(win->isVisible());
    QCOMPARE(win->txtShowTime->text(), QStringLiteral("9"));
    QVERIFY(signals_.isEmpty());
    QCOMPARE(writes.size(), KeyOrder.size()); // every key was tried

    QTest::mouseClick(win->cmdApply, Qt::LeftButton);
    QCOMPARE(messages.shown.size(), 2);
    QVERIFY(signals_.isEmpty());

    QVERIFY(QFile::remove(testEnv.configDir() + "/Dialmere"));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
