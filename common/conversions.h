// The conversions readers apply to stored texts. A text a conversion cannot
// read gives the caller's fallback; a number outside the conversion's range is
// clamped to the range. None of them throws.
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace Conv {

// Decimal number, optional sign, optional fraction, surrounding blanks allowed.
// Empty optional when the text is not such a number.
std::optional<double> parseDecimal(const QString& text);

// Nearest whole number, a half going to the even neighbour.
double roundHalfEven(double value);

// 16-bit signed integer, rounded half to even, clamped to -32768..32767.
qint16 toInteger(const QString& text, qint16 fallback);
// 0..255, rounded half to even, clamped.
quint8 toSmallInteger(const QString& text, quint8 fallback);
// Double-precision value.
double toNumber(const QString& text, double fallback);
// "True"/"False" in any letter case, or a number: non-zero is on.
bool toFlag(const QString& text, bool fallback);
// Check box state: 0 unticked, 1 ticked (any non-zero number ticks).
int toTick(const QString& text, int fallback);

// Writers' forms.
QString flagText(bool on);    // "True" / "False" (Dialmere)
QString tickText(bool on);    // "1" / "0" (DMSettings check boxes)
QString numberText(double v); // shortest decimal text, "1500"

} // namespace Conv
