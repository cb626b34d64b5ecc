#include "platform/export_path.h"

namespace bxw {

QString DirectoryPart(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? QString() : path.left(slash + 1);
}

QString FilePart(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  return path.mid(slash + 1);
}

QString ProposedExportName(const QDateTime& when, const QString& extension) {
  return QStringLiteral("UI_") + when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) +
         QLatin1Char('.') + extension;
}

QString ProposedExportPath(const QString& designFile, const QString& lastDirectory,
                           const QDateTime& when, const QString& extension) {
  if (designFile.isEmpty()) return lastDirectory + ProposedExportName(when, extension);
  // Saving where the design came from: the file itself, or its base name with the extension.
  if (extension == QLatin1String("xml")) return designFile;
  const QString file = FilePart(designFile);
  const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
  return DirectoryPart(designFile) + (dot > 0 ? file.left(dot) : file) + QLatin1Char('.') +
         extension;
}

QString WithExtension(const QString& path, const QString& extension) {
  const QString file = FilePart(path);
  const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
  const QString current = dot < 0 ? QString() : file.mid(dot + 1);
  if (current.toLower() == extension) return path;
  return path + QLatin1Char('.') + extension;
}

QString AskExportPath(Requesters& requesters, const ExportPathQuestion& question,
                      QString& lastDirectory) {
  FileRequest request;
  request.title = question.title;
  request.startPath =
      ProposedExportPath(question.designFile, lastDirectory, question.now, question.extension);
  request.patterns = question.patterns;
  request.initialPattern = 0;
  const FileAnswer answer = requesters.SaveFile(request);
  if (answer.path.isEmpty()) return QString();
  // The first pattern names the file type, so its extension is added when missing.
  QString path = answer.path;
  if (answer.patternIndex == 0) path = WithExtension(path, question.extension);
  lastDirectory = DirectoryPart(path);
  return path;
}

}  // namespace bxw
