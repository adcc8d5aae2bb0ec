// The date and time format language: a tokenizer pass, then one output pass.
// The token list is needed because "m" looks at its neighbours (minutes or
// month) and an AM/PM token anywhere switches every hour to the 12-hour clock.
#include "timeformat.h"

#include <QVarLengthArray>

#include <cstdlib>

namespace {

enum class Kind : quint8 {
    Literal, // format.mid(pos, len) copied as it stands
    Hour1,
    Hour2,
    MinuteOrMonth1,
    MinuteOrMonth2,
    Minute1,
    Minute2,
    Second1,
    Second2,
    MonthAbbr,
    MonthFull,
    Day1,
    Day2,
    WeekdayAbbr,
    WeekdayFull,
    ShortDate,
    LongDate,
    DayOfYear,
    Year2,
    Year4,
    AmPmLocale,
    AmPmTyped, // "AM/PM" in the case typed
    APTyped,   // "A/P" in the case typed
    TimeSeparator,
    DateSeparator,
};

struct Token {
    Kind kind;
    qsizetype pos;
    qsizetype len;
};

// Typical formats fit without a heap allocation.
using Tokens = QVarLengthArray<Token, 32>;

struct Moment {
    QDate date;
    int year, month, day, hour, minute, second;
};

char16_t lower(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') ? char16_t(u + (u'a' - u'A')) : u;
}

bool matchesAt(const QString& format, qsizetype i, const char* word) {
    for (qsizetype k = 0; word[k]; ++k) {
        if (i + k >= format.size() || lower(format[i + k]) != char16_t(word[k]))
            return false;
    }
    return true;
}

// Length of the run of `letter` at `i`, counted up to `limit` only: a long
// run is consumed in pieces, and counting it whole each time would be quadratic.
qsizetype runLength(const QString& format, qsizetype i, char16_t letter, qsizetype limit) {
    const qsizetype stop = qMin(format.size(), i + limit);
    qsizetype end = i;
    while (end < stop && lower(format[end]) == letter)
        ++end;
    return end - i;
}

bool startsToken(char16_t c) {
    switch (c) {
    case u'"':
    case u'\\':
    case u':':
    case u'/':
    case u'a':
    case u'h':
    case u'm':
    case u'n':
    case u's':
    case u'd':
    case u'y':
        return true;
    default:
        return false;
    }
}

void pushLiteral(Tokens& tokens, qsizetype pos, qsizetype len) {
    if (len <= 0)
        return;
    if (!tokens.isEmpty()) {
        Token& last = tokens.last();
        if (last.kind == Kind::Literal && last.pos + last.len == pos) {
            last.len += len;
            return;
        }
    }
    tokens.append({Kind::Literal, pos, len});
}

// Splits `format` into tokens; `twelveHour` tells whether an AM/PM token is there.
void tokenize(const QString& format, Tokens& tokens, bool& twelveHour) {
    twelveHour = false;
    const qsizetype n = format.size();
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = lower(format[i]);
        qsizetype used = 1;
        switch (c) {
        case u'"': {
            qsizetype close = format.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0) // an unclosed quote runs to the end
                close = n;
            pushLiteral(tokens, i + 1, close - i - 1);
            used = close + 1 - i;
            break;
        }
        case u'\\':
            if (i + 1 < n) {
                // Keep a surrogate pair whole.
                const qsizetype len =
                    (format[i + 1].isHighSurrogate() && i + 2 < n && format[i + 2].isLowSurrogate())
                        ? 2
                        : 1;
                pushLiteral(tokens, i + 1, len);
                used = 1 + len;
            } // a trailing backslash shows nothing
            break;
        case u':':
            tokens.append({Kind::TimeSeparator, i, 1});
            break;
        case u'/':
            tokens.append({Kind::DateSeparator, i, 1});
            break;
        case u'a':
            if (matchesAt(format, i, "am/pm")) {
                tokens.append({Kind::AmPmTyped, i, 5});
                used = 5;
                twelveHour = true;
            } else if (matchesAt(format, i, "ampm")) {
                tokens.append({Kind::AmPmLocale, i, 4});
                used = 4;
                twelveHour = true;
            } else if (matchesAt(format, i, "a/p")) {
                tokens.append({Kind::APTyped, i, 3});
                used = 3;
                twelveHour = true;
            } else {
                pushLiteral(tokens, i, 1);
            }
            break;
        case u'h':
            used = runLength(format, i, c, 2) >= 2 ? 2 : 1;
            tokens.append({used == 2 ? Kind::Hour2 : Kind::Hour1, i, used});
            break;
        case u'n':
            used = runLength(format, i, c, 2) >= 2 ? 2 : 1;
            tokens.append({used == 2 ? Kind::Minute2 : Kind::Minute1, i, used});
            break;
        case u's':
            used = runLength(format, i, c, 2) >= 2 ? 2 : 1;
            tokens.append({used == 2 ? Kind::Second2 : Kind::Second1, i, used});
            break;
        case u'm': {
            static constexpr Kind byLength[] = {Kind::MinuteOrMonth1, Kind::MinuteOrMonth2,
                                                Kind::MonthAbbr, Kind::MonthFull};
            used = runLength(format, i, c, 4);
            tokens.append({byLength[used - 1], i, used});
            break;
        }
        case u'd': {
            static constexpr Kind byLength[] = {Kind::Day1,        Kind::Day2,
                                                Kind::WeekdayAbbr, Kind::WeekdayFull,
                                                Kind::ShortDate,   Kind::LongDate};
            used = runLength(format, i, c, 6);
            tokens.append({byLength[used - 1], i, used});
            break;
        }
        case u'y': {
            // "yyy" has no meaning of its own; the full year is the likely intent.
            static constexpr Kind byLength[] = {Kind::DayOfYear, Kind::Year2, Kind::Year4,
                                                Kind::Year4};
            used = runLength(format, i, c, 4);
            tokens.append({byLength[used - 1], i, used});
            break;
        }
        default: {
            qsizetype end = i + 1;
            while (end < n && !startsToken(lower(format[end])))
                ++end;
            used = end - i;
            pushLiteral(tokens, i, used);
            break;
        }
        }
        i += used;
    }
}

bool isSpacer(Kind k) {
    return k == Kind::Literal || k == Kind::TimeSeparator || k == Kind::DateSeparator;
}

bool isHour(Kind k) {
    return k == Kind::Hour1 || k == Kind::Hour2;
}
bool isSecond(Kind k) {
    return k == Kind::Second1 || k == Kind::Second2;
}

// "m"/"mm" are minutes right after an hour token or right before a seconds
// token, separators and literal text between; elsewhere they are the month.
void resolveMinutes(Tokens& tokens) {
    Kind previous = Kind::Literal;
    for (qsizetype t = 0; t < tokens.size(); ++t) {
        Token& token = tokens[t];
        if (isSpacer(token.kind))
            continue;
        if (token.kind == Kind::MinuteOrMonth1 || token.kind == Kind::MinuteOrMonth2) {
            bool minute = isHour(previous);
            if (!minute) {
                // Each look-ahead crosses only the spacers up to the next
                // token, so the whole pass stays linear.
                qsizetype next = t + 1;
                while (next < tokens.size() && isSpacer(tokens[next].kind))
                    ++next;
                minute = next < tokens.size() && isSecond(tokens[next].kind);
            }
            if (minute)
                token.kind = token.kind == Kind::MinuteOrMonth1 ? Kind::Minute1 : Kind::Minute2;
        }
        previous = token.kind;
    }
}

bool hasDayToken(const Tokens& tokens) {
    for (const Token& token : tokens) {
        if (token.kind == Kind::Day1 || token.kind == Kind::Day2)
            return true;
    }
    return false;
}

void appendNumber(QString& out, qint64 value, int width) {
    if (value < 0) {
        out += QLatin1Char('-');
        value = -value;
    }
    char digits[24];
    int count = 0;
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int pad = count; pad < width; ++pad)
        out += QLatin1Char('0');
    while (count > 0)
        out += QLatin1Char(digits[--count]);
}

// Text between the first field (a letter of `fieldLetters`) and the next
// field of a locale's format, quotes removed and blanks trimmed; `fallback`
// when that text is empty or holds a letter or digit (as fr_CA's "HH 'h' mm").
QString separatorOf(const QString& localeFormat, QLatin1String fieldLetters, QLatin1Char fallback) {
    const qsizetype n = localeFormat.size();
    qsizetype i = 0;
    bool quoted = false;
    for (; i < n; ++i) {
        const QChar c = localeFormat[i];
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && fieldLetters.contains(c))
            break;
    }
    while (i < n && fieldLetters.contains(localeFormat[i]))
        ++i;
    QString separator;
    quoted = false;
    for (; i < n; ++i) {
        const QChar c = localeFormat[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && c.isLetter())
            break;
        separator += c;
    }
    separator = separator.trimmed();
    if (separator.isEmpty())
        return QString(fallback);
    for (const QChar c : std::as_const(separator)) {
        if (c.isLetterOrNumber())
            return QString(fallback);
    }
    return separator;
}

// The clock formats with the same locale every second: keep its separators.
struct Separators {
    QString time;
    QString date;
};

const Separators& separatorsOf(const QLocale& locale) {
    thread_local QLocale cachedLocale = QLocale::c();
    thread_local Separators cached;
    thread_local bool filled = false;
    if (!filled || !(cachedLocale == locale)) {
        cached.time = separatorOf(locale.timeFormat(QLocale::ShortFormat), QLatin1String("hH"),
                                  QLatin1Char(':'));
        cached.date = separatorOf(locale.dateFormat(QLocale::ShortFormat), QLatin1String("dMy"),
                                  QLatin1Char('/'));
        cachedLocale = locale;
        filled = true;
    }
    return cached;
}

QString render(const Moment& m, const QString& format, const QLocale& locale) {
    Tokens tokens;
    bool twelveHour = false;
    tokenize(format, tokens, twelveHour);
    resolveMinutes(tokens);
    // In a day-month phrase some languages use another form of the month
    // name ("8. Dezember" but "Dezember 2001"; Russian "декабря"/"декабрь").
    const bool monthInPhrase = hasDayToken(tokens);
    const bool am = m.hour < 12;
    const int hour = twelveHour ? (m.hour % 12 == 0 ? 12 : m.hour % 12) : m.hour;

    QString out;
    out.reserve(format.size() + 16);
    for (const Token& token : std::as_const(tokens)) {
        switch (token.kind) {
        case Kind::Literal:
            out += QStringView(format).mid(token.pos, token.len);
            break;
        case Kind::Hour1:
            appendNumber(out, hour, 1);
            break;
        case Kind::Hour2:
            appendNumber(out, hour, 2);
            break;
        case Kind::Minute1:
            appendNumber(out, m.minute, 1);
            break;
        case Kind::Minute2:
            appendNumber(out, m.minute, 2);
            break;
        case Kind::Second1:
            appendNumber(out, m.second, 1);
            break;
        case Kind::Second2:
            appendNumber(out, m.second, 2);
            break;
        case Kind::MinuteOrMonth1:
            appendNumber(out, m.month, 1);
            break;
        case Kind::MinuteOrMonth2:
            appendNumber(out, m.month, 2);
            break;
        case Kind::MonthAbbr:
            out += monthInPhrase ? locale.monthName(m.month, QLocale::ShortFormat)
                                 : locale.standaloneMonthName(m.month, QLocale::ShortFormat);
            break;
        case Kind::MonthFull:
            out += monthInPhrase ? locale.monthName(m.month, QLocale::LongFormat)
                                 : locale.standaloneMonthName(m.month, QLocale::LongFormat);
            break;
        case Kind::Day1:
            appendNumber(out, m.day, 1);
            break;
        case Kind::Day2:
            appendNumber(out, m.day, 2);
            break;
        case Kind::WeekdayAbbr:
            out += locale.dayName(m.date.dayOfWeek(), QLocale::ShortFormat);
            break;
        case Kind::WeekdayFull:
            out += locale.dayName(m.date.dayOfWeek(), QLocale::LongFormat);
            break;
        case Kind::ShortDate:
            out += locale.toString(m.date, QLocale::ShortFormat);
            break;
        case Kind::LongDate:
            out += locale.toString(m.date, QLocale::LongFormat);
            break;
        case Kind::DayOfYear:
            appendNumber(out, m.date.dayOfYear(), 1);
            break;
        case Kind::Year2:
            appendNumber(out, std::abs(qint64(m.year)) % 100, 2);
            break;
        case Kind::Year4:
            appendNumber(out, m.year, 4);
            break;
        case Kind::AmPmLocale:
            out += am ? locale.amText() : locale.pmText();
            break;
        case Kind::AmPmTyped:
            out += QStringView(format).mid(am ? token.pos : token.pos + 3, 2);
            break;
        case Kind::APTyped:
            out += format[am ? token.pos : token.pos + 2];
            break;
        case Kind::TimeSeparator:
            out += separatorsOf(locale).time;
            break;
        case Kind::DateSeparator:
            out += separatorsOf(locale).date;
            break;
        }
    }
    return out;
}

Moment momentOf(const QDate& date, const QTime& time) {
    return {date, date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

// The date a time of day alone stands on.
const QDate zeroDate(1899, 12, 30);

} // namespace

QString localeTimeSeparator(const QLocale& locale) {
    return separatorsOf(locale).time;
}

QString localeDateSeparator(const QLocale& locale) {
    return separatorsOf(locale).date;
}

QString formatDateTime(const QDateTime& value, const QString& format, const QLocale& locale) {
    if (!value.isValid())
        return QString();
    if (format.isEmpty())
        return locale.toString(value, QLocale::ShortFormat);
    return render(momentOf(value.date(), value.time()), format, locale);
}

QString formatTime(const QTime& time, const QString& format, const QLocale& locale) {
    if (!time.isValid())
        return QString();
    if (format.isEmpty())
        return locale.toString(time, QLocale::ShortFormat);
    return render(momentOf(zeroDate, time), format, locale);
}

QString formatDate(const QDate& date, const QString& format, const QLocale& locale) {
    if (!date.isValid())
        return QString();
    if (format.isEmpty())
        return locale.toString(date, QLocale::ShortFormat);
    return render(momentOf(date, QTime(0, 0)), format, locale);
}
