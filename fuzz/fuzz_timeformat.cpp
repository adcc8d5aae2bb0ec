// The date and time formatter with any format a user may type: no undefined
// behaviour, no runaway output. English and a locale with other names and
// designators. The first eight bytes, when there are that many, also pick the
// moment formatted.
#include "timeformat.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

// Output grows at most by a locale name per format character.
void checkLength(const QString& out, const QString& format) {
    check(out.size() <= 64 * (format.size() + 1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QLocale locales[] = {QLocale(QLocale::English, QLocale::UnitedStates),
                                      QLocale(QLocale::German, QLocale::Germany)};

    QDateTime moment(QDate(2001, 12, 8), QTime(19, 5, 9));
    if (size >= 8) {
        quint64 seed = 0;
        std::memcpy(&seed, data, sizeof seed);
        // Years 1 to 9999, any millisecond of the day.
        const qint64 days = static_cast<qint64>(seed % 3652059);
        const int ms = static_cast<int>((seed >> 32) % 86400000);
        moment = QDateTime(QDate(1, 1, 1).addDays(days), QTime::fromMSecsSinceStartOfDay(ms));
    }
    const QString format =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    for (const QLocale& locale : locales) {
        checkLength(formatDateTime(moment, format, locale), format);
        checkLength(formatTime(moment.time(), format, locale), format);
        checkLength(formatDate(moment.date(), format, locale), format);
    }
    return 0;
}
