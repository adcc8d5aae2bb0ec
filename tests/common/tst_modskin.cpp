#include "modskin.h"
#include "testenv.h"
#include "twips.h"

#include <QtTest>
#include <cfloat>
#include <cmath>
#include <limits>

static TestEnv testEnv;

namespace {
QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}
qint32 rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}
} // namespace

class TstModSkin : public QObject {
    Q_OBJECT

private slots:
    void leadingNumber_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<double>("expected");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("ERROR") << "ERROR" << 0.0;
        QTest::newRow("trailing text") << "12abc" << 12.0;
        QTest::newRow("space inside") << "1 2" << 12.0;
        QTest::newRow("tab and line feed inside") << "\t1\n2 " << 12.0;
        QTest::newRow("carriage return ends") << "1\r2" << 1.0;
        QTest::newRow("comma ends") << "1,5" << 1.0;
        QTest::newRow("negative") << " -5" << -5.0;
        QTest::newRow("blank after sign") << "- 5" << -5.0;
        QTest::newRow("plus") << "+7" << 7.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("fraction") << "3.25" << 3.25;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("negative point first") << "-.5" << -0.5;
        QTest::newRow("point alone") << "." << 0.0;
        QTest::newRow("second point ends") << "1.2.3" << 1.2;
        QTest::newRow("comma is no point") << "3,25" << 3.0;
        QTest::newRow("exponent E") << "1E3" << 1000.0;
        QTest::newRow("exponent d") << "1d-2" << 0.01;
        QTest::newRow("exponent with blanks") << "2 e + 2" << 200.0;
        QTest::newRow("exponent without digits") << "2E" << 2.0;
        QTest::newRow("exponent sign only") << "2E+x" << 2.0;
        QTest::newRow("hex prefix") << "&H1F" << 31.0;
        QTest::newRow("hex lower case") << "&hff" << 255.0;
        QTest::newRow("octal prefix") << "&O17" << 15.0;
        QTest::newRow("octal stops at 8") << "&o178" << 15.0;
        QTest::newRow("hex prefix alone") << "&H" << 0.0;
        QTest::newRow("unknown prefix") << "&X1" << 0.0;
        QTest::newRow("sign before prefix") << "-&H10" << 0.0;
        QTest::newRow("C hex is not read") << "0x1F" << 0.0;
        QTest::newRow("NaN text") << "NaN" << 0.0;
        QTest::newRow("inf text") << "inf" << 0.0;
        QTest::newRow("Arabic-Indic digits") << text("\u0661\u0662") << 0.0;
        QTest::newRow("full-width digits") << text("\uFF11\uFF12") << 0.0;
        QTest::newRow("exact decimal") << "0.1" << 0.1;
        QTest::newRow("many digits") << "123456789012345678901234567890" << 1.2345678901234568e29;
        QTest::newRow("leading zeros") << QString(1000, u'0') + "5" << 5.0;
        QTest::newRow("small") << "0." + QString(300, u'0') + "1" << 1e-301;
        QTest::newRow("long mantissa") << "1." + QString(900, u'0') + "1" << 1.0;
        QTest::newRow("long integer exponent") << "1" + QString(400, u'0') + "e-400" << 1.0;
    }
    void leadingNumber() {
        QFETCH(QString, input);
        QFETCH(double, expected);
        const double got = ::leadingNumber(input);
        QVERIFY2(got == expected, qPrintable(QString::number(got, 'g', 17)));
    }

    // Beyond the double range the result stays finite.
    void leadingNumberLimits_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<double>("expected");
        QTest::newRow("overflow") << "1e999" << DBL_MAX;
        QTest::newRow("negative overflow") << "-1e999" << -DBL_MAX;
        QTest::newRow("just over") << "1.8e308" << DBL_MAX;
        QTest::newRow("largest") << "1.7976931348623157e308" << DBL_MAX;
        QTest::newRow("underflow") << "1e-999" << 0.0;
        QTest::newRow("negative underflow") << "-1e-400" << 0.0;
        QTest::newRow("denormal") << "5e-324" << std::numeric_limits<double>::denorm_min();
        QTest::newRow("huge exponent digits") << "1e" + QString(100, u'9') << DBL_MAX;
        QTest::newRow("huge negative exponent") << "1e-" + QString(100, u'9') << 0.0;
        QTest::newRow("zero with huge exponent") << "0e999999" << 0.0;
        QTest::newRow("400 digits") << "1" + QString(400, u'0') << DBL_MAX;
        QTest::newRow("long hex") << "&H" + QString(300, u'F') << DBL_MAX;
    }
    void leadingNumberLimits() {
        QFETCH(QString, input);
        QFETCH(double, expected);
        const double got = ::leadingNumber(input);
        QVERIFY(std::isfinite(got));
        QVERIFY2(got == expected, qPrintable(QString::number(got, 'g', 17)));
    }

    void roundsHalfToEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("12.5") << 12.5 << qint64(12);
        QTest::newRow("13.5") << 13.5 << qint64(14);
        QTest::newRow("0.5") << 0.5 << qint64(0);
        QTest::newRow("-0.5") << -0.5 << qint64(0);
        QTest::newRow("-1.5") << -1.5 << qint64(-2);
        QTest::newRow("-2.5") << -2.5 << qint64(-2);
        QTest::newRow("2.4999") << 2.4999 << qint64(2);
        QTest::newRow("2.5001") << 2.5001 << qint64(3);
        QTest::newRow("clamped high") << 1e300 << qint64(1000);
        QTest::newRow("clamped low") << -1e300 << qint64(-1000);
        QTest::newRow("at the bound") << 1000.4 << qint64(1000);
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << qint64(1000);
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << qint64(0);
    }
    void roundsHalfToEven() {
        QFETCH(double, value);
        QFETCH(qint64, expected);
        QCOMPARE(roundToRange(value, -1000, 1000), expected);
    }

    void parseRgbTriple_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<qint32>("expected");
        QTest::newRow("orange") << "255,128,0" << 33023;
        QTest::newRow("white with spaces") << "255, 255, 255" << 16777215;
        QTest::newRow("black") << "0,0,0" << 0;
        QTest::newRow("four parts") << "1,2,3,4" << rgb(1, 2, 3);
        QTest::newRow("two parts") << "255,128" << rgb(255, 128, 0);
        QTest::newRow("one part") << "255" << 255;
        QTest::newRow("half to even down") << "12.5,0,0" << 12;
        QTest::newRow("half to even up") << "13.5,2.5,0.5" << rgb(14, 2, 0);
        QTest::newRow("empty parts") << ",,5" << rgb(0, 0, 5);
        QTest::newRow("ERROR") << "ERROR" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("above a byte") << "256,1000,255.5" << rgb(255, 255, 255);
        QTest::newRow("below zero") << "-1,-0.5,-1e999" << 0;
        QTest::newRow("overflowing parts") << "1e999,0,1e999" << rgb(255, 0, 255);
        QTest::newRow("hex part") << "&HFF,&O10,0" << rgb(255, 8, 0);
        QTest::newRow("junk") << "red,green,blue" << 0;
    }
    void parseRgbTriple() {
        QFETCH(QString, input);
        QFETCH(qint32, expected);
        QCOMPARE(::parseRgbTriple(input), expected);
    }

    void parseOffset_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<double>("factorX");
        QTest::addColumn<double>("factorY");
        QTest::addColumn<qint16>("x");
        QTest::addColumn<qint16>("y");
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("10,20") << "10,20" << 15.0 << 15.0 << qint16(150) << qint16(300);
        QTest::newRow("-5,3") << "-5,3" << 15.0 << 15.0 << qint16(-75) << qint16(45);
        QTest::newRow("no comma") << "10" << 15.0 << 15.0 << qint16(0) << qint16(0);
        QTest::newRow("ERROR") << "ERROR" << 15.0 << 15.0 << qint16(0) << qint16(0);
        QTest::newRow("empty x") << ",7" << 15.0 << 15.0 << qint16(0) << qint16(105);
        QTest::newRow("y to the end") << "1,2,3" << 15.0 << 15.0 << qint16(15) << qint16(30);
        QTest::newRow("pixels rounded first")
            << "1.5,2.5" << 15.0 << 15.0 << qint16(30) << qint16(30);
        QTest::newRow("twips rounded half even")
            << "1,3" << 12.5 << 12.5 << qint16(12) << qint16(38);
        QTest::newRow("other factors") << "10,10" << 15.0 << 7.5 << qint16(150) << qint16(75);
        QTest::newRow("largest that fits")
            << "2184,-2184" << 15.0 << 15.0 << qint16(32760) << qint16(-32760);
        QTest::newRow("result clamped")
            << "2185,-2185" << 15.0 << 15.0 << qint16(32767) << qint16(-32768);
        QTest::newRow("pixels clamped")
            << "40000,-40000" << 0.5 << 0.5 << qint16(16384) << qint16(-16384);
        QTest::newRow("overflowing text")
            << "1e999,-1e999" << 15.0 << 15.0 << qint16(32767) << qint16(-32768);
        QTest::newRow("infinite factor") << "1,0" << inf << inf << qint16(32767) << qint16(0);
        QTest::newRow("NaN factor") << "1,1" << nan << nan << qint16(0) << qint16(0);
    }
    void parseOffset() {
        QFETCH(QString, input);
        QFETCH(double, factorX);
        QFETCH(double, factorY);
        QFETCH(qint16, x);
        QFETCH(qint16, y);
        QCOMPARE(parseOffsetX(input, factorX), x);
        QCOMPARE(parseOffsetY(input, factorY), y);
    }

    void parseOffsetUsesScreen() {
        QCOMPARE(parseOffsetX("10,20"), qint16(roundToRange(10 * twipsPerPixelX(), -32768, 32767)));
        QCOMPARE(parseOffsetY("10,20"), qint16(roundToRange(20 * twipsPerPixelY(), -32768, 32767)));
    }

    void hexDigitValue_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("expected");
        QTest::newRow("F") << "F" << 15;
        QTest::newRow("f") << "f" << 15;
        QTest::newRow("a") << "a" << 10;
        QTest::newRow("C") << "C" << 12;
        QTest::newRow("9") << "9" << 9;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("g") << "g" << 0;
        QTest::newRow("#") << "#" << 0;
        QTest::newRow("space") << " " << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("two characters") << "12" << 0;
        QTest::newRow("full-width A") << text("\uFF21") << 0;
        QTest::newRow("Arabic-Indic three") << text("\u0663") << 0;
    }
    void hexDigitValue() {
        QFETCH(QString, input);
        QFETCH(int, expected);
        QCOMPARE(::hexDigitValue(input), expected);
    }

    void parseHexColour_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<qint32>("expected");
        QTest::newRow("FF8000") << "FF8000" << 16744448;
        QTest::newRow("#ff8000") << "#ff8000" << 16744448;
        QTest::newRow("0000FF") << "0000FF" << 255;
        QTest::newRow("white") << "fFfFfF" << 16777215;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("short") << "1F" << 31;
        QTest::newRow("non-digit keeps its place") << "1G" << 16;
        QTest::newRow("leading zeros beyond six") << "00000000FF" << 255;
        QTest::newRow("seventh digit clamps") << "1000000" << 16777215;
        QTest::newRow("far digit clamps") << "F" + QString(100, u'0') << 16777215;
        QTest::newRow("very long") << QString(100000, u'F') << 16777215;
        QTest::newRow("wide character is one place") << text("F\U0001F600") << 240;
        QTest::newRow("wide character last") << text("\U0001F600F") << 15;
    }
    void parseHexColour() {
        QFETCH(QString, input);
        QFETCH(qint32, expected);
        QCOMPARE(::parseHexColour(input), expected);
    }

    void parseTransColour_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<qint32>("expected");
        QTest::newRow("magenta") << "255000255" << 16711935;
        QTest::newRow("green") << "000255000" << 65280;
        QTest::newRow("blue") << "000000255" << rgb(0, 0, 255);
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("three characters") << "255" << rgb(255, 0, 255);
        QTest::newRow("two characters") << "12" << rgb(12, 0, 12);
        QTest::newRow("groups carry") << "000256000" << rgb(0, 0, 1);
        QTest::newRow("above the range") << "999999999" << 16777215;
        QTest::newRow("below zero") << "000000-99" << 0;
        QTest::newRow("exponent in a group") << "9E9000000" << 16777215;
        QTest::newRow("half to even up") << "1.5000000" << 2;
        QTest::newRow("half to even down") << "2.5000000" << 2;
        QTest::newRow("fraction carries") << "000.50000" << 128;
        QTest::newRow("ERROR") << "ERROR" << 0;
    }
    void parseTransColour() {
        QFETCH(QString, input);
        QFETCH(qint32, expected);
        QCOMPARE(::parseTransColour(input), expected);
    }

    void colourToRgb() {
        QCOMPARE(colourValueToRgb(::parseHexColour("FF8000")), 0xFF0080FFu);
        QCOMPARE(colourValueToRgb(::parseRgbTriple("255,128,0")), 0xFFFF8000u);
    }
};

QTEST_MAIN(TstModSkin)
#include "tst_modskin.moc"
