// DMAlarm: reading typed times, its controls, what it shows for stored
// values, the enabling rule, and what OK, Apply, Cancel and the close box store.
#include "alarmtime.h"
#include "frmmain.h"
#include "keys.h"
#include "seams.h"
#include "store.h"
#include "testenv.h"
#include "timeformat.h"
#include "twips.h"

#include <QtTest>

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

static TestEnv testEnv;

namespace {

const QString Section = QStringLiteral("Alarm");

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

// What the dialog stores for a time of day, in this machine's locale.
QString stored(int h, int m) {
    return formatTime(QTime(h, m), QStringLiteral("hh:mm:00"));
}

} // namespace

class TestAlarm : public QObject {
    Q_OBJECT

    FakeMessages messages;
    std::unique_ptr<frmMain> win;
    QList<Write> writes;

    void open() {
        writes.clear();
        win = std::make_unique<frmMain>();
        win->setWriter([this](const QString& s, const QString& k, const QString& t) {
            writes.append({s, k, t});
            return Store::save(s, k, t);
        });
        win->show();
    }
    // (message enabled, program enabled)
    QPair<bool, bool> enabled() const {
        return {win->txtMessage->isEnabled(), win->txtProgram->isEnabled()};
    }

private slots:
    void initTestCase() { Seams::setMessages(&messages); }
    void cleanupTestCase() { Seams::setMessages(nullptr); }
    void init() {
        testEnv.clearStore();
        messages.shown.clear();
    }
    void cleanup() { win.reset(); }

    void timeText_data();
    void timeText();
    void controls_data();
    void controls();
    void windowAndTabOrder();
    void emptyStoreShowsDefaults();
    void storedValuesShow_data();
    void storedValuesShow();
    void typeChoiceEnables();
    void okAndApplyStoreInOrder_data();
    void okAndApplyStoreInOrder();
    void emptyTimeSwitchesOff();
    void unreadableTimeSwitchesOffVisibly();
    void cancelAndCloseStoreNothing();
    void refusedSaveIsReportedAndKeepsTheDialog();
};

void TestAlarm::timeText_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    auto en = [](const char* typed, const char* expected) {
        QTest::newRow(typed) << "en_US" << typed << expected;
    };
    // The examples people type, and what they mean.
    en("7:30", "07:30:00");
    en("7:30 pm", "19:30:00");
    en("19:30:45", "19:30:00");
    en("07:30:45", "07:30:00");
    en("19:30", "19:30:00");
    en("6:05", "06:05:00");
    en("7pm", "19:00:00");
    en("7 PM", "19:00:00");
    en("7:30PM", "19:30:00");
    en("7:30 p.m.", "19:30:00");
    en("7:30 a", "07:30:00");
    en("12 am", "00:00:00");
    en("12:15 pm", "12:15:00");
    en("19:30 pm", "19:30:00");
    en("0730", "07:30:00");
    en("730", "07:30:00");
    en("7", "07:00:00");
    en("193045", "19:30:00");
    en("7.30", "07:30:00");
    en("7h30", "07:30:00");
    en("19h", "19:00:00");
    en(" 7 : 30 ", "07:30:00");
    en("0:00", "00:00:00");
    en("23:59:59", "23:59:00");
    // Not a time of day: the alarm is off, visibly.
    en("99:99:99", "99:99:99");
    en("24:00", "99:99:99");
    en("7:60", "99:99:99");
    en("7:30:60", "99:99:99");
    en("13 am", "99:99:99");
    en("1:2:3:4", "99:99:99");
    en("7::30", "99:99:99");
    en("1234567", "99:99:99");
    en("noon", "99:99:99");
    en("pm", "99:99:99");
    en("-7:30", "99:99:99");
    en("7:030", "99:99:99");
    // The locale's own separator is read and written.
    QTest::newRow("fi 7.30") << "fi_FI"
                             << "7.30"
                             << "07.30.00";
    QTest::newRow("fi 19:30") << "fi_FI"
                              << "19:30"
                              << "19.30.00";
}

void TestAlarm::timeText() {
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QCOMPARE(alarmTimeText(typed, QLocale(locale)), expected);
}

void TestAlarm::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("place");
    auto row = [](const char* name, const char* cls, const char* parent, const char* caption,
                  QRect place) {
        QTest::newRow(name) << name << cls << parent << caption << place;
    };
    row("lblAlarmTime", "QLabel", "frmMain", "Alarm Time:", twips(120, 150, 1650, 195));
    row("txtAlarmTime", "QLineEdit", "frmMain", "", twips(2430, 105, 2175, 285));
    row("lblAlarmType", "QLabel", "frmMain", "Alarm Type:", twips(120, 630, 1620, 225));
    row("cboAlarmType", "QComboBox", "frmMain", "", twips(2430, 600, 2205, 315));
    row("fraMessage", "QGroupBox", "frmMain", "Message", twips(60, 975, 4575, 1080));
    row("txtMessage", "QPlainTextEdit", "fraMessage", "", twips(495, 300, 3960, 630));
    row("fraProgram", "QGroupBox", "frmMain", "Program", twips(60, 2085, 4575, 735));
    row("txtProgram", "QLineEdit", "fraProgram", "", twips(495, 240, 3960, 330));
    row("cmdOK", "QPushButton", "frmMain", "&OK", twips(1470, 2850, 1005, 420));
    row("cmdCancel", "QPushButton", "frmMain", "&Cancel", twips(2550, 2850, 1005, 420));
    row("cmdApply", "QPushButton", "frmMain", "&Apply", twips(3615, 2850, 1005, 420));
}

void TestAlarm::controls() {
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
}

void TestAlarm::windowAndTabOrder() {
    open();
    QCOMPARE(win->windowTitle(), QStringLiteral("Alarm"));
    QCOMPARE(win->size(), twips(0, 0, 4680, 3315).size());
    QCOMPARE(win->minimumSize(), win->maximumSize()); // a fixed frame
    const Qt::WindowFlags flags = win->windowFlags();
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(!win->windowIcon().isNull());
    QVERIFY(win->cmdOK->isDefault());
    QVERIFY(!win->cboAlarmType->isEditable());
    QCOMPARE(win->txtMessage->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QStringList items;
    for (int i = 0; i < win->cboAlarmType->count(); ++i)
        items << win->cboAlarmType->itemText(i);
    QCOMPARE(items, (QStringList{"Message Box", "Default Sound", "Start Program"}));

    const QList<QWidget*> expected = {win->txtAlarmTime, win->cboAlarmType, win->txtMessage,
                                      win->txtProgram,   win->cmdOK,        win->cmdCancel,
                                      win->cmdApply};
    QList<QWidget*> order;
    QWidget* w = win->txtAlarmTime;
    do {
        if (expected.contains(w) && !order.contains(w))
            order << w;
        w = w->nextInFocusChain();
    } while (w != win->txtAlarmTime);
    QCOMPARE(order, expected);
}

void TestAlarm::emptyStoreShowsDefaults() {
    open();
    QCOMPARE(win->txtAlarmTime->text(), QString());
    QCOMPARE(win->cboAlarmType->currentIndex(), 0);
    QCOMPARE(win->txtMessage->toPlainText(), QStringLiteral("Your message goes here!"));
    QCOMPARE(win->txtProgram->text(), QStringLiteral("calc.exe"));
    QCOMPARE(enabled(), qMakePair(true, false));
}

void TestAlarm::storedValuesShow_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("messageEnabled");
    QTest::addColumn<bool>("programEnabled");
    QTest::newRow("0") << "0" << 0 << true << false;
    QTest::newRow("1") << "1" << 1 << false << false;
    QTest::newRow("2") << "2" << 2 << false << true;
    QTest::newRow("1.6 rounds") << "1.6" << 2 << false << true;
    QTest::newRow("3") << "3" << 0 << true << false;
    QTest::newRow("255") << "255" << 0 << true << false;
    QTest::newRow("-1") << "-1" << 0 << true << false;
    QTest::newRow("letters") << "sound" << 0 << true << false;
    QTest::newRow("empty") << "" << 0 << true << false;
}

void TestAlarm::storedValuesShow() {
    QFETCH(QString, type);
    QFETCH(int, index);
    QFETCH(bool, messageEnabled);
    QFETCH(bool, programEnabled);
    QVERIFY(Store::save(Section, "Time", "99:99:99"));
    QVERIFY(Store::save(Section, "Message", "Line one\nline two"));
    QVERIFY(Store::save(Section, "Program", "xterm -e 'echo hi'"));
    QVERIFY(Store::save(Section, "Type", type));
    open();
    QCOMPARE(win->txtAlarmTime->text(), QStringLiteral("99:99:99"));
    QCOMPARE(win->txtMessage->toPlainText(), QStringLiteral("Line one\nline two"));
    QCOMPARE(win->txtProgram->text(), QStringLiteral("xterm -e 'echo hi'"));
    QCOMPARE(win->cboAlarmType->currentIndex(), index);
    QCOMPARE(enabled(), qMakePair(messageEnabled, programEnabled));
}

void TestAlarm::typeChoiceEnables() {
    open();
    win->cboAlarmType->setCurrentIndex(1);
    QCOMPARE(enabled(), qMakePair(false, false));
    win->cboAlarmType->setCurrentIndex(2);
    QCOMPARE(enabled(), qMakePair(false, true));
    win->cboAlarmType->setCurrentIndex(0);
    QCOMPARE(enabled(), qMakePair(true, false));
}

void TestAlarm::okAndApplyStoreInOrder_data() {
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("Apply") << false;
}

// Both store the four keys in order, the disabled boxes' texts included; the
// typed time is shown back as stored.
void TestAlarm::okAndApplyStoreInOrder() {
    QFETCH(bool, ok);
    open();
    win->txtAlarmTime->setText("6:05");
    win->txtMessage->setPlainText("Tea");
    win->txtProgram->setText("xclock");
    win->cboAlarmType->setCurrentIndex(1); // both boxes disabled
    QTest::mouseClick(ok ? win->cmdOK : win->cmdApply, Qt::LeftButton);

    const QList<Write> expected = {{Section, "Time", stored(6, 5)},
                                   {Section, "Message", "Tea"},
                                   {Section, "Program", "xclock"},
                                   {Section, "Type", "1"}};
    QCOMPARE(writes, expected);
    for (const Write& w : expected)
        QCOMPARE(Store::get(Section, w.key, "<absent>"), w.text);
    QCOMPARE(win->txtAlarmTime->text(), stored(6, 5));
    QCOMPARE(win->isVisible(), !ok);
    QVERIFY(messages.shown.isEmpty());
}

void TestAlarm::emptyTimeSwitchesOff() {
    QVERIFY(Store::save(Section, "Time", stored(7, 30)));
    open();
    win->txtAlarmTime->clear();
    QTest::mouseClick(win->cmdOK, Qt::LeftButton);
    QCOMPARE(Store::get(Section, "Time", ""), QStringLiteral("99:99:99"));
    QCOMPARE(win->txtAlarmTime->text(), QString());
    // Opened again, the box shows the alarm-off value.
    open();
    QCOMPARE(win->txtAlarmTime->text(), QStringLiteral("99:99:99"));
}

void TestAlarm::unreadableTimeSwitchesOffVisibly() {
    open();
    win->txtAlarmTime->setText("soon");
    QTest::mouseClick(win->cmdApply, Qt::LeftButton);
    QCOMPARE(Store::get(Section, "Time", ""), QStringLiteral("99:99:99"));
    QCOMPARE(win->txtAlarmTime->text(), QStringLiteral("99:99:99"));
    // Applying again keeps it off.
    QTest::mouseClick(win->cmdApply, Qt::LeftButton);
    QCOMPARE(Store::get(Section, "Time", ""), QStringLiteral("99:99:99"));
}

void TestAlarm::cancelAndCloseStoreNothing() {
    for (bool byCancel : {true, false}) {
        testEnv.clearStore();
        open();
        win->txtAlarmTime->setText("7:30");
        win->cboAlarmType->setCurrentIndex(2);
        if (byCancel)
            QTest::mouseClick(win->cmdCancel, Qt::LeftButton);
        else
            win->close();
        QVERIFY(!win->isVisible());
        QVERIFY(writes.isEmpty());
        QVERIFY(!QFile::exists(testEnv.storeFile()));
    }
}

void TestAlarm::refusedSaveIsReportedAndKeepsTheDialog() {
    open();
    QDir(testEnv.configDir() + "/Dialmere").removeRecursively();
    QFile blocker(testEnv.configDir() + "/Dialmere");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    win->txtMessage->setPlainText("Call home");
    QTest::mouseClick(win->cmdOK, Qt::LeftButton);
    QCOMPARE(messages.shown, QStringList{"Alarm"});
    QVERIFY(win->isVisible());
    QCOMPARE(win->txtMessage->toPlainText(), QStringLiteral("Call home"));
    QCOMPARE(writes.size(), 4);

    QVERIFY(QFile::remove(testEnv.configDir() + "/Dialmere"));
}

QTEST_MAIN(TestAlarm)
#include "tst_alarm.moc"
