#pragma once
#include <QString>
#include <QtGlobal>

namespace bxw {

// True when the text is made of digits with at most one leading "-" and is not empty. "-" alone
// passes: callers that store numbers turn it into the empty text first.
bool IsIntegerText(const QString& text);

// The numeric value of an attribute text as the designer reads it: leading spaces and tabs
// skipped, an optional "-" or "+", then "$" with hexadecimal digits, "%" with binary digits, or
// decimal digits, up to the first character that does not fit; no digits give 0. Overlong digit
// runs wrap in 64 bits instead of overflowing.
qint64 NumericValueOfText(const QString& text);

}  // namespace bxw
