#pragma once
// The forms the dialog format and its programs give to values, each written down once: colours,
// font styles and event codes mean the same to the runtime, the preview, the Properties panel,
// the requesters and the source export.
#include <QtGlobal>

namespace bxw {

// ---- colours: red in the lowest byte, then green, then blue ----
struct PlatformRgb {
  int red = 0;
  int green = 0;
  int blue = 0;
};

constexpr PlatformRgb RgbOfPlatformColour(qint64 value) {
  const auto v = static_cast<quint32>(value);
  return {static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
          static_cast<int>((v >> 16) & 0xFF)};
}

constexpr int PlatformColourOf(int red, int green, int blue) {
  return red | (green << 8) | (blue << 16);
}

// ---- font styles: the bits of the third field of a "face|size|style" font value ----
namespace font_style {
inline constexpr int kUnderline = 4;
inline constexpr int kStrikeOut = 8;
inline constexpr int kBold = 256;
inline constexpr int kItalic = 512;
}  // namespace font_style

struct FontStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

constexpr FontStyle FontStyleOfBits(qint64 bits) {
  return {(bits & font_style::kBold) != 0, (bits & font_style::kItalic) != 0,
          (bits & font_style::kUnderline) != 0, (bits & font_style::kStrikeOut) != 0};
}

constexpr int FontStyleBits(const FontStyle& s) {
  return (s.bold ? font_style::kBold : 0) + (s.italic ? font_style::kItalic : 0) +
         (s.underline ? font_style::kUnderline : 0) + (s.strikeOut ? font_style::kStrikeOut : 0);
}

// ---- event codes: what a bound procedure receives as its event type ----
namespace event_code {
inline constexpr int kLeftClick = 0;
inline constexpr int kRightClick = 1;
inline constexpr int kLeftDoubleClick = 2;
inline constexpr int kRightDoubleClick = 3;
inline constexpr int kChange = 768;
inline constexpr int kFocus = 14000;
inline constexpr int kLostFocus = 14001;
inline constexpr int kDragStart = 14002;
}  // namespace event_code

}  // namespace bxw
