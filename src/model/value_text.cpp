#include "model/value_text.h"

namespace bxw {

bool IsIntegerText(const QString& text) {
  if (text.isEmpty()) return false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c == '-' && i == 0) continue;
    if (c < '0' || c > '9') return false;
  }
  return true;
}

qint64 NumericValueOfText(const QString& text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
  bool negative = false;
  if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  unsigned base = 10;
  if (i < n && text[i] == QLatin1Char('$')) {
    base = 16;
    ++i;
  } else if (i < n && text[i] == QLatin1Char('%')) {
    base = 2;
    ++i;
  }
  // Unsigned arithmetic: a hostile digit run wraps instead of being undefined.
  quint64 value = 0;
  for (; i < n; ++i) {
    const char16_t c = text[i].unicode();
    unsigned digit = 0;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      break;
    if (digit >= base) break;
    value = value * base + digit;
  }
  if (negative) value = ~value + 1;
  return static_cast<qint64>(value);
}

}  // namespace bxw
