#pragma once
#include <QByteArray>
#include <QString>

#include "xml/designer_context.h"

namespace bxw {

inline const QString kXmlPatterns = QStringLiteral("XML file (*.xml)|*.xml|All files (*.*)|*.*");

// CRC-32 of the composed Design document (clipboard form, as UTF-8), as eight lower-case
// hexadecimal digits. The text is composed piece by piece into the checksum and never held whole;
// no writer's document is built or replaced.
QString WholeDocumentFingerprint(const DesignTree& tree, const ClassSchema& schema);
// The same; the writer is not used (kept for callers that hand theirs in).
QString WholeDocumentFingerprint(const DesignTree& tree, const ClassSchema& schema,
                                 DialogXmlWriter& writer);
QString WholeDocumentFingerprint(DesignerContext& ctx);

// The title of the tree window for the design's file: "Interface Tree" and ": " + the file name
// when there is one.
QString TreeWindowTitle(const QString& designFile);

// Asks for the file of an export, proposing UI_<date and time>.<extension> in the last directory;
// adds the extension when the first pattern was chosen and remembers the directory. Empty when
// cancelled.
QString AskExportPath(DesignerContext& ctx, const QString& title, const QString& extension,
                      const QString& patterns);

// "Export XML" / "Copy XML": saves the design as dialog XML to a file chosen by the user, or puts
// it on the clipboard. Answers true when the export was done.
bool ExportXml(DesignerContext& ctx, bool toClipboard);

// The name proposed for a new export: UI_yyyy-MM-dd_hh-mm-ss + extension.
QString ProposedExportName(const QDateTime& when, const QString& extension);

// The path an export proposes: beside the design's file when it has one (the file itself for XML,
// its base name with the extension for source), else a new UI_<date> name in the last directory.
QString ProposedExportPath(const QString& designFile, const QString& lastDirectory,
                           const QDateTime& when, const QString& extension);

// Appends "." + extension unless the path already ends in it (letter case ignored).
QString WithExtension(const QString& path, const QString& extension);

// Writes bytes through QSaveFile, so that a failed write leaves any previous file untouched. On
// failure reason, when given, receives the system's explanation (read-only, disk full, missing
// folder, a directory).
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

// Saves the file form of the design through QSaveFile, written as it is composed, so that the text
// is never held whole. On success fingerprint, when given, receives the design's
// WholeDocumentFingerprint, taken from the same pass; on failure reason receives the system's
// explanation, and a file that was there stays as it was.
bool WriteDesignFile(const QString& path, const DesignTree& tree, const ClassSchema& schema,
                     QString* reason = nullptr, QString* fingerprint = nullptr);

// The file form of the design (what "Export XML" saves), composed straight from the tree.
QByteArray DesignFileBytes(const DesignTree& tree, const ClassSchema& schema);
// The same; the writer is not used (kept for callers that hand theirs in).
QByteArray DesignFileBytes(const DesignTree& tree, const ClassSchema& schema,
                           DialogXmlWriter& writer);

}  // namespace bxw
