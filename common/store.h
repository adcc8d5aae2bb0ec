// The per-user settings store shared by all five programs: text values under
// application "Dialmere", addressed by section and key.
#pragma once

#include <QString>
#include <QtGlobal>

namespace Store {

// The stored text (also when it is empty), or `def` when the key, its section
// or the whole store is absent. Always sees the newest value another program
// has saved.
QString get(const QString& section, const QString& key, const QString& def);

// Replaces the value; it is on disk when this returns. Never deletes anything.
// Returns false when the store could not be written (the value is then lost
// and the caller may tell the user).
bool save(const QString& section, const QString& key, const QString& text);

// Convenience readers: get() followed by the conversion of conversions.h, with
// the default text put through the same conversion.
qint16 getInteger(const QString& section, const QString& key, const QString& def);
quint8 getSmallInteger(const QString& section, const QString& key, const QString& def);
double getNumber(const QString& section, const QString& key, const QString& def);
bool getFlag(const QString& section, const QString& key, const QString& def);
int getTick(const QString& section, const QString& key, const QString& def);

// Full path of the store's file (for messages, the README and tests).
QString filePath();

} // namespace Store
