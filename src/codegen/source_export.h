#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "codegen/runtime_bindings.h"
#include "model/app_info.h"  // kTitleBase, written into the "Generated with" line
#include "xml/dialog_xml_writer.h"

namespace bxw {

struct SourceOptions {
  bool dpiPatch = false;  // DPIPatch: size placeholders and the DPI section
  bool noLoop = false;    // NoLoop: no main section with the event loop
};

// The names and values of the design that would be written into source code unchecked and that
// are not safe there: window and gadget names that are not identifiers, are PureBasic keywords or
// clash with a name the generated code declares itself; shared event procedure names that are not
// identifiers; colours that are not number literals; with the DPI patch, sizes that are not whole
// numbers in range; runtime procedures and constants that no declaration can satisfy. One line per
// offending object and attribute, control characters escaped; empty when the design can be
// exported. Reads the writer's last CodeExport build of the design, made with these options.
QStringList UnsafeSourceValues(const DesignTree& tree, const ClassSchema& schema,
                               const DialogXmlWriter& writer, const SourceOptions& options);

// The message shown when UnsafeSourceValues refuses an export.
QString UnsafeSourceMessage(const QStringList& problems);

// Composes the source text from the writer's last CodeExport build, which it only reads, declaring
// the runtime constants and procedures that its XML names. Expects a build that passed the safety
// check of BuildSourceText (UnsafeSourceValues).
QString ComposeSource(const DesignTree& tree, const ClassSchema& schema,
                      const DialogXmlWriter& writer,
                      const SourceOptions& options, const QDateTime& now);

// Builds the CodeExport document and composes the source text. Answers false with `refusal` set
// when the design holds values that are unsafe in source, or with both texts empty when there is
// no window or no document.
bool BuildSourceText(const DesignTree& tree, const ClassSchema& schema, DialogXmlWriter& writer,
                     const SourceOptions& options, const QDateTime& now, QString& text,
                     QString& refusal);

// A CodeExport build of the design in the writer, checked for values that are unsafe in source:
// what an export composes once it knows where the text goes.
struct SourceBuild {
  bool built = false;  // false: no document could be built
  QString refusal;     // not empty: the export is refused with this message
  RuntimeBindings bindings;
};
SourceBuild BuildCheckedSource(const DesignTree& tree, const ClassSchema& schema,
                               DialogXmlWriter& writer, const SourceOptions& options);
// The source text of a build that was made and not refused.
QString ComposeBuiltSource(const DesignTree& tree, const ClassSchema& schema,
                           const DialogXmlWriter& writer, const SourceOptions& options,
                           const QDateTime& now, const SourceBuild& build);

}  // namespace bxw
