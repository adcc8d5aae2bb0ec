// The per-user settings store shared by all five programs: text values under
// application "Dialmere", addressed by section and key, in the INI file of
// QSettings(IniFormat, UserScope, "Dialmere", "Dialmere"), that is
// $XDG_CONFIG_HOME/Dialmere/Dialmere.ini. Section and key names are
// case-sensitive.
//
// Every get sees the newest value any program has saved: the file's bytes are
// compared with those of the last parse, so a change is never missed (QSettings'
// own cache looks only at size and millisecond time). Every save locks the
// file (the same lock QSettings takes), merges into the file as it is on disk
// and replaces it atomically, so programs saving different keys at the same
// time never lose each other's values; the last save of a key wins.
#pragma once

#include <QString>
#include <QtGlobal>

namespace Store {

// The stored text (also when it is empty), or `def` when the key, its section
// or the whole store is absent or the store cannot be read. Always sees the
// newest value another program has saved. A hand-edited value with unquoted
// commas (DateFormat=mmm d, yyyy) comes back exactly as it stands.
QString get(const QString& section, const QString& key, const QString& def);

// Replaces the value; it is on disk when this returns. Never deletes anything.
// Returns false when the store could not be written (folder not writable, a
// file in the way, the lock held elsewhere for seconds, an empty key); the
// store is then left as it was and the caller may tell the user.
bool save(const QString& section, const QString& key, const QString& text);

// Convenience readers: get() followed by the conversion of conversions.h, with
// the default text put through the same conversion (a stored text the
// conversion cannot read gives that converted default).
qint16 getInteger(const QString& section, const QString& key, const QString& def);
quint8 getSmallInteger(const QString& section, const QString& key, const QString& def);
double getNumber(const QString& section, const QString& key, const QString& def);
bool getFlag(const QString& section, const QString& key, const QString& def);
int getTick(const QString& section, const QString& key, const QString& def);

// Full path of the store's file (for messages, the README and tests).
QString filePath();

} // namespace Store
