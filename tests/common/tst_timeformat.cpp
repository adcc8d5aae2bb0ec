// The date and time format language: the clock's own formats, formats a user
// may type, the locale's names and separators, and formats from strangers.
#include "testenv.h"
#include "timeformat.h"

#include <QElapsedTimer>
#include <QtTest>

static TestEnv testEnv;

namespace {

const QLocale enUS(QLocale::English, QLocale::UnitedStates);
const QLocale deDE(QLocale::German, QLocale::Germany);
// 19:05:09 on Saturday 8 December 2001.
const QDateTime sample(QDate(2001, 12, 8), QTime(19, 5, 9));

} // namespace

class TestTimeFormat : public QObject {
    Q_OBJECT

private slots:
    void english_data();
    void english();
    void timeAndDateAlone_data();
    void timeAndDateAlone();
    void german_data();
    void german();
    void separatorsFromLocale_data();
    void separatorsFromLocale();
    void emptyFormatAndInvalidValue();
    void strangeFormatsStayBounded();
};

void TestTimeFormat::english_data() {
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    const QTime t = sample.time();
    // The formats the clock and its modules offer.
    QTest::newRow("hh:mm:ss") << t << "hh:mm:ss"
                              << "19:05:09";
    QTest::newRow("hh:mm:ss ampm") << t << "hh:mm:ss ampm"
                                   << "07:05:09 PM";
    QTest::newRow("h:mm:ss") << t << "h:mm:ss"
                             << "19:05:09";
    QTest::newRow("h:mm:ss ampm") << t << "h:mm:ss ampm"
                                  << "7:05:09 PM";
    QTest::newRow("yy/mm/dd") << t << "yy/mm/dd"
                              << "01/12/08";
    QTest::newRow("yyyy/mm/dd") << t << "yyyy/mm/dd"
                                << "2001/12/08";
    QTest::newRow("mmm d, yyyy") << t << "mmm d, yyyy"
                                 << "Dec 8, 2001";
    QTest::newRow("mmm dd/yyyy") << t << "mmm dd/yyyy"
                                 << "Dec 08/2001";
    QTest::newRow("hh:mm:00 copies the zeros") << t << "hh:mm:00"
                                               << "19:05:00";
    // Midnight and noon on the 12-hour clock; AM/PM anywhere switches every hour.
    QTest::newRow("midnight") << QTime(0, 0, 7) << "h:mm:ss ampm"
                              << "12:00:07 AM";
    QTest::newRow("noon") << QTime(12, 30) << "hh:mm AMPM"
                          << "12:30 PM";
    QTest::newRow("before noon") << QTime(11, 59, 59) << "h:mm:ss ampm"
                                 << "11:59:59 AM";
    QTest::newRow("designator first") << QTime(13, 1) << "ampm h:mm"
                                      << "PM 1:01";
    QTest::newRow("24-hour midnight") << QTime(0, 0) << "h:mm"
                                      << "0:00";
    // Letters in any case.
    QTest::newRow("upper case") << t << "HH:MM:SS AmPm"
                                << "07:05:09 PM";
    QTest::newRow("typed AM/PM") << t << "h AM/PM"
                                 << "7 PM";
    QTest::newRow("typed am/pm") << QTime(7, 0) << "h am/pm"
                                 << "7 am";
    QTest::newRow("typed Am/pM keeps each letter") << t << "h Am/pM"
                                                   << "7 pM";
    QTest::newRow("A/P") << t << "hA/P"
                         << "7P";
    QTest::newRow("a/p") << QTime(9, 0) << "ha/p"
                         << "9a";
    // Minutes or month: after an hour token, or before a seconds token.
    QTest::newRow("m after h") << t << "h:m"
                               << "19:5";
    QTest::newRow("mm after h with text between") << t << "h \"h\" mm"
                                                  << "19 h 05";
    QTest::newRow("mm before ss") << t << "mm:ss"
                                  << "05:09";
    QTest::newRow("m before s") << t << "m:s"
                                << "5:9";
    QTest::newRow("mm alone is the month") << t << "mm"
                                           << "12";
    QTest::newRow("mm after a date token") << t << "dd/mm hh"
                                           << "08/12 19";
    QTest::newRow("date and time") << t << "mm/dd hh:mm"
                                   << "12/08 19:05";
    QTest::newRow("n and nn") << t << "n nn"
                              << "5 05";
    QTest::newRow("s") << t << "s"
                       << "9";
    // Names.
    QTest::newRow("mmmm") << t << "mmmm"
                          << "December";
    QTest::newRow("ddd dddd") << t << "ddd dddd"
                              << "Sat Saturday";
    QTest::newRow("ddddd short date") << t << "ddddd"
                                      << "12/8/01";
    QTest::newRow("dddddd long date") << t << "dddddd"
                                      << "Saturday, December 8, 2001";
    QTest::newRow("y is the day of the year") << t << "y"
                                              << "342";
    QTest::newRow("yyy is the year") << t << "yyy"
                                     << "2001";
    QTest::newRow("long runs split greedily") << t << "yyyyyy mmmmm"
                                              << "200101 December12";
    // Copied text.
    QTest::newRow("quoted") << t << "\"hh mm: \"hh"
                            << "hh mm: 19";
    QTest::newRow("unclosed quote runs to the end") << t << "hh\"mm"
                                                    << "19mm";
    QTest::newRow("backslash") << t << "\\h\\:h\\\\"
                               << "h:19\\";
    QTest::newRow("trailing backslash") << t << "hh\\"
                                        << "19";
    QTest::newRow("other characters, s is seconds") << t << "It's hh!"
                                                    << "It'9 19!";
    QTest::newRow("non-ASCII") << t << "hh\u00B7mm \U0001F552"
                               << "19\u00B705 \U0001F552";
}

void TestTimeFormat::english() {
    QFETCH(QTime, time);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(formatDateTime(QDateTime(sample.date(), time), format, enUS), expected);
}

// The caption formats a time of day, the tooltip a date.
void TestTimeFormat::timeAndDateAlone_data() {
    QTest::addColumn<bool>("time");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("time: hh:mm:ss") << true << "hh:mm:ss"
                                    << "19:05:09";
    QTest::newRow("time: the zero date") << true << "yyyy-mm-dd ddd"
                                         << "1899-12-30 Sat";
    QTest::newRow("time: yyyy in the caption") << true << "hh:mm yyyy"
                                               << "19:05 1899";
    QTest::newRow("date: mmm d, yyyy") << false << "mmm d, yyyy"
                                       << "Dec 8, 2001";
    QTest::newRow("date: midnight") << false << "hh:mm:ss"
                                    << "00:00:00";
    QTest::newRow("date: midnight 12-hour") << false << "h ampm"
                                            << "12 AM";
}

void TestTimeFormat::timeAndDateAlone() {
    QFETCH(bool, time);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(time ? formatTime(sample.time(), format, enUS)
                  : formatDate(sample.date(), format, enUS),
             expected);
}

void TestTimeFormat::german_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("date separator") << "dd/mm/yyyy"
                                    << "08.12.2001";
    QTest::newRow("time separator") << "hh:mm:ss"
                                    << "19:05:09";
    QTest::newRow("month name in a phrase") << "d. mmmm yyyy"
                                            << "8. Dezember 2001";
    QTest::newRow("weekday") << "dddd"
                             << "Samstag";
    QTest::newRow("designator") << "h ampm"
                                << "7 " + deDE.pmText();
}

void TestTimeFormat::german() {
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(formatDateTime(sample, format, deDE), expected);
}

void TestTimeFormat::separatorsFromLocale_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    QTest::newRow("English") << enUS << ":"
                             << "/";
    QTest::newRow("German") << deDE << ":"
                            << ".";
    QTest::newRow("Finnish") << QLocale(QLocale::Finnish) << "."
                             << ".";
    QTest::newRow("Hungarian, blanks trimmed") << QLocale(QLocale::Hungarian) << ":"
                                               << ".";
    // "HH 'h' mm" has no separator of its own.
    QTest::newRow("Canadian French") << QLocale(QLocale::French, QLocale::Canada) << ":"
                                     << "-";
    QTest::newRow("Chinese, zone first") << QLocale(QLocale::Chinese) << ":"
                                         << "/";
}

void TestTimeFormat::separatorsFromLocale() {
    QFETCH(QLocale, locale);
    QFETCH(QString, time);
    QFETCH(QString, date);
    QCOMPARE(localeTimeSeparator(locale), time);
    QCOMPARE(localeDateSeparator(locale), date);
    QCOMPARE(formatDateTime(sample, "hh:mm yyyy/mm", locale),
             "19" + time + "05 2001" + date + "12");
}

void TestTimeFormat::emptyFormatAndInvalidValue() {
    QCOMPARE(formatTime(sample.time(), QString(), enUS),
             enUS.toString(sample.time(), QLocale::ShortFormat));
    QCOMPARE(formatDate(sample.date(), QString(), enUS), QStringLiteral("12/8/01"));
    QCOMPARE(formatDateTime(sample, QString(), enUS), enUS.toString(sample, QLocale::ShortFormat));
    QCOMPARE(formatDateTime(sample, QString(), deDE), deDE.toString(sample, QLocale::ShortFormat));
    QVERIFY(formatTime(QTime(), "hh:mm", enUS).isEmpty());
    QVERIFY(formatDate(QDate(), "yyyy", enUS).isEmpty());
    QVERIFY(formatDateTime(QDateTime(), "yyyy", enUS).isEmpty());
    // Years outside four digits.
    QCOMPARE(formatDate(QDate(12345, 1, 2), "yyyy yy", enUS), QStringLiteral("12345 45"));
    QCOMPARE(formatDate(QDate(-44, 3, 15), "yyyy yy", enUS), QStringLiteral("-0044 44"));
}

// Formats come from the store, edited by hand: any text gives a bounded result
// in time linear in its length.
void TestTimeFormat::strangeFormatsStayBounded() {
    const QStringList pieces = {
        "m", "mm", "\"", "\\",     "a", "am/p", "ampm",   "h",
        ":", "/",  "s",  "dddddd", "y", "x",    "\u00E9", QString(QChar(0xD800))};
    for (const QString& piece : pieces) {
        const QString format = piece.repeated(200000);
        QElapsedTimer timer;
        timer.start();
        const QString out = formatDateTime(sample, format, enUS);
        QVERIFY2(out.size() <= 64 * (format.size() + 1), qPrintable(piece));
        QVERIFY2(timer.elapsed() < 5000, qPrintable(piece));
    }
    // Minutes or month, alternating, over a long run of spacers.
    const QString spaced = "h" + QString(100000, ' ') + "m" + QString(100000, ':') + "s";
    QCOMPARE(formatDateTime(sample, spaced, enUS),
             "19" + QString(100000, ' ') + "5" + QString(100000, ':') + "9");
}

QTEST_GUILESS_MAIN(TestTimeFormat)
#include "tst_timeformat.moc"
