#pragma once
#include <QString>

namespace bxw {

// Numeric value of a text as the designer reads it: leading spaces and tabs skipped, an optional
// sign, then "$" and hexadecimal digits, "%" and binary digits, or decimal digits, up to the first
// other character. No digits give 0. Overlong numbers wrap as 64-bit integers instead of failing.
qint64 ValueOfText(const QString& text);

// True when the text is a "-" (first character only) followed by digits, or digits alone. "-" by
// itself counts as true; the empty text is false.
bool IsIntegerText(const QString& text);

// True for a non-empty ASCII identifier: a letter or "_" first, then letters, digits or "_".
bool IsIdentifierText(QStringView text);

// True for a PureBasic number literal as stored in colour values: an optional "-", then "$" and
// hexadecimal digits, "%" and binary digits, or decimal digits, and nothing else.
bool IsNumberLiteral(const QString& text);

}  // namespace bxw
