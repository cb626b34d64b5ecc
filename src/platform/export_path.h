#pragma once
#include <QDateTime>
#include <QString>

#include "platform/requesters.h"

namespace bxw {

// The directory of a path with its trailing separator ("" for a bare file name).
QString DirectoryPart(const QString& path);
// The file name of a path, without its directory.
QString FilePart(const QString& path);

// The name proposed for a new export: UI_yyyy-MM-dd_hh-mm-ss + extension.
QString ProposedExportName(const QDateTime& when, const QString& extension);

// The path an export proposes: beside the design's file when it has one (the file itself for XML,
// its base name with the extension for source), else a new UI_<date> name in the last directory.
QString ProposedExportPath(const QString& designFile, const QString& lastDirectory,
                           const QDateTime& when, const QString& extension);

// Appends "." + extension unless the path already ends in it (letter case ignored).
QString WithExtension(const QString& path, const QString& extension);

// What an export asks for its file.
struct ExportPathQuestion {
  QString title;
  QString extension;   // without the dot, lower case
  QString patterns;    // the requester's patterns; the first names the file type
  QString designFile;  // the file the design came from or was last exported to; empty for none
  QDateTime now;
};

// Asks for the file of an export, proposing ProposedExportPath; adds the extension when the first
// pattern was chosen and remembers the directory in lastDirectory. Empty when cancelled.
QString AskExportPath(Requesters& requesters, const ExportPathQuestion& question,
                      QString& lastDirectory);

}  // namespace bxw
