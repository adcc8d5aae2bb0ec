// The once-a-second work: caption, minute check with alarm and tooltip, and
// the quick-show timing, driven with made-up times and a fake window.
#include "clockfakes.h"
#include "keys.h"
#include "store.h"
#include "testenv.h"
#include "ticklogic.h"

#include <QtTest>

static TestEnv testEnv;

namespace {

class FakeHost : public TickHost {
public:
    void setCaption(const QString& text) override { caption = text; }
    QString captionToolTip() const override { return tooltip; }
    void setCaptionToolTip(const QString& text) override {
        tooltip = text;
        ++tooltipSets;
    }
    void setHide(bool hide) override { hides.append(hide); }
    void focusIfVisible() override { ++focused; }
    QWidget* messageParent() override { return nullptr; }

    QString caption;
    QString tooltip;
    int tooltipSets = 0;
    QList<bool> hides;
    int focused = 0;
};

const QDateTime kBase(QDate(2001, 12, 8), QTime(7, 29, 55));

void saveAlarm(const QString& time, const QString& type = QString()) {
    Store::save(Keys::Section::Alarm, Keys::Alarm::Time, time);
    if (!type.isNull())
        Store::save(Keys::Section::Alarm, Keys::Alarm::Type, type);
}

} // namespace

class TestTick : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void caption_data();
    void caption();
    void alarmFiresOncePerOccurrence_data();
    void alarmFiresOncePerOccurrence();
    void alarmActions_data();
    void alarmActions();
    void alarmProgramThatCannotStartIsNamed();
    void firstMinuteCheck_data();
    void firstMinuteCheck();
    void tooltipRules();
    void quickShow_data();
    void quickShow();
    void nextTickIsJustAfterTheSecond_data();
    void nextTickIsJustAfterTheSecond();

private:
    FakeMessages messages;
    FakeProcesses processes;
};

void TestTick::init() {
    testEnv.clearStore();
    messages = FakeMessages();
    processes = FakeProcesses();
    Seams::setMessages(&messages);
    Seams::setProcesses(&processes);
}

void TestTick::cleanup() {
    Seams::setMessages(nullptr);
    Seams::setProcesses(nullptr);
}

void TestTick::caption_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("hh:mm:ss") << "hh:mm:ss"
                              << "19:05:09";
    QTest::newRow("h:mm:ss") << "h:mm:ss"
                             << "19:05:09";
    QTest::newRow("date tokens show the zero date") << "yyyy hh"
                                                    << "1899 19";
}

void TestTick::caption() {
    QFETCH(QString, format);
    QFETCH(QString, expected);
    TickLogic logic;
    ClockState state;
    state.timeFormat = format;
    FakeHost host;
    logic.tick(QDateTime(QDate(2001, 12, 8), QTime(19, 5, 9)), state, host);
    QCOMPARE(host.caption, expected);
}

void TestTick::alarmFiresOncePerOccurrence_data() {
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<QList<int>>("ticks"); // seconds after 07:29:55 on 8 Dec 2001
    QTest::addColumn<int>("fired");
    const QList<int> everySecond = {0, 1, 2, 3, 4, 5, 6, 7};
    QTest::newRow("on its second") << "07:30:00" << everySecond << 1;
    QTest::newRow("no alarm") << "99:99:99" << everySecond << 0;
    QTest::newRow("not this minute") << "07:31:00" << everySecond << 0;
    QTest::newRow("skipped second") << "07:30:00" << QList<int>{3, 4, 6, 7} << 1;
    QTest::newRow("late tick a few seconds on") << "07:30:00" << QList<int>{4, 9} << 1;
    QTest::newRow("two ticks in the same second") << "07:30:00" << QList<int>{4, 5, 5, 6} << 1;
    QTest::newRow("start-up in the alarm second") << "07:30:00" << QList<int>{5, 6} << 1;
    QTest::newRow("after a long gap (suspend)") << "07:30:00" << QList<int>{0, 125} << 0;
    QTest::newRow("gap just under two minutes") << "07:30:00" << QList<int>{1, 119} << 1;
    QTest::newRow("clock set back") << "07:30:00" << QList<int>{30, 2} << 0;
    QTest::newRow("again the next day")
        << "07:30:00" << QList<int>{4, 5, 86400 + 4, 86400 + 5, 86400 + 6} << 2;
}

void TestTick::alarmFiresOncePerOccurrence() {
    QFETCH(QString, alarm);
    QFETCH(QList<int>, ticks);
    QFETCH(int, fired);
    saveAlarm(alarm, "1");
    TickLogic logic;
    ClockState state;
    FakeHost host;
    for (int t : ticks)
        logic.tick(kBase.addSecs(t), state, host);
    QCOMPARE(messages.beeps, fired);
    QCOMPARE(host.focused, fired);
}

void TestTick::alarmActions_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<int>("starts");
    QTest::newRow("absent: message") << QString() << 1 << 0 << 0;
    QTest::newRow("0 message") << "0" << 1 << 0 << 0;
    QTest::newRow("1 beep") << "1" << 0 << 1 << 0;
    QTest::newRow("2 program") << "2" << 0 << 0 << 1;
    QTest::newRow("3 program") << "3" << 0 << 0 << 1;
    QTest::newRow("255 program") << "255" << 0 << 0 << 1;
    QTest::newRow("999 clamps to 255: program") << "999" << 0 << 0 << 1;
}

void TestTick::alarmActions() {
    QFETCH(QString, type);
    QFETCH(int, boxes);
    QFETCH(int, beeps);
    QFETCH(int, starts);
    saveAlarm("07:30:00", type);
    Store::save(Keys::Section::Alarm, Keys::Alarm::Program, "xclock -digital");
    TickLogic logic;
    ClockState state;
    FakeHost host;
    logic.tick(kBase.addSecs(4), state, host);
    logic.tick(kBase.addSecs(5), state, host);
    QCOMPARE(messages.shown.size(), boxes);
    if (boxes) {
        // Not modal: the clock keeps ticking while it is open.
        QCOMPARE(messages.shown.first().modal, false);
        QCOMPARE(messages.shown.first().title, QString("Alarm"));
        QCOMPARE(messages.shown.first().text, QString("Alarm!"));
        QCOMPARE(messages.shown.first().icon, QMessageBox::Information);
    }
    QCOMPARE(messages.beeps, beeps);
    QCOMPARE(processes.started.size(), starts);
    if (starts)
        QCOMPARE(processes.started.first(), (QStringList{"xclock", "-digital"}));
}

void TestTick::alarmProgramThatCannotStartIsNamed() {
    saveAlarm("07:30:00", "2");
    Store::save(Keys::Section::Alarm, Keys::Alarm::Program, "/no/such/program --now");
    processes.refuse = true;
    TickLogic logic;
    ClockState state;
    FakeHost host;
    logic.tick(kBase.addSecs(5), state, host);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown.first().modal, false);
    QVERIFY(messages.shown.first().text.contains("/no/such/program --now"));
}

void TestTick::firstMinuteCheck_data() {
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<int>("secondsPerTick");
    QTest::addColumn<int>("checkOnTick"); // 1-based
    QTest::newRow("first tick in second 0")
        << QDateTime(QDate(2001, 12, 8), QTime(10, 0, 45)) << 1 << 16;
    QTest::newRow("start-up in second 0")
        << QDateTime(QDate(2001, 12, 8), QTime(10, 0, 0)) << 1 << 1;
    QTest::newRow("time stands still: the 60th tick")
        << QDateTime(QDate(2001, 12, 8), QTime(10, 0, 30)) << 0 << 60;
}

void TestTick::firstMinuteCheck() {
    QFETCH(QDateTime, start);
    QFETCH(int, secondsPerTick);
    QFETCH(int, checkOnTick);
    TickLogic logic;
    ClockState state;
    FakeHost host;
    for (int i = 1; i <= checkOnTick; ++i) {
        QCOMPARE(host.tooltip, QString()); // the tooltip waits for the minute check
        logic.tick(start.addSecs(qint64(i - 1) * secondsPerTick), state, host);
    }
    QCOMPARE(host.tooltip, QString("Dec 8, 2001"));
    QCOMPARE(logic.tickCount, quint8(0));
}

void TestTick::tooltipRules() {
    TickLogic logic;
    ClockState state;
    FakeHost host;
    const QDateTime before(QDate(2001, 12, 8), QTime(23, 58, 0));
    logic.tick(before, state, host);
    QCOMPARE(host.tooltip, QString("Dec 8, 2001"));
    QCOMPARE(host.tooltipSets, 1);
    // The same text is not set again.
    logic.tick(before.addSecs(60), state, host);
    QCOMPARE(host.tooltipSets, 1);
    // Midnight: the next minute check has the new date.
    logic.tick(before.addSecs(120), state, host);
    QCOMPARE(host.tooltip, QString("Dec 9, 2001"));
    // Switched off: whatever the tooltip holds stays.
    state.dateToolTip = false;
    host.tooltip = "kept";
    logic.tick(before.addSecs(180), state, host);
    QCOMPARE(host.tooltip, QString("kept"));
}

void TestTick::quickShow_data() {
    QTest::addColumn<QString>("showTime");
    QTest::addColumn<bool>("hideMode");
    QTest::addColumn<int>("endsOnTick"); // the tick that ends the quick-show
    QTest::addColumn<bool>("hiddenFaceBack");
    QTest::newRow("ShowTime 2.5: third tick") << "2.5" << true << 3 << true;
    QTest::newRow("ShowTime 0: first tick") << "0" << true << 1 << true;
    QTest::newRow("absent: 3 seconds") << QString() << true << 3 << true;
    QTest::newRow("not a number: 3 seconds") << "soon" << true << 3 << true;
    QTest::newRow("hide mode left meanwhile") << "10" << false << 1 << false;
}

void TestTick::quickShow() {
    QFETCH(QString, showTime);
    QFETCH(bool, hideMode);
    QFETCH(int, endsOnTick);
    QFETCH(bool, hiddenFaceBack);
    if (!showTime.isNull())
        Store::save(Keys::Section::Settings, Keys::Settings::ShowTime, showTime);
    TickLogic logic;
    ClockState state;
    state.hideMode = hideMode;
    state.quickShow = 2;
    FakeHost host;
    const QDateTime t(QDate(2001, 12, 8), QTime(10, 0, 10));
    for (int i = 1; i < endsOnTick; ++i) {
        logic.tick(t.addSecs(i), state, host);
        QCOMPARE(state.quickShow, qint16(2));
        QCOMPARE(logic.showSeconds, qint16(i));
    }
    logic.tick(t.addSecs(endsOnTick), state, host);
    QCOMPARE(state.quickShow, qint16(1));
    QCOMPARE(logic.showSeconds, qint16(0));
    QCOMPARE(host.hides, hiddenFaceBack ? QList<bool>{true} : QList<bool>{});
    // Armed or off: the tick leaves the faces alone.
    logic.tick(t.addSecs(endsOnTick + 1), state, host);
    QCOMPARE(host.hides.size(), hiddenFaceBack ? 1 : 0);
}

void TestTick::nextTickIsJustAfterTheSecond_data() {
    QTest::addColumn<int>("msec");
    QTest::addColumn<int>("wait");
    QTest::newRow("on the second") << 0 << 1000 + TickLogic::TickLagMs;
    QTest::newRow("just after") << 5 << 1000;
    QTest::newRow("late in the second") << 999 << 1 + TickLogic::TickLagMs;
}

void TestTick::nextTickIsJustAfterTheSecond() {
    QFETCH(int, msec);
    QFETCH(int, wait);
    const QDateTime now(QDate(2001, 12, 8), QTime(10, 0, 10, msec));
    QCOMPARE(TickLogic::msUntilNextTick(now), wait);
    const QDateTime next = now.addMSecs(wait);
    QCOMPARE(next.time().second(), 11);
    QVERIFY(next.time().msec() <= TickLogic::TickLagMs);
}

QTEST_GUILESS_MAIN(TestTick)
#include "tst_tick.moc"
