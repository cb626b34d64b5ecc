#pragma once
#include <QByteArray>
#include <QString>

#include "model/class_schema.h"
#include "model/design_tree.h"
#include "xml/dialog_xml_writer.h"

namespace bxw {

// CRC-32 of the composed Design document (clipboard form, as UTF-8), as eight lower-case
// hexadecimal digits. The text is composed piece by piece into the checksum and never held whole;
// no writer's document is built or replaced.
QString WholeDocumentFingerprint(const DesignTree& tree, const ClassSchema& schema);

// The same fingerprint of a text already composed (the clipboard form).
QString TextFingerprint(const QString& composed);

// Saves the file form of the design through an AtomicFile, written as it is composed, so that the text
// is never held whole. On success fingerprint, when given, receives the design's
// WholeDocumentFingerprint, taken from the same pass; on failure reason receives the system's
// explanation, and a file that was there stays as it was.
bool WriteDesignFile(const QString& path, const DesignTree& tree, const ClassSchema& schema,
                     QString* reason = nullptr, QString* fingerprint = nullptr);

// The file form of the design (what "Export XML" saves), composed straight from the tree.
QByteArray DesignFileBytes(const DesignTree& tree, const ClassSchema& schema);

}  // namespace bxw
