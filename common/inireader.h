// Reading one value from an INI file, the way skin files are read.
#pragma once

#include <QString>

// Marker for an absent value. A value that is literally ERROR counts as absent too.
inline constexpr const char* kIniAbsent = "ERROR";

// The value of `key` in `section` of `file`: section and key names compared
// without letter case, value trimmed, one pair of surrounding quotes removed,
// at most 199 characters, leading spaces removed. "ERROR" when nothing is
// copied (no file, no section, no key, empty key name, empty value).
QString readIniValue(const QString& file, const QString& section, const QString& key);
