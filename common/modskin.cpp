#include "modskin.h"

#include "twips.h"

#include <QStringView>
#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// Significant digits kept of a decimal number; more cannot change the nearest
// double once a dropped non-zero digit is remembered as a final 1.
constexpr std::size_t kMaxDigits = 800;
// Exponent digits beyond this magnitude cannot change the result either.
constexpr qint64 kMaxExponent = 1'000'000'000;

// Walks a text with spaces, tabs and line feeds left out.
class Cursor {
public:
    explicit Cursor(QStringView text) : m_text(text) { skipBlanks(); }
    bool atEnd() const { return m_pos >= m_text.size(); }
    char16_t peek() const { return atEnd() ? u'\0' : m_text[m_pos].unicode(); }
    void next() {
        ++m_pos;
        skipBlanks();
    }

private:
    void skipBlanks() {
        while (m_pos < m_text.size()) {
            const char16_t c = m_text[m_pos].unicode();
            if (c != u' ' && c != u'\t' && c != u'\n')
                break;
            ++m_pos;
        }
    }
    QStringView m_text;
    qsizetype m_pos = 0;
};

bool isDecimalDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// "&H1F" or "&O17", the cursor standing on "&".
double radixNumber(Cursor& cur) {
    cur.next();
    const char16_t kind = cur.peek();
    int radix = 0;
    if (kind == u'h' || kind == u'H')
        radix = 16;
    else if (kind == u'o' || kind == u'O')
        radix = 8;
    else
        return 0;
    cur.next();
    double value = 0;
    for (;;) {
        const int d = hexDigit(cur.peek());
        if (d < 0 || d >= radix)
            break;
        if (value > (DBL_MAX - d) / radix)
            return DBL_MAX;
        value = value * radix + d;
        cur.next();
    }
    return value;
}

// Nearest whole number, a half going to the even neighbour. Exact for every
// double: beyond 2^52 all doubles are whole already.
double roundHalfEvenLocal(double v) {
    double r = std::floor(v);
    const double diff = v - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0))
        r += 1.0;
    return r;
}

qint16 toInt16(double v) {
    return static_cast<qint16>(roundToRange(v, -32768, 32767));
}

qint16 offsetPart(const QString& text, bool wantY, double twipsPerPixel) {
    const qsizetype comma = text.indexOf(u',');
    if (comma < 0)
        return 0;
    const QString part = wantY ? text.mid(comma + 1) : text.left(comma);
    const qint16 pixels = toInt16(leadingNumber(part));
    return toInt16(pixels * twipsPerPixel);
}

} // namespace

double leadingNumber(const QString& text) {
    Cursor cur(text);
    if (cur.peek() == u'&')
        return radixNumber(cur);

    bool negative = false;
    if (cur.peek() == u'+' || cur.peek() == u'-') {
        negative = cur.peek() == u'-';
        cur.next();
    }
    // The value is digits × 10^exponent, digits without leading zeros.
    std::string digits;
    qint64 exponent = 0;
    bool anyDigit = false;
    bool droppedNonZero = false;
    for (; isDecimalDigit(cur.peek()); cur.next()) {
        anyDigit = true;
        const char d = static_cast<char>(cur.peek());
        if (digits.empty() && d == '0')
            continue;
        if (digits.size() < kMaxDigits) {
            digits += d;
        } else {
            ++exponent;
            droppedNonZero = droppedNonZero || d != '0';
        }
    }
    if (cur.peek() == u'.') {
        cur.next();
        for (; isDecimalDigit(cur.peek()); cur.next()) {
            anyDigit = true;
            const char d = static_cast<char>(cur.peek());
            if (digits.empty() && d == '0') {
                --exponent;
            } else if (digits.size() < kMaxDigits) {
                digits += d;
                --exponent;
            } else {
                droppedNonZero = droppedNonZero || d != '0';
            }
        }
    }
    if (!anyDigit)
        return 0;
    const char16_t e = cur.peek();
    if (e == u'e' || e == u'E' || e == u'd' || e == u'D') {
        cur.next();
        bool negativeExponent = false;
        if (cur.peek() == u'+' || cur.peek() == u'-') {
            negativeExponent = cur.peek() == u'-';
            cur.next();
        }
        qint64 value = 0;
        for (; isDecimalDigit(cur.peek()); cur.next())
            value = std::min(value * 10 + (cur.peek() - u'0'), kMaxExponent);
        exponent += negativeExponent ? -value : value;
    }
    if (digits.empty())
        return 0;
    if (droppedNonZero) {
        digits += '1';
        --exponent;
    }

    // The number lies in [10^(magnitude-1), 10^magnitude).
    const qint64 magnitude = static_cast<qint64>(digits.size()) + exponent;
    const double huge = negative ? -DBL_MAX : DBL_MAX;
    if (magnitude > 310)
        return huge;
    if (magnitude < -330)
        return 0;
    // No decimal point in the text, so no locale can change how it reads.
    const std::string literal = digits + 'e' + std::to_string(exponent);
    double value = 0;
    const auto [end, ec] = std::from_chars(literal.data(), literal.data() + literal.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range)
        return magnitude > 0 ? huge : 0.0;
    if (ec != std::errc() || !std::isfinite(value))
        return 0;
    return negative ? -value : value;
}

qint64 roundToRange(double value, qint64 lo, qint64 hi) {
    if (std::isnan(value))
        value = 0;
    // Clamping first keeps the cast defined; the bounds are whole numbers, so
    // rounding afterwards stays inside them.
    value = std::clamp(value, static_cast<double>(lo), static_cast<double>(hi));
    return static_cast<qint64>(roundHalfEvenLocal(value));
}

qint32 parseRgbTriple(const QString& text) {
    const qsizetype first = text.indexOf(u',');
    const qsizetype second = first < 0 ? -1 : text.indexOf(u',', first + 1);
    const QString red = first < 0 ? text : text.left(first);
    const QString green =
        first < 0 ? QString() : text.mid(first + 1, second < 0 ? -1 : second - first - 1);
    const QString blue = second < 0 ? QString() : text.mid(second + 1);
    const auto part = [](const QString& t) {
        return static_cast<qint32>(roundToRange(leadingNumber(t), 0, 255));
    };
    return part(red) + 256 * part(green) + 65536 * part(blue);
}

qint16 parseOffsetX(const QString& text, double twipsPerPixelX) {
    return offsetPart(text, false, twipsPerPixelX);
}

qint16 parseOffsetY(const QString& text, double twipsPerPixelY) {
    return offsetPart(text, true, twipsPerPixelY);
}

qint16 parseOffsetX(const QString& text) {
    return parseOffsetX(text, twipsPerPixelX());
}

qint16 parseOffsetY(const QString& text) {
    return parseOffsetY(text, twipsPerPixelY());
}

int hexDigitValue(const QString& c) {
    if (c.size() != 1)
        return 0;
    return std::max(hexDigit(c[0].unicode()), 0);
}

qint32 parseHexColour(const QString& text) {
    // The text as one hexadecimal number; the character k places from the end
    // weighs 16^k. From the seventh place on, any digit exceeds the range.
    qint32 sum = 0;
    int place = 0;
    for (qsizetype i = text.size(); i > 0; ++place) {
        --i;
        // A surrogate pair is one character (and no digit).
        if (text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()) {
            --i;
            continue;
        }
        const int d = hexDigit(text[i].unicode());
        if (d <= 0)
            continue;
        if (place >= 6)
            return kMaxColourValue;
        sum += d << (4 * place);
    }
    return sum;
}

qint32 parseTransColour(const QString& text) {
    const double red = leadingNumber(text.mid(0, 3));
    const double green = leadingNumber(text.mid(3, 3));
    const double blue = leadingNumber(text.right(3));
    return static_cast<qint32>(roundToRange(blue * 65536 + green * 256 + red, 0, kMaxColourValue));
}
