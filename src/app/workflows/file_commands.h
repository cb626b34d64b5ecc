#pragma once
#include <QString>

#include "app/workflows/designer_context.h"

namespace bxw {

// The user's side of reading and writing designs: which file, what to ask before, what to say
// after. The formats themselves (src/xml, src/codegen) only turn bytes into a tree and back.

inline const QString kXmlPatterns = QStringLiteral("XML file (*.xml)|*.xml|All files (*.*)|*.*");
inline const QString kSourcePatterns =
    QStringLiteral("PB source file (*.pb)|*.pb|All files (*.*)|*.*");

// The title of the tree window for the design's file: "Interface Tree" and ": " + the file name
// when there is one.
QString TreeWindowTitle(const QString& designFile);

// WholeDocumentFingerprint of the context's design.
QString WholeDocumentFingerprint(const DesignerContext& ctx);

// Asks for the file of an export through the platform's question, proposing a name beside the
// design's file or in the last directory, which it remembers in the settings. Empty when
// cancelled.
QString AskExportPath(DesignerContext& ctx, const QString& title, const QString& extension,
                      const QString& patterns);

// The "Import XML" command: asks for a file and imports it.
void ImportXmlCommand(DesignerContext& ctx);
// Imports a file (also a file dropped on one of the windows). Asks before discarding unsaved
// changes when the settings say so; reports every warning in one message box. Only an import that
// replaced the design records a new saved snapshot.
void ImportXmlFile(DesignerContext& ctx, const QString& path);

// "Export XML" / "Copy XML": saves the design as dialog XML to a file chosen by the user, or puts
// it on the clipboard. Answers true when the export was done.
bool ExportXml(DesignerContext& ctx, bool toClipboard);

// "Export Code" / "Copy Code": writes the source to a file the user chooses (UTF-8 with a byte
// order mark) or puts it on the clipboard. Answers true on success. Never records a snapshot.
bool ExportSource(DesignerContext& ctx, bool toClipboard);

}  // namespace bxw
