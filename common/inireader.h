// Reading one value from an INI file, the way skin files are read.
#pragma once

#include <QByteArray>
#include <QString>

// Marker for an absent value. A value that is literally ERROR counts as absent too.
inline constexpr const char* kIniAbsent = "ERROR";

// The longest value readIniValue returns; longer values are cut.
inline constexpr int kIniValueMaxLength = 199;

// Bytes of a file that are read at most (1 MiB); the rest of a larger file is
// ignored. Skin files are a few kilobytes: the limit only keeps a wrong or
// hostile file from costing much memory or time.
inline constexpr qint64 kIniFileMaxBytes = 1024 * 1024;

// The value of `key` in `section` of `file`: section and key names compared
// without letter case and without surrounding blanks, value trimmed, one pair
// of surrounding quotes (double or single) removed, at most 199 characters,
// leading spaces removed. "ERROR" when nothing is copied (no file, no section,
// no key, empty key name, empty value).
//
// How the file is read: a UTF-8 byte order mark is dropped, and the text is
// UTF-8 when it is valid UTF-8, Latin-1 otherwise (a file with a UTF-16 byte
// order mark is read as UTF-16). Lines end at LF, CRLF or CR; a NUL ends a
// line's text. Lines whose first non-blank character is ";" or "#" are
// comments; lines without "=" are ignored. A "[" at the start of a line opens
// a section whose name runs to the first "]" (or the line's end). Only the
// first section of a name counts, and in it the first line of a key, as the
// classic reader does. Lines before the first section belong to none.
QString readIniValue(const QString& file, const QString& section, const QString& key);

// The same for the bytes of a file already in memory (the whole file).
QString readIniValueFromBytes(const QByteArray& data, const QString& section, const QString& key);

// The text of an INI file's bytes, decoded as described above.
QString decodeIniText(const QByteArray& data);
