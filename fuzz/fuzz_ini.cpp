// Skin files come from strangers: any bytes must give a clean answer.
// Input: "<section>\x01<key>\x01<file bytes>", or the whole input as the file
// (looked up as [Skin] Name) when it has no such head.
#include "inireader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

// What every answer must look like.
void checkValue(const QString& value) {
    if (value == QLatin1String(kIniAbsent))
        return;
    check(value.size() <= 2 * kIniValueMaxLength);
    check(value.toUcs4().size() <= kIniValueMaxLength);
    check(!value.startsWith(u' '));
    check(!value.contains(u'\n') && !value.contains(u'\r') && !value.contains(QChar(u'\0')));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString section = QStringLiteral("Skin");
    QString key = QStringLiteral("Name");
    QByteArray file = input;
    const qsizetype first = input.indexOf('\x01');
    const qsizetype second = first < 0 ? -1 : input.indexOf('\x01', first + 1);
    if (second >= 0 && second < 256) {
        section = QString::fromUtf8(input.left(first));
        key = QString::fromUtf8(input.mid(first + 1, second - first - 1));
        file = input.mid(second + 1);
    }

    const QString value = readIniValueFromBytes(file, section, key);
    checkValue(value);
    // Names are case-free and blanks around them do not count. (ASCII only:
    // changing the case of some letters changes their length or folding.)
    const auto ascii = [](const QString& s) {
        for (QChar c : s)
            if (c.unicode() >= 0x80)
                return false;
        return true;
    };
    if (ascii(section) && ascii(key))
        check(readIniValueFromBytes(file, " " + section.toUpper() + "\t", key.toLower() + " ") ==
              value);
    // Decoding never gives more than one code unit per byte.
    check(decodeIniText(file).size() <= file.size());
    return 0;
}
