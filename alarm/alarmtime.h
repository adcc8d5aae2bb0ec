// Reading the alarm time as a person types it, and the text DMAlarm stores.
#pragma once

#include <QLocale>
#include <QString>
#include <QTime>
#include <optional>

// A time of day in the forms people type: "7:30", "07:30:45", "7:30 pm",
// "19:30", "7pm", "7 a.m.", "0730", "7.30", "7h30". Hours, minutes and seconds
// may be separated by ":", ".", "h" or the locale's time separator; without a
// separator 1-2 digits are the hour, 3-4 hour and minutes, 5-6 hour, minutes
// and seconds. An AM/PM mark ("am", "pm", "a", "p", "a.m.", "p.m." or the
// locale's designators, any case) may follow or lead, and makes the hour one
// of 1-12 (0 is taken as 12 o'clock too). Empty when the text is not a time
// of day ("25:00", "7:60", "99:99:99", "noon").
std::optional<QTime> readTimeOfDay(const QString& text, const QLocale& locale = QLocale::system());

// The text to store and show for the typed `text`: the time of day as
// "hh:mm:00" (the colons being the locale's time separator), or the alarm-off
// value "99:99:99" when the text is empty or not a time of day, so an alarm
// that cannot be read never looks set.
QString alarmTimeText(const QString& text, const QLocale& locale = QLocale::system());
