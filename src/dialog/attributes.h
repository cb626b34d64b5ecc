#pragma once
// Reading the attribute values of dialog XML: integer text, flag names and expressions, event
// names, margins and alignment. No widgets here.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "dialog/layout_math.h"
#include "platform/widgets/control_factory.h"

namespace bxw {
class XmlNode;
}  // namespace bxw

namespace bxw::dialog {

class SymbolRegistry;

// Element kind codes (shared with the control factory).
using Kind = bxw::ControlKind;

// Kind of an element name (case-insensitive); Kind::None when the name is not in the table.
Kind KindOfElement(const QString& name);
// The element name of a kind, lower case.
QString ElementName(Kind kind);

// The element table's names, the flag names of one element's table and the event attribute
// names, in table order (for generators of dialog XML and for tools).
QStringList ElementNames();
QStringList FlagNames(Kind kind);
QStringList EventNames();

// Flag values the runtime itself acts on.
namespace flag {
inline constexpr uint32_t WindowScreenCentered = 0x1;
inline constexpr uint32_t WindowWindowCentered = 0x2;
inline constexpr uint32_t WindowTool = 0x4;
inline constexpr uint32_t WindowInvisible = 0x10000000;
inline constexpr uint32_t WindowBorderLess = 0x80000000;
inline constexpr uint32_t TextCenter = 0x1;
inline constexpr uint32_t TextRight = 0x2;
inline constexpr uint32_t TextBorder = 0x20000;
inline constexpr uint32_t CanvasBorder = 0x1;
inline constexpr uint32_t CanvasContainer = 0x20;
inline constexpr uint32_t ContainerFlat = 0x1;
inline constexpr uint32_t ContainerRaised = 0x2;
inline constexpr uint32_t ContainerSingle = 0x4;
inline constexpr uint32_t ContainerDouble = 0x8;
inline constexpr uint32_t SplitterVertical = 0x1;
inline constexpr uint32_t SplitterSeparator = 0x2;
}  // namespace flag

// Leading decimal integer: blanks, optional sign, digits; no digits give 0. Values outside
// 32 bits are clamped.
int IntegerText(const QString& text);

// Zero-based child index named by an expand value "item:N" (N - 1; saturates at the 32-bit
// limits).
int ExpandItemIndex(const QString& value);

// Flag lookup in the element's table, then the registry. nullopt when neither knows the name.
std::optional<uint32_t> FindFlag(Kind kind, const QString& name, const SymbolRegistry& symbols);

// Evaluates a flag expression; `unknown` is called for every name nobody knows.
uint32_t EvaluateFlags(Kind kind, const QString& expression, const SymbolRegistry& symbols,
                       const std::function<void(const QString& name)>& unknown);

// Event attributes: capability bit (0 for onevent) and event type; false for other names.
struct EventInfo {
  uint32_t capability = 0;
  int eventType = -1;
};
bool FindEvent(const QString& attribute, EventInfo* info);
// Capability mask of the control-creating kinds that evaluate events.
uint32_t EventCapabilities(Kind kind);

// margin attribute into the four margins.
void ParseMargin(const QString& value, Placement* p);
// align attribute of single-child containers (substring rule).
void ParseAlign(const QString& value, Placement* p);
// expand attribute of single-child containers.
void ParseExpand(const QString& value, Placement* p);

// ---- the attributes of one kind, read from its element ----
// Each reads the element's attributes and answers a value; nothing here reports errors (the
// common attributes, with their messages, are the runtime's). Names and keyword values are
// case-insensitive; a repeated attribute (the same name in another case) acts again in file
// order, so the last one wins unless said otherwise.

// Value of the first attribute called `name`: a registered constant's value, else its integer
// text; `fallback` when there is none.
int ParseNumeric(const XmlNode& element, const char* name, int fallback,
                 const SymbolRegistry& symbols);

// Placement of a single-child container: margin (all four start at `margin`), expand,
// expandwidth, expandheight and align.
Placement ParsePlacement(const XmlNode& element, int margin);

// hbox / vbox: spacing, expand (no, equal, item:N; anything else leaves yes) and align (center,
// bottom or right; anything else leaves start). horizontal follows the element's name.
BoxParams ParseBoxParams(const XmlNode& element);

// gridbox: columns (not clamped here: the grid does that), colspacing, rowspacing, colexpand
// (no, equal, item:N) and rowexpand (yes, equal, item:N).
GridParams ParseGridParams(const XmlNode& element);

// colspan and rowspan of a gridbox child, each at least 1 (the row limit is the grid's rule).
struct GridSpan {
  int colspan = 1;
  int rowspan = 1;
  bool operator==(const GridSpan&) const = default;
};
GridSpan ParseGridSpan(const XmlNode& element);

// scrollarea: innerwidth and innerheight ("auto" is -1), step, scrolling (vertical or
// horizontal; anything else leaves both).
struct ScrollAreaParams {
  int innerW = -1;
  int innerH = -1;
  int step = 10;
  int mode = kScrollBoth;
  bool operator==(const ScrollAreaParams&) const = default;
};
ScrollAreaParams ParseScrollAreaParams(const XmlNode& element);

// splitter: firstmin and secondmin. "auto" or "request" asks for the pane child's request as the
// minimum (and stays asked); any other value is a minimum in pixels. Every numeric one is kept,
// in file order, as each is applied to the pane in turn.
struct SplitterParams {
  struct Minimum {
    int pane = 0;  // 0 first, 1 second
    int size = 0;
    bool operator==(const Minimum&) const = default;
  };
  bool autoMin[2] = {false, false};
  std::vector<Minimum> minimums;
};
SplitterParams ParseSplitterParams(const XmlNode& element);

// window: minwidth, minheight, maxwidth, maxheight ("auto" is kBoundAuto; numbers are cut to
// 16 bits, signed); kBoundUnset when absent.
struct WindowBoundsParams {
  int minW = kBoundUnset;
  int minH = kBoundUnset;
  int maxW = kBoundUnset;
  int maxH = kBoundUnset;
  bool operator==(const WindowBoundsParams&) const = default;
};
WindowBoundsParams ParseWindowBounds(const XmlNode& element);

// option: the group attribute's value (ParseNumeric's rule), nothing when there is none.
std::optional<int> ParseOptionGroup(const XmlNode& element, const SymbolRegistry& symbols);

// canvas: whether its flags (every flags attribute, unknown names ignored) ask for a container.
bool IsCanvasContainer(const XmlNode& element, const SymbolRegistry& symbols);

// Parameters of a leaf control: the text and the flags the common attributes gave (web and
// ipaddress take no flags), and per kind min, max, page, value (default: min) and color, by
// ParseNumeric's rule.
ControlParams ParseLeafParams(Kind kind, const XmlNode& element, const SymbolRegistry& symbols,
                              const QString& text, uint32_t flags);

}  // namespace bxw::dialog
