// The conversions readers apply to stored texts. A text a conversion cannot
// read gives the caller's fallback; a number outside the conversion's range is
// clamped to the range. None of them throws.
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace Conv {

// Decimal number: optional sign, digits with an optional fraction (".5" and
// "5." count), an optional exponent ("1.5e3", the form numberText writes for
// very large or small values), surrounding blanks allowed. Only ASCII digits
// and "." as the decimal point, whatever the locale. "nan", "inf", hex and
// thousands separators are not numbers. A number too large for a double gives
// plus or minus infinity (callers clamp), one too small gives zero. Empty
// optional when the text is not such a number.
std::optional<double> parseDecimal(const QString& text);

// Nearest whole number, a half going to the even neighbour (12.5 -> 12,
// 13.5 -> 14, -2.5 -> -2). Independent of the floating-point rounding mode.
double roundHalfEven(double value);

// 16-bit signed integer, rounded half to even, clamped to -32768..32767.
qint16 toInteger(const QString& text, qint16 fallback);
// 0..255, read as an integer (rounded half to even), clamped.
quint8 toSmallInteger(const QString& text, quint8 fallback);
// Double-precision value, clamped to the finite doubles.
double toNumber(const QString& text, double fallback);
// "True"/"False" in any letter case (surrounding blanks allowed), or a number:
// non-zero is on.
bool toFlag(const QString& text, bool fallback);
// Check box state, 0 unticked or 1 ticked: the text read as an integer
// (rounded, so "0.4" is 0), any non-zero result ticks.
int toTick(const QString& text, int fallback);

// Writers' forms.
QString flagText(bool on); // "True" / "False" (Dialmere)
QString tickText(bool on); // "1" / "0" (DMSettings check boxes)
// Shortest decimal text that reads back as the same double: "1500", "2.5",
// "-0.125"; plain digits up to 1e15, exponent form beyond ("1e+20") and for
// tiny values. Zero is "0" (never "-0"); NaN is written "0" and the
// infinities as the largest finite doubles, so every result reads back.
QString numberText(double v);

} // namespace Conv
