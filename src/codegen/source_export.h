#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "xml/designer_context.h"

#include "model/app_info.h"  // kTitleBase, written into the "Generated with" line

namespace bxw {

inline const QString kSourcePatterns =
    QStringLiteral("PB source file (*.pb)|*.pb|All files (*.*)|*.*");

struct SourceOptions {
  bool dpiPatch = false;  // DPIPatch: size placeholders and the DPI section
  bool noLoop = false;    // NoLoop: no main section with the event loop
};

// The names and values of the design that would be written into source code unchecked and that
// are not safe there: window and gadget names that are not identifiers, shared event procedure
// names that are not identifiers, colours that are not number literals. One line per offending
// object and attribute; empty when the design can be exported.
QStringList UnsafeSourceValues(const DesignTree& tree, const ClassSchema& schema);

// The message shown when UnsafeSourceValues refuses an export.
QString UnsafeSourceMessage(const QStringList& problems);

// Composes the source text from the writer's last CodeExport build (sorting its callback lists in
// place, as the export leaves them). Expects a build whose collected names passed the safety
// check of BuildSourceText (identifiers only).
QString ComposeSource(const DesignTree& tree, const ClassSchema& schema, DialogXmlWriter& writer,
                      const SourceOptions& options, const QDateTime& now);

// Builds the CodeExport document and composes the source text. Answers false with `refusal` set
// when the design holds values that are unsafe in source, or with both texts empty when there is
// no window or no document.
bool BuildSourceText(const DesignTree& tree, const ClassSchema& schema, DialogXmlWriter& writer,
                     const SourceOptions& options, const QDateTime& now, QString& text,
                     QString& refusal);

// "Export Code" / "Copy Code": writes the source to a file the user chooses (UTF-8 with a byte
// order mark) or puts it on the clipboard. Answers true on success. Never records a snapshot.
bool ExportSource(DesignerContext& ctx, bool toClipboard);

}  // namespace bxw
