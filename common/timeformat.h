// The clock's date and time format language ("hh:mm:ss ampm", "mmm d, yyyy", ...).
//
// Tokens (letters in any case; a run of letters is read greedily, longest
// token first):
//   h hh        hour, 0-23 / 00-23; 1-12 / 01-12 when the format holds an
//               AM/PM token anywhere
//   m mm        minutes when the nearest token before is an hour token or the
//               nearest token after is a seconds token (literal text and
//               separators between do not count), otherwise the month number
//   n nn        minutes
//   s ss        seconds
//   mmm mmmm    the locale's abbreviated / full month name
//   d dd        day of the month
//   ddd dddd    the locale's abbreviated / full weekday name
//   ddddd       the locale's short date; dddddd the locale's long date
//   y           day of the year (1-366)
//   yy          year, last two digits; yyy and yyyy the year, four digits
//   ampm        the locale's AM or PM designator
//   AM/PM A/P   "AM"/"PM" or "A"/"P", each letter in the case typed
//   :  /        the locale's time / date separator
//   "text"      copied without the quotes; \x copies the character x
// Every other character is copied unchanged. An empty format gives the
// locale's short rendering of the value. An invalid value gives "".
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

// The locale's time separator (":" in English) and date separator ("/" in
// English), taken from the text between the first two fields of its short
// time and short date formats.
QString localeTimeSeparator(const QLocale& locale);
QString localeDateSeparator(const QLocale& locale);
