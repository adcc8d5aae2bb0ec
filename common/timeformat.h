// The clock's date and time format language ("hh:mm:ss ampm", "mmm d, yyyy", ...).
#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>

// Formats `value` with `format`; names, designators and separators from `locale`.
QString formatDateTime(const QDateTime& value, const QString& format,
                       const QLocale& locale = QLocale::system());
// The time of day alone: date tokens show the zero date, 30 December 1899.
QString formatTime(const QTime& time, const QString& format,
                   const QLocale& locale = QLocale::system());
// The date alone: time tokens show midnight.
QString formatDate(const QDate& date, const QString& format,
                   const QLocale& locale = QLocale::system());
