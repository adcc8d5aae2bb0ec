#include "alarmtime.h"

#include "keys.h"
#include "timeformat.h"

#include <QList>
#include <QStringList>
#include <algorithm>

namespace {

enum class Half { None, Am, Pm };

struct Mark {
    QString text;
    Half half;
    bool mayLead; // also accepted before the time
};

QList<Mark> marks(const QLocale& locale) {
    QList<Mark> list;
    const QString am = locale.amText().trimmed().toLower();
    const QString pm = locale.pmText().trimmed().toLower();
    if (!am.isEmpty())
        list.append({am, Half::Am, true});
    if (!pm.isEmpty())
        list.append({pm, Half::Pm, true});
    list.append({QStringLiteral("a.m."), Half::Am, false});
    list.append({QStringLiteral("p.m."), Half::Pm, false});
    list.append({QStringLiteral("am"), Half::Am, false});
    list.append({QStringLiteral("pm"), Half::Pm, false});
    list.append({QStringLiteral("a"), Half::Am, false});
    list.append({QStringLiteral("p"), Half::Pm, false});
    // Longest first, so "a.m." is never taken for a bare "." and "m".
    std::stable_sort(list.begin(), list.end(),
                     [](const Mark& a, const Mark& b) { return a.text.size() > b.text.size(); });
    return list;
}

// Takes an AM/PM mark off either end of `s`.
Half takeMark(QString& s, const QLocale& locale) {
    for (const Mark& m : marks(locale)) {
        if (s.endsWith(m.text)) {
            s.chop(m.text.size());
            return m.half;
        }
        if (m.mayLead && s.startsWith(m.text)) {
            s.remove(0, m.text.size());
            return m.half;
        }
    }
    return Half::None;
}

bool allDigits(const QString& s) {
    return !s.isEmpty() &&
           std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

std::optional<QTime> readTimeOfDay(const QString& text, const QLocale& locale) {
    QString s = text.trimmed().toLower();
    const Half half = takeMark(s, locale);
    s.removeIf([](QChar c) { return c.isSpace(); }); // "7 : 30", "7 30"

    // Every separator becomes ":"; "19h" is 19 o'clock.
    const QString localeSep = localeTimeSeparator(locale).trimmed();
    if (!localeSep.isEmpty() && !allDigits(localeSep))
        s.replace(localeSep, QStringLiteral(":"));
    if (s.endsWith(u'h'))
        s.chop(1);
    s.replace(u'.', u':');
    s.replace(u'h', u':');

    const QStringList parts = s.split(u':');
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (parts.size() == 1) {
        // Digits alone: h, hh, hmm, hhmm, hmmss, hhmmss.
        if (!allDigits(s) || s.size() > 6)
            return std::nullopt;
        const int hourDigits = s.size() <= 2 ? int(s.size()) : 2 - int(s.size()) % 2;
        hour = s.left(hourDigits).toInt();
        if (s.size() > 2)
            minute = s.mid(hourDigits, 2).toInt();
        if (s.size() > 4)
            second = s.mid(hourDigits + 2, 2).toInt();
    } else if (parts.size() <= 3) {
        for (const QString& part : parts) {
            if (!allDigits(part) || part.size() > 2)
                return std::nullopt;
        }
        hour = parts[0].toInt();
        minute = parts[1].toInt();
        if (parts.size() == 3)
            second = parts[2].toInt();
    } else {
        return std::nullopt;
    }

    if (minute > 59 || second > 59)
        return std::nullopt;
    switch (half) {
    case Half::None:
        break;
    case Half::Am:
        if (hour > 12)
            return std::nullopt;
        if (hour == 12)
            hour = 0;
        break;
    case Half::Pm:
        // "19:30 pm" says the same twice; it is still 19:30.
        if (hour < 12)
            hour += 12;
        break;
    }
    if (hour > 23)
        return std::nullopt;
    return QTime(hour, minute, second);
}

QString alarmTimeText(const QString& text, const QLocale& locale) {
    const std::optional<QTime> time = readTimeOfDay(text, locale);
    if (!time)
        return QLatin1String(Keys::Alarm::NoAlarm);
    return formatTime(*time, QStringLiteral("hh:mm:00"), locale);
}
