#include "conversions.h"

#include <QLocale>

#include <cfloat>
#include <cmath>

namespace Conv {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Checks the whole text against the decimal grammar; the conversion itself
// is left to Qt's locale-free reader once we know the text is well formed.
bool isDecimal(const QString& s) {
    qsizetype i = 0;
    const qsizetype n = s.size();
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < n && isAsciiDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && isAsciiDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
            ++i;
        qsizetype expDigits = 0;
        while (i < n && isAsciiDigit(s[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    return i == n;
}

} // namespace

std::optional<double> parseDecimal(const QString& text) {
    const QString s = text.trimmed();
    if (!isDecimal(s))
        return std::nullopt;
    // QString::toDouble uses the C locale. On overflow it returns an infinity
    // and on underflow zero, both with ok == false: for a well-formed text
    // those are the values we want, so `ok` is not consulted.
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (std::isnan(v))
        return std::nullopt;
    return v;
}

double roundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

namespace {

// The integer reading shared by toInteger, toSmallInteger and toTick.
std::optional<double> roundedInRange(const QString& text, double lo, double hi) {
    const std::optional<double> v = parseDecimal(text);
    if (!v)
        return std::nullopt;
    const double r = roundHalfEven(*v);
    if (r < lo)
        return lo;
    if (r > hi)
        return hi;
    return r;
}

} // namespace

qint16 toInteger(const QString& text, qint16 fallback) {
    const std::optional<double> v = roundedInRange(text, -32768.0, 32767.0);
    return v ? static_cast<qint16>(*v) : fallback;
}

quint8 toSmallInteger(const QString& text, quint8 fallback) {
    const std::optional<double> v = roundedInRange(text, 0.0, 255.0);
    return v ? static_cast<quint8>(*v) : fallback;
}

double toNumber(const QString& text, double fallback) {
    const std::optional<double> v = parseDecimal(text);
    if (!v)
        return fallback;
    if (*v > DBL_MAX)
        return DBL_MAX;
    if (*v < -DBL_MAX)
        return -DBL_MAX;
    return *v;
}

bool toFlag(const QString& text, bool fallback) {
    const QString s = text.trimmed();
    if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const std::optional<double> v = parseDecimal(s);
    return v ? *v != 0.0 : fallback;
}

int toTick(const QString& text, int fallback) {
    const std::optional<double> v = roundedInRange(text, -32768.0, 32767.0);
    if (!v)
        return fallback;
    return *v != 0.0 ? 1 : 0;
}

QString flagText(bool on) {
    return on ? QStringLiteral("True") : QStringLiteral("False");
}

QString tickText(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString numberText(double v) {
    if (std::isnan(v) || v == 0.0)
        return QStringLiteral("0");
    if (std::isinf(v))
        v = v > 0 ? DBL_MAX : -DBL_MAX;
    const double a = std::fabs(v);
    // Window positions and durations read best as plain digits; only values
    // whose plain form would be long get the exponent form.
    const char format = (a >= 1e-4 && a < 1e15) ? 'f' : 'g';
    return QString::number(v, format, QLocale::FloatingPointShortest);
}

} // namespace Conv
