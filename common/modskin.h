// Parsers that turn skin values into numbers, twip positions and colours.
// Colour values hold red in the low byte, green in the middle, blue in the high.
// Every parser takes any text: what it cannot read counts as 0, and a value
// beyond its target's range is clamped to the range.
#pragma once

#include <QString>
#include <QtGlobal>

// The number at the start of `text`; spaces, tabs and line feeds are dropped
// wherever they stand ("1 2" is 12, "12abc" is 12). An optional sign, digits,
// an optional "." fraction and an optional exponent (E or D, any letter case).
// "&H" followed by hexadecimal digits and "&O" followed by octal digits are
// read as those numbers (never negative). 0 when the text does not start with
// a number ("ERROR" gives 0). The result is always finite: a number beyond the
// double range gives the largest double of its sign.
double leadingNumber(const QString& text);

// A number as a whole number of a target range: rounded half to even, clamped
// to lo..hi (bounds within ±2^53), and NaN counts as 0.
qint64 roundToRange(double value, qint64 lo, qint64 hi);

// "r,g,b": each part clamped to 0..255.
qint32 parseRgbTriple(const QString& text);

// "x,y" in pixels to twips; pixel values and results clamped to the 16-bit
// range. No comma gives 0.
qint16 parseOffsetX(const QString& text, double twipsPerPixelX);
qint16 parseOffsetY(const QString& text, double twipsPerPixelY);
// The same with the primary screen's factors.
qint16 parseOffsetX(const QString& text);
qint16 parseOffsetY(const QString& text);

// 0..15 for one hexadecimal digit (either case), 0 for anything else,
// including a text of more or less than one character.
int hexDigitValue(const QString& c);
// Olvo font colour: hexadecimal digits, clamped to the 24-bit colour range.
qint32 parseHexColour(const QString& text);
// Olvo transparent colour "RRRGGGBBB", clamped to the 24-bit colour range.
qint32 parseTransColour(const QString& text);

// The largest colour value, white.
inline constexpr qint32 kMaxColourValue = 0xFFFFFF;

// A colour value (red low) as Qt's 0xRRGGBB.
inline unsigned int colourValueToRgb(qint32 colour) {
    const unsigned int c = static_cast<unsigned int>(colour);
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
