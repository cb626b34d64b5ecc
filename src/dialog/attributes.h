#pragma once
// Reading the attribute values of dialog XML: integer text, flag names and expressions, event
// names, margins and alignment. No widgets here.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "dialog/layout_math.h"
#include "platform/widgets/control_factory.h"

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

}  // namespace bxw::dialog
