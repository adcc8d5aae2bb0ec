// Parsers that turn skin values into numbers, twip positions and colours.
// Colour values hold red in the low byte, green in the middle, blue in the high.
#pragma once

#include <QString>
#include <QtGlobal>

// The number at the start of `text` after all blanks are dropped ("1 2" is
// 12, "12abc" is 12); 0 when the text does not start with a number.
double leadingNumber(const QString& text);

// "r,g,b": each part clamped to 0..255.
qint32 parseRgbTriple(const QString& text);

// "x,y" in pixels to twips; results clamped to the 16-bit range.
qint16 parseOffsetX(const QString& text, double twipsPerPixelX);
qint16 parseOffsetY(const QString& text, double twipsPerPixelY);
// The same with the primary screen's factors.
qint16 parseOffsetX(const QString& text);
qint16 parseOffsetY(const QString& text);

// 0..15 for one hexadecimal digit, 0 for anything else.
int hexDigitValue(const QString& c);
// Olvo font colour: hexadecimal digits, clamped to the 24-bit colour range.
qint32 parseHexColour(const QString& text);
// Olvo transparent colour "RRRGGGBBB", clamped to the 24-bit colour range.
qint32 parseTransColour(const QString& text);

// A colour value (red low) as Qt's 0xRRGGBB.
inline unsigned int colourValueToRgb(qint32 colour) {
    const unsigned int c = static_cast<unsigned int>(colour);
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
