// The readers' conversions of stored texts and the writers' forms.
#include "conversions.h"
#include "testenv.h"

#include <QtTest>

#include <cfloat>
#include <cmath>
#include <limits>

static TestEnv testEnv;

class TestConversions : public QObject {
    Q_OBJECT

private slots:
    void integer_data();
    void integer();
    void smallInteger_data();
    void smallInteger();
    void number_data();
    void number();
    void flag_data();
    void flag();
    void tick_data();
    void tick();
    void numberText_data();
    void numberText();
    void writersFormsReadBack();
};

void TestConversions::integer_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // the fallback is 77

    QTest::newRow("plain") << "42" << 42;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("plus sign") << "+42" << 42;
    QTest::newRow("minus sign") << "-42" << -42;
    QTest::newRow("blanks around") << "  12 \t" << 12;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("half down to even") << "12.5" << 12;
    QTest::newRow("half up to even") << "13.5" << 14;
    QTest::newRow("negative half to even") << "-2.5" << -2;
    QTest::newRow("negative half away to even") << "-3.5" << -4;
    QTest::newRow("zero point five") << "0.5" << 0;
    QTest::newRow("below half") << "2.4999" << 2;
    QTest::newRow("above half") << "2.5001" << 3;
    QTest::newRow("fraction only") << ".6" << 1;
    QTest::newRow("trailing point") << "5." << 5;
    QTest::newRow("exponent") << "1.5e2" << 150;
    QTest::newRow("largest") << "32767" << 32767;
    QTest::newRow("smallest") << "-32768" << -32768;
    QTest::newRow("half above largest") << "32767.5" << 32767;
    QTest::newRow("half below smallest") << "-32768.5" << -32768;
    QTest::newRow("above range clamps") << "40000" << 32767;
    QTest::newRow("below range clamps") << "-40000" << -32768;
    QTest::newRow("huge exponent") << "1e400" << 32767;
    QTest::newRow("huge negative exponent") << "-1e400" << -32768;
    QTest::newRow("tiny") << "1e-400" << 0;
    QTest::newRow("many digits") << "123456789012345678901234567890" << 32767;
    QTest::newRow("empty") << "" << 77;
    QTest::newRow("blanks only") << "   " << 77;
    QTest::newRow("letters") << "abc" << 77;
    QTest::newRow("trailing letters") << "12abc" << 77;
    QTest::newRow("inner blank") << "1 2" << 77;
    QTest::newRow("blank after sign") << "- 5" << 77;
    QTest::newRow("two signs") << "+-5" << 77;
    QTest::newRow("decimal comma") << "1,5" << 77;
    QTest::newRow("hex") << "0x10" << 77;
    QTest::newRow("point only") << "." << 77;
    QTest::newRow("exponent only") << "e5" << 77;
    QTest::newRow("exponent without digits") << "1e" << 77;
    QTest::newRow("nan") << "nan" << 77;
    QTest::newRow("NaN") << "NaN" << 77;
    QTest::newRow("inf") << "inf" << 77;
    QTest::newRow("infinity") << "-Infinity" << 77;
    QTest::newRow("non-ASCII digits") << QString::fromUtf8("\u0661\u0662") << 77;
    QTest::newRow("flag word") << "True" << 77;
}

void TestConversions::integer() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(int(Conv::toInteger(text, 77)), expected);
}

void TestConversions::smallInteger_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // the fallback is 9

    QTest::newRow("plain") << "2" << 2;
    QTest::newRow("largest") << "255" << 255;
    QTest::newRow("above range") << "300" << 255;
    QTest::newRow("far above range") << "40000" << 255;
    QTest::newRow("negative") << "-1" << 0;
    QTest::newRow("negative half") << "-0.5" << 0;
    QTest::newRow("half to even below") << "254.5" << 254;
    QTest::newRow("half to even above range") << "255.5" << 255;
    QTest::newRow("half to even") << "12.5" << 12;
    QTest::newRow("blanks") << " 3 " << 3;
    QTest::newRow("letters") << "two" << 9;
    QTest::newRow("empty") << "" << 9;
}

void TestConversions::smallInteger() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(int(Conv::toSmallInteger(text, 9)), expected);
}

void TestConversions::number_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected"); // the fallback is 3

    QTest::newRow("integer") << "1500" << 1500.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("negative with blanks") << " -0.125 " << -0.125;
    QTest::newRow("no rounding") << "2.4" << 2.4;
    QTest::newRow("exponent") << "1e+20" << 1e20;
    QTest::newRow("huge exponent clamps") << "1e400" << DBL_MAX;
    QTest::newRow("huge negative clamps") << "-1e400" << -DBL_MAX;
    QTest::newRow("tiny") << "1e-400" << 0.0;
    QTest::newRow("nan") << "nan" << 3.0;
    QTest::newRow("inf") << "inf" << 3.0;
    QTest::newRow("letters") << "three" << 3.0;
    QTest::newRow("empty") << "" << 3.0;
}

void TestConversions::number() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double v = Conv::toNumber(text, 3.0);
    QVERIFY(std::isfinite(v));
    QCOMPARE(v, expected);
}

void TestConversions::flag_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fallback");
    QTest::addColumn<bool>("expected");

    QTest::newRow("True") << "True" << false << true;
    QTest::newRow("TRUE") << "TRUE" << false << true;
    QTest::newRow("true with blanks") << " true " << false << true;
    QTest::newRow("False") << "False" << true << false;
    QTest::newRow("false") << "false" << true << false;
    QTest::newRow("one") << "1" << false << true;
    QTest::newRow("zero") << "0" << true << false;
    QTest::newRow("zero fraction") << "0.0" << true << false;
    QTest::newRow("two") << "2" << false << true;
    QTest::newRow("minus one") << "-1" << false << true;
    QTest::newRow("small fraction") << "0.4" << false << true;
    QTest::newRow("yes keeps fallback on") << "yes" << true << true;
    QTest::newRow("yes keeps fallback off") << "yes" << false << false;
    QTest::newRow("empty keeps fallback") << "" << true << true;
    QTest::newRow("word with suffix") << "Truex" << false << false;
    QTest::newRow("nan") << "nan" << true << true;
}

void TestConversions::flag() {
    QFETCH(QString, text);
    QFETCH(bool, fallback);
    QFETCH(bool, expected);
    QCOMPARE(Conv::toFlag(text, fallback), expected);
}

void TestConversions::tick_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // the fallback is 1

    QTest::newRow("ticked") << "1" << 1;
    QTest::newRow("unticked") << "0" << 0;
    QTest::newRow("two ticks") << "2" << 1;
    QTest::newRow("negative ticks") << "-1" << 1;
    QTest::newRow("huge ticks") << "99999" << 1;
    QTest::newRow("rounds to zero") << "0.4" << 0;
    QTest::newRow("half rounds to even zero") << "0.5" << 0;
    QTest::newRow("rounds to one") << "0.6" << 1;
    QTest::newRow("blanks") << " 0 " << 0;
    QTest::newRow("letters") << "x" << 1;
    QTest::newRow("empty") << "" << 1;
}

void TestConversions::tick() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(Conv::toTick(text, 1), expected);
}

void TestConversions::numberText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("integer") << 1500.0 << "1500";
    QTest::newRow("fraction") << 2.5 << "2.5";
    QTest::newRow("negative") << -0.125 << "-0.125";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("single precision") << double(1234.5f) << "1234.5";
    QTest::newRow("a million") << 1e6 << "1000000";
    QTest::newRow("shortest round trip") << 0.1 << "0.1";
    QTest::newRow("very large") << 1e20 << "1e+20";
    QTest::newRow("very small") << 1e-7 << "1e-07";
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "0";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity()
                              << "1.7976931348623157e+308";
}

void TestConversions::numberText() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    const QString text = Conv::numberText(value);
    QCOMPARE(text, expected);
    // Whatever is written reads back as the same (finite) value.
    if (std::isfinite(value))
        QCOMPARE(Conv::toNumber(text, 42.0), value == 0.0 ? 0.0 : value);
}

// Dialmere writes flags, DMSettings writes ticks, and each reads the other's.
void TestConversions::writersFormsReadBack() {
    for (const bool on : {false, true}) {
        QCOMPARE(Conv::toFlag(Conv::flagText(on), !on), on);
        QCOMPARE(Conv::toFlag(Conv::tickText(on), !on), on);
        QCOMPARE(Conv::toTick(Conv::tickText(on), on ? 0 : 1), on ? 1 : 0);
    }
    QCOMPARE(Conv::flagText(true), QStringLiteral("True"));
    QCOMPARE(Conv::flagText(false), QStringLiteral("False"));
    QCOMPARE(Conv::tickText(true), QStringLiteral("1"));
    QCOMPARE(Conv::tickText(false), QStringLiteral("0"));
}

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
