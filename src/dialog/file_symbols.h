#pragma once
// Hand-written dialog files belong to programs that register runtime constants and procedures
// before they open them: `id="#W_Main"`, `onevent="Proc()"`, flags naming the program's own
// constants. To show such a file as its program would, a host registers every such name first.
#include <QStringList>

namespace bxw {
class XmlDocument;
}

namespace bxw::dialog {

class SymbolRegistry;

struct FileSymbols {
  QStringList idConstants;    // `id` values beginning with "#", as written
  QStringList flagConstants;  // names in `flags` expressions that no flag table knows, without "#"
  QStringList procedures;     // event attribute values ending in "()"
};

// The runtime names that a document's elements use and no flag table or registry entry
// answers, each once, in document order. PureBasic's own constants (names beginning with
// "PB_") are never a program's: they are left to fail as they would in the program.
FileSymbols FindFileSymbols(const XmlDocument& doc, const SymbolRegistry& registry);

// Registers what FindFileSymbols finds: each `id` constant with a fresh value of its own (they
// become window and gadget numbers), each flag constant with 0 (its real bits are unknown, and a
// guessed bit could make a window invisible or a button a toggle), each procedure as one that
// does nothing. Names already registered keep their entries. Answers what was registered.
FileSymbols RegisterFileSymbols(const XmlDocument& doc, SymbolRegistry& registry);

}  // namespace bxw::dialog
