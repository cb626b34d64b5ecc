#pragma once
#include <QByteArray>
#include <QString>
#include <memory>

#include "model/class_schema.h"
#include "model/design_tree.h"
#include "model/design_edit.h"

namespace bxw {

// An import refuses a file nested deeper below a window than kMaxNestingBelowWindow (the levels the
// dialog runtime opens), so that every imported design can be previewed and exported.

enum class XmlLoadStatus {
  NotReadable,  // the file could not be read
  ParseError,   // expat refused the text (or it holds no element at all)
  NotDialogs,   // well-formed, but the main element is neither "dialogs" nor "window"
  TooDeep,      // well-formed so far, but nested deeper than the runtime can open
  Loaded,       // a design was read (warnings may still have been collected)
};

struct XmlLoadResult {
  XmlLoadStatus status = XmlLoadStatus::NotReadable;
  // Loaded, NotDialogs, TooDeep: warning lines, each ending in CR LF. NotReadable, ParseError: the
  // single read or parse error line.
  QString errorText;
  std::unique_ptr<DesignTree> design;  // the design read, when Loaded
};

// Parses bytes and, when the main element is "dialogs" (or a single "window"), answers the design
// they describe. The objects are created while expat reads, depth first in document order, into a
// design built aside that is handed out only when the whole text was well-formed; nothing
// recurses, so neither width nor depth of a file matters.
//
// Nothing in a file is lost without a warning line: elements without a name get the first free
// class + counter name (not written back), names taken earlier (in any letter case) get the name
// + "_c" + counter, attributes the class does not know are kept as written, comments are kept
// where they stand. Only elements of unknown classes are left out, with their subtrees.
XmlLoadResult LoadDialogXml(const ClassSchema& schema, const QByteArray& bytes);
// The same, read from the file piece by piece.
XmlLoadResult LoadDialogXmlFile(const ClassSchema& schema, const QString& path);

// True when the design has a root "dialogs" without a parent.
bool HasValidRoot(const DesignTree& tree);

}  // namespace bxw
