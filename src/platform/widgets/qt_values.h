#pragma once
// The value forms of platform/value_forms.h as Qt's widgets take them.
#include <QColor>
#include <QFont>

#include "platform/value_forms.h"

namespace bxw {

inline QColor QColorOfPlatformColour(qint64 value) {
  const PlatformRgb rgb = RgbOfPlatformColour(value);
  return QColor(rgb.red, rgb.green, rgb.blue);
}

inline int PlatformColourOfQColor(const QColor& c) {
  return PlatformColourOf(c.red(), c.green(), c.blue());
}

// Sets bold, italic, underline and strike-out from the style bits.
inline void ApplyFontStyle(QFont& font, qint64 bits) {
  const FontStyle s = FontStyleOfBits(bits);
  font.setBold(s.bold);
  font.setItalic(s.italic);
  font.setUnderline(s.underline);
  font.setStrikeOut(s.strikeOut);
}

}  // namespace bxw
