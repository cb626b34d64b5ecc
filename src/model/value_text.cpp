#include "model/value_text.h"

namespace bxw {

qint64 ValueOfText(const QString& text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
  bool negative = false;
  if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  int base = 10;
  if (i < n && text[i] == QLatin1Char('$')) {
    base = 16;
    ++i;
  } else if (i < n && text[i] == QLatin1Char('%')) {
    base = 2;
    ++i;
  }
  // Unsigned arithmetic wraps without undefined behaviour on absurdly long inputs.
  quint64 value = 0;
  for (; i < n; ++i) {
    const char16_t c = text[i].unicode();
    int digit = -1;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    if (digit < 0 || digit >= base) break;
    value = value * static_cast<quint64>(base) + static_cast<quint64>(digit);
  }
  if (negative) value = ~value + 1;
  return static_cast<qint64>(value);
}

bool IsIntegerText(const QString& text) {
  if (text.isEmpty()) return false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == QLatin1Char('-') && i == 0) continue;
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  }
  return true;
}

bool IsIdentifierText(QStringView text) {
  if (text.isEmpty()) return false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    const bool digit = c >= '0' && c <= '9';
    if (!(letter || (i > 0 && digit))) return false;
  }
  return true;
}

bool IsNumberLiteral(const QString& text) {
  qsizetype i = 0;
  if (text.startsWith(QLatin1Char('-'))) ++i;
  int base = 10;
  if (i < text.size() && text[i] == QLatin1Char('$')) {
    base = 16;
    ++i;
  } else if (i < text.size() && text[i] == QLatin1Char('%')) {
    base = 2;
    ++i;
  }
  if (i >= text.size()) return false;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    bool ok = false;
    if (base == 2)
      ok = c == '0' || c == '1';
    else if (base == 10)
      ok = c >= '0' && c <= '9';
    else
      ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!ok) return false;
  }
  return true;
}

}  // namespace bxw
