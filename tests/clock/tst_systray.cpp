// The tray icon object: its record, flags and shown state, and exactly what it
// sends to the notification area, against a fake backend that records every
// request.
#include "csystrayicon.h"
#include "testenv.h"

#include <QtTest>

#include <QSignalSpy>
#include <QSystemTrayIcon>

static TestEnv testEnv;

namespace {

struct Sent {
    TrayBackend::Message message;
    quint32 uFlags;
    QString tip;
};

class FakeBackend : public TrayBackend {
public:
    bool notify(Message message, const NotifyIconData& data) override {
        sent.append({message, data.uFlags, data.tipText()});
        return !refuse;
    }
    quint32 lastError() const override { return refuse ? 1400 : 0; }

    QList<Sent> sent;
    bool refuse = false;
};

} // namespace

class TestSystray : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void initializeFillsRecordAndSendsNothing();
    void tipIsCutTo63_data();
    void tipIsCutTo63();
    void showAndHideSendOnlyWhenTheStateSaysSo_data();
    void showAndHideSendOnlyWhenTheStateSaysSo();
    void propertyWrite_data();
    void propertyWrite();
    void updateOnChangeOffKeepsWritesInTheRecord();
    void refusalRaisesNIErrorAndKeepsState();
    void visibleShowsAndHides();
    void terminationHidesIcon();
    void backendEventsReachTheClock();
    void factoryServesObjectsMadeWithoutBackend();
    void realBackendRefusesWithoutTray();
    void realBackendCodes();

private:
    FakeBackend* fake = nullptr;
    CSystrayIcon* icon = nullptr;
    QWidget window;
};

void TestSystray::init() {
    fake = new FakeBackend;
    icon = new CSystrayIcon(fake);
    icon->Initialize(&window, QIcon(), QStringLiteral("Dialmere"), 512);
}

void TestSystray::cleanup() {
    delete icon;
    icon = nullptr;
}

void TestSystray::initializeFillsRecordAndSendsNothing() {
    const NotifyIconData& r = icon->record();
    QCOMPARE(r.cbSize, 88u);
    QCOMPARE(r.uID, 1u);
    QCOMPARE(r.uFlags, 7u);
    QCOMPARE(r.uCallbackMessage, 512u);
    QCOMPARE(r.hWnd.data(), &window);
    QCOMPARE(r.szTip.size(), 64);
    QCOMPARE(r.szTip, QStringLiteral("Dialmere") + QChar(0) + QString(55, QLatin1Char(' ')));
    QCOMPARE(icon->TipText(), QStringLiteral("Dialmere"));
    QVERIFY(!icon->Visible());
    QVERIFY(icon->UpdateOnChange());
    QVERIFY(fake->sent.isEmpty());

    // Initialize again on a shown icon starts over as not shown.
    QVERIFY(icon->ShowIcon());
    icon->Initialize(&window, QIcon(), QStringLiteral("x"), 512);
    QVERIFY(!icon->Visible());
}

void TestSystray::tipIsCutTo63_data() {
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("kept");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("62") << QString(62, 'a') << QString(62, 'a');
    QTest::newRow("63") << QString(63, 'b') << QString(63, 'b');
    QTest::newRow("64") << QString(64, 'c') << QString(63, 'c');
    QTest::newRow("100") << QString(37, 'd') + QString(63, 'e')
                         << QString(37, 'd') + QString(26, 'e');
    QTest::newRow("non-Latin") << QStringLiteral("Uhr \u00fc\u20ac")
                               << QStringLiteral("Uhr \u00fc\u20ac");
}

void TestSystray::tipIsCutTo63() {
    QFETCH(QString, tip);
    QFETCH(QString, kept);
    icon->Initialize(&window, QIcon(), tip, 512);
    QCOMPARE(icon->TipText(), kept);
    QCOMPARE(icon->record().szTip.size(), 64);
    QCOMPARE(icon->record().szTip.at(kept.size()), QChar(0));
    // The property write cuts the same way.
    icon->setTipText(tip);
    QCOMPARE(icon->TipText(), kept);
    QCOMPARE(icon->record().szTip.size(), 64);
}

// A script of calls: S ShowIcon, H HideIcon, U Update. Expected: the answers
// and the messages sent (A add, M modify, D delete).
void TestSystray::showAndHideSendOnlyWhenTheStateSaysSo_data() {
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<bool>("visible");
    QTest::newRow("show") << "S"
                          << "1"
                          << "A" << true;
    QTest::newRow("show twice") << "SS"
                                << "10"
                                << "A" << true;
    QTest::newRow("hide before show") << "H"
                                      << "0"
                                      << "" << false;
    QTest::newRow("hide twice") << "SHH"
                                << "110"
                                << "AD" << false;
    QTest::newRow("update while not shown") << "U"
                                            << "0"
                                            << "" << false;
    QTest::newRow("update while shown") << "SU"
                                        << "11"
                                        << "AM" << true;
    QTest::newRow("show again after hide") << "SHS"
                                           << "111"
                                           << "ADA" << true;
}

void TestSystray::showAndHideSendOnlyWhenTheStateSaysSo() {
    QFETCH(QString, calls);
    QFETCH(QString, answers);
    QFETCH(QString, sent);
    QFETCH(bool, visible);
    QString got;
    for (QChar c : calls) {
        const bool answer = c == 'S'   ? icon->ShowIcon()
                            : c == 'H' ? icon->HideIcon()
                                       : icon->Update();
        got += answer ? '1' : '0';
    }
    QCOMPARE(got, answers);
    QString messages;
    for (const Sent& s : fake->sent) {
        messages += "AMD"[s.message];
        QCOMPARE(s.uFlags, 7u);
    }
    QCOMPARE(messages, sent);
    QCOMPARE(icon->Visible(), visible);
}

void TestSystray::propertyWrite_data() {
    QTest::addColumn<int>("property");
    QTest::addColumn<quint32>("flag");
    QTest::newRow("CallbackMessage") << 0 << 1u;
    QTest::newRow("IconHandle") << 1 << 2u;
    QTest::newRow("TipText") << 2 << 4u;
}

// While shown a write is passed on with only its own flag; while not shown it
// changes only the record. Either way uFlags is 7 afterwards.
void TestSystray::propertyWrite() {
    QFETCH(int, property);
    QFETCH(quint32, flag);
    QIcon red(QPixmap(16, 16));
    auto write = [&](int round) {
        switch (property) {
        case 0:
            icon->setCallbackMessage(600 + round);
            QCOMPARE(icon->CallbackMessage(), quint32(600 + round));
            break;
        case 1:
            icon->setIconHandle(round ? red : QIcon());
            QCOMPARE(icon->IconHandle().isNull(), round == 0);
            break;
        default:
            icon->setTipText(QStringLiteral("tip %1").arg(round));
            QCOMPARE(icon->TipText(), QStringLiteral("tip %1").arg(round));
        }
    };

    write(1); // not shown: record only
    QVERIFY(fake->sent.isEmpty());
    QCOMPARE(icon->record().uFlags, 7u);

    QVERIFY(icon->ShowIcon());
    write(0);
    QCOMPARE(fake->sent.size(), 2);
    QCOMPARE(fake->sent[1].message, TrayBackend::Modify);
    QCOMPARE(fake->sent[1].uFlags, flag);
    QCOMPARE(icon->record().uFlags, 7u);

    // A refused update restores the flags too.
    fake->refuse = true;
    QSignalSpy errors(icon, &CSystrayIcon::NIError);
    write(1);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(icon->record().uFlags, 7u);
    QVERIFY(icon->Visible());
}

void TestSystray::updateOnChangeOffKeepsWritesInTheRecord() {
    QVERIFY(icon->ShowIcon());
    icon->setUpdateOnChange(false);
    QVERIFY(!icon->UpdateOnChange());
    icon->setTipText(QStringLiteral("later"));
    icon->setCallbackMessage(700);
    QCOMPARE(fake->sent.size(), 1);
    QVERIFY(icon->Update());
    QCOMPARE(fake->sent.size(), 2);
    QCOMPARE(fake->sent[1].uFlags, 7u);
    QCOMPARE(fake->sent[1].tip, QStringLiteral("later"));
}

void TestSystray::refusalRaisesNIErrorAndKeepsState() {
    QSignalSpy errors(icon, &CSystrayIcon::NIError);
    fake->refuse = true;
    QVERIFY(!icon->ShowIcon());
    QVERIFY(!icon->Visible());
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors[0][0].toUInt(), 1400u);

    fake->refuse = false;
    QVERIFY(icon->ShowIcon());
    fake->refuse = true;
    QVERIFY(!icon->Update());
    QVERIFY(!icon->HideIcon());
    QVERIFY(icon->Visible());
    QCOMPARE(errors.size(), 3);
}

void TestSystray::visibleShowsAndHides() {
    icon->setVisible(true);
    QVERIFY(icon->Visible());
    icon->setVisible(true);
    icon->setVisible(false);
    QVERIFY(!icon->Visible());
    QCOMPARE(fake->sent.size(), 2);
    QCOMPARE(fake->sent[0].message, TrayBackend::Add);
    QCOMPARE(fake->sent[1].message, TrayBackend::Delete);
}

void TestSystray::terminationHidesIcon() {
    // The record of what was sent outlives the backend, which the icon owns.
    auto* log = new QList<Sent>;
    struct LoggingBackend : FakeBackend {
        QList<Sent>* log;
        ~LoggingBackend() override { *log = sent; }
    };
    auto* backend = new LoggingBackend;
    backend->log = log;
    auto* shown = new CSystrayIcon(backend);
    shown->Initialize(&window, QIcon(), QStringLiteral("Dialmere"), 512);
    QVERIFY(shown->ShowIcon());
    delete shown;
    QCOMPARE(log->size(), 2);
    QCOMPARE(log->last().message, TrayBackend::Delete);

    // Never shown: nothing to take away.
    auto* quiet = new LoggingBackend;
    quiet->log = log;
    delete new CSystrayIcon(quiet);
    QVERIFY(log->isEmpty());
    delete log;
}

void TestSystray::backendEventsReachTheClock() {
    QSignalSpy events(icon, &CSystrayIcon::trayEvent);
    emit fake->activated(513);
    emit fake->activated(516);
    QCOMPARE(events.size(), 2);
    QCOMPARE(events[0][0].toInt(), 513);
    QCOMPARE(events[1][0].toInt(), 516);
}

void TestSystray::factoryServesObjectsMadeWithoutBackend() {
    FakeBackend* made = nullptr;
    CSystrayIcon::setBackendFactory([&made] { return made = new FakeBackend; });
    {
        CSystrayIcon own;
        QCOMPARE(own.backend(), made);
    }
    CSystrayIcon::setBackendFactory({});
    CSystrayIcon real;
    QVERIFY(qobject_cast<QtTrayBackend*>(real.backend()));
}

// Offscreen there is no notification area: the real backend refuses the add,
// so the clock runs on without an icon and NIError tells why.
void TestSystray::realBackendRefusesWithoutTray() {
    if (QSystemTrayIcon::isSystemTrayAvailable())
        QSKIP("this desktop has a notification area");
    CSystrayIcon real(new QtTrayBackend);
    QSignalSpy errors(&real, &CSystrayIcon::NIError);
    real.Initialize(&window, QIcon(QPixmap(16, 16)), QStringLiteral("Dialmere"), 512);
    QVERIFY(!real.ShowIcon());
    QVERIFY(!real.Visible());
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors[0][0].toUInt(), TrayBackend::ErrorNoTray);
}

void TestSystray::realBackendCodes() {
    QCOMPARE(QtTrayBackend::codeFor(QSystemTrayIcon::Trigger), 513);
    QCOMPARE(QtTrayBackend::codeFor(QSystemTrayIcon::DoubleClick), 515);
    QCOMPARE(QtTrayBackend::codeFor(QSystemTrayIcon::Context), 516);
    QCOMPARE(QtTrayBackend::codeFor(QSystemTrayIcon::Unknown), 0);
}

QTEST_MAIN(TestSystray)
#include "tst_systray.moc"
