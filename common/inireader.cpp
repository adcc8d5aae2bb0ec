#include "inireader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringView>

namespace {

// Blanks around names and values. Not QChar::isSpace: that would also eat a
// no-break space (0xA0), which is an ordinary character of a Latin-1 value.
bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\v' || u == u'\f' || u == u'\r' || u == u'\n';
}

QStringView trimmedBlanks(QStringView s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.sliced(begin, end - begin);
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The first `count` characters of `s`, never splitting a surrogate pair.
QStringView firstCharacters(QStringView s, int count) {
    qsizetype pos = 0;
    for (int n = 0; n < count && pos < s.size(); ++n) {
        if (s[pos].isHighSurrogate() && pos + 1 < s.size() && s[pos + 1].isLowSurrogate())
            pos += 2;
        else
            pos += 1;
    }
    return s.first(pos);
}

// What the classic reader copies for a value line: trimmed, one pair of
// matching quotes removed, cut to the buffer. Empty means nothing was copied.
QStringView copiedValue(QStringView raw) {
    QStringView value = trimmedBlanks(raw);
    if (value.size() >= 2) {
        const QChar q = value.front();
        if ((q == u'"' || q == u'\'') && value.back() == q)
            value = value.sliced(1, value.size() - 2);
    }
    return firstCharacters(value, kIniValueMaxLength);
}

// Finds the value in decoded INI text; empty when there is none.
QStringView findValue(QStringView text, QStringView section, QStringView key) {
    bool inSection = false;
    qsizetype pos = 0;
    const qsizetype size = text.size();
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        QStringView line = text.sliced(pos, end - pos);
        // CRLF counts as one line end; a lone CR ends a line too.
        pos = end + ((end + 1 < size && text[end] == u'\r' && text[end + 1] == u'\n') ? 2 : 1);

        const qsizetype nul = line.indexOf(QChar(u'\0'));
        if (nul >= 0)
            line = line.first(nul);
        qsizetype start = 0;
        while (start < line.size() && isBlank(line[start]))
            ++start;
        if (start == line.size())
            continue;
        const QChar first = line[start];
        if (first == u';' || first == u'#')
            continue;
        if (first == u'[') {
            if (inSection)
                return {}; // the first section of that name has ended
            QStringView name = line.sliced(start + 1);
            const qsizetype close = name.indexOf(u']');
            if (close >= 0)
                name = name.first(close);
            inSection = sameName(trimmedBlanks(name), section);
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        if (sameName(trimmedBlanks(line.first(eq)), key))
            return copiedValue(line.sliced(eq + 1));
    }
    return {};
}

QString valueOrAbsent(QStringView copied) {
    if (copied.isEmpty())
        return QString::fromLatin1(kIniAbsent);
    qsizetype start = 0;
    while (start < copied.size() && copied[start] == u' ')
        ++start;
    return copied.sliced(start).toString();
}

} // namespace

QString decodeIniText(const QByteArray& data) {
    QByteArrayView bytes(data);
    if (bytes.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(bytes[0]);
        const auto b1 = static_cast<unsigned char>(bytes[1]);
        // A file saved as "Unicode" by a Windows editor.
        if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
            QStringDecoder utf16(b0 == 0xFF ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                                 QStringDecoder::Flag::Stateless);
            return utf16(bytes.sliced(2));
        }
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

QString readIniValueFromBytes(const QByteArray& data, const QString& section, const QString& key) {
    const QStringView keyName = trimmedBlanks(key);
    if (keyName.isEmpty())
        return QString::fromLatin1(kIniAbsent);
    const QString text = decodeIniText(data);
    return valueOrAbsent(findValue(text, trimmedBlanks(section), keyName));
}

QString readIniValue(const QString& file, const QString& section, const QString& key) {
    if (trimmedBlanks(key).isEmpty())
        return QString::fromLatin1(kIniAbsent);
    // Only a regular file: a FIFO or a device would block or never end.
    const QFileInfo info(file);
    if (file.isEmpty() || !info.isFile())
        return QString::fromLatin1(kIniAbsent);
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return QString::fromLatin1(kIniAbsent);
    // In pieces: reading at most the limit at once would allocate all of it
    // on every call, and a file's reported size may be 0 (as under /proc).
    QByteArray data;
    data.reserve(static_cast<qsizetype>(qBound<qint64>(0, f.size(), kIniFileMaxBytes)));
    char chunk[65536];
    while (data.size() < kIniFileMaxBytes) {
        const qint64 n = f.read(chunk, qMin<qint64>(sizeof chunk, kIniFileMaxBytes - data.size()));
        if (n <= 0)
            break;
        data.append(chunk, static_cast<qsizetype>(n));
    }
    return readIniValueFromBytes(data, section, key);
}
