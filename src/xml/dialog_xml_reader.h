#pragma once
#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

#include "model/class_schema.h"
#include "model/design_tree.h"
#include "platform/xml_document.h"
#include "xml/designer_context.h"

namespace bxw {

enum class XmlLoadStatus {
  NotReadable,  // the file could not be read
  ParseError,   // expat refused the text
  NotDialogs,   // well-formed, but the main element is not exactly "dialogs": nothing touched
  Loaded,       // the design was replaced (warnings may still have been collected)
};

struct XmlLoadResult {
  XmlLoadStatus status = XmlLoadStatus::NotReadable;
  QString errorText;  // warning lines, each ending in CR LF; or the single read/parse error line
  std::unique_ptr<DesignTree> design;  // the design read, when Loaded
};

// Fills the working object part from an element's attributes (names as in the file): fails (with
// a warning line) for an unknown class, maps the designer-only attribute names back and reports
// attributes the class does not know.
bool ReadObjectFromXml(const ClassSchema& schema, DesignObject& working, const QString& cls,
                       const std::vector<XmlAttribute>& attributes, QString& errorText);

// Parses bytes and, when the main element is "dialogs", answers the design they describe. The
// objects are created while expat reads, depth first in document order, into a design built aside
// that is handed out only when the whole text was well-formed; nothing recurses, so neither width
// nor depth of a file matters.
XmlLoadResult LoadDialogXml(const ClassSchema& schema, const QByteArray& bytes);
XmlLoadResult LoadDialogXmlFile(const ClassSchema& schema, const QString& path);

// True when the design has a root "dialogs" without a parent.
bool HasValidRoot(const DesignTree& tree);

// The "Import XML" command: asks for a file and imports it.
void ImportXmlCommand(DesignerContext& ctx);
// Imports a file (also a file dropped on one of the windows). Asks before discarding unsaved
// changes when the settings say so; reports every warning in one message box.
void ImportXmlFile(DesignerContext& ctx, const QString& path);

}  // namespace bxw
