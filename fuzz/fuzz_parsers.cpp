// Every skin value parser on any text: no undefined behaviour, and every
// result inside its range. The input is read as UTF-8 and, for lone
// surrogates and other odd code units, as raw UTF-16 too.
#include "modskin.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool isColour(qint32 c) {
    return c >= 0 && c <= kMaxColourValue;
}

void exercise(const QString& text) {
    check(std::isfinite(leadingNumber(text)));
    check(isColour(parseRgbTriple(text)));
    check(isColour(parseHexColour(text)));
    check(isColour(parseTransColour(text)));
    for (double factor : {15.0, 12.5, 7.2, 0.0, -1.0, 1e300, std::nan("")}) {
        parseOffsetX(text, factor);
        parseOffsetY(text, factor);
    }
    for (qsizetype i = 0; i < text.size() && i < 64; ++i) {
        const int d = hexDigitValue(QString(text[i]));
        check(d >= 0 && d <= 15);
    }
    check(hexDigitValue(text) >= 0 && hexDigitValue(text) <= 15);
    // Blanks between the characters change nothing.
    if (text.size() < 64) {
        QString spaced;
        for (QChar c : text)
            spaced += QStringLiteral(" \t") + c;
        const double a = leadingNumber(text);
        const double b = leadingNumber(spaced);
        check(a == b);
        check(parseRgbTriple(spaced) == parseRgbTriple(text));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    exercise(QString::fromUtf8(bytes, static_cast<qsizetype>(size)));
    QString units(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, (size / 2) * 2);
    exercise(units);
    return 0;
}
