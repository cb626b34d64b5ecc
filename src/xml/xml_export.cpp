#include "xml/xml_export.h"

#include <zlib.h>

#include <QSaveFile>

#include "model/value_text.h"

namespace bxw {

QString WholeDocumentFingerprint(const DesignTree& tree, const ClassSchema& schema,
                                 DialogXmlWriter& writer) {
  if (!writer.BuildDialogXml({tree, schema}, XmlBuildMode::Design, QString()) || !writer.Document())
    return QString();
  const QByteArray bytes = ComposeForClipboard(*writer.Document()).toUtf8();
  // zlib takes the length as uInt; feed large documents in pieces.
  uLong crc = crc32(0L, Z_NULL, 0);
  const auto* data = reinterpret_cast<const Bytef*>(bytes.constData());
  qsizetype left = bytes.size();
  while (left > 0) {
    const uInt n = static_cast<uInt>(std::min<qsizetype>(left, 1 << 30));
    crc = crc32(crc, data, n);
    data += n;
    left -= n;
  }
  return QStringLiteral("%1").arg(static_cast<quint32>(crc), 8, 16, QLatin1Char('0'));
}

QString WholeDocumentFingerprint(DesignerContext& ctx) {
  return WholeDocumentFingerprint(ctx.tree, ctx.schema, ctx.writer);
}

QString TreeWindowTitle(const QString& designFile) {
  return designFile.isEmpty() ? QStringLiteral("Interface Tree")
                              : QStringLiteral("Interface Tree: ") + FilePart(designFile);
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

bool WriteFileAtomically(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

QByteArray DesignFileBytes(const DesignTree& tree, const ClassSchema& schema,
                           DialogXmlWriter& writer) {
  if (!writer.BuildDialogXml({tree, schema}, XmlBuildMode::Design, QString()) || !writer.Document())
    return QByteArray();
  return ComposeForFile(*writer.Document());
}

QString AskExportPath(DesignerContext& ctx, const QString& title, const QString& extension,
                      const QString& patterns) {
  FileRequest request;
  request.title = title;
  request.startPath =
      ProposedExportPath(ctx.designFile, ctx.settings.IOLastDIR, ctx.clock.Now(), extension);
  request.patterns = patterns;
  request.initialPattern = 0;
  const FileAnswer answer = ctx.requesters.SaveFile(request);
  if (answer.path.isEmpty()) return QString();
  // The first pattern names the file type, so its extension is added when missing.
  QString path = answer.path;
  if (answer.patternIndex == 0) path = WithExtension(path, extension);
  ctx.settings.IOLastDIR = DirectoryPart(path);
  return path;
}

bool ExportXml(DesignerContext& ctx, bool toClipboard) {
  if (ctx.tree.ChildCount(QStringLiteral("dialogs")) == 0) return false;
  if (!ctx.writer.BuildDialogXml({ctx.tree, ctx.schema}, XmlBuildMode::Design, QString()))
    return false;

  if (toClipboard) {
    if (ctx.writer.Document()) {
      const QString text = ComposeForClipboard(*ctx.writer.Document());
      if (ctx.hooks.setClipboardText) ctx.hooks.setClipboardText(text);
      ctx.savedSnapshot = WholeDocumentFingerprint(ctx);
    }
    return true;
  }

  // Compose before asking: the fingerprint below rebuilds the writer's document.
  const QByteArray bytes = ComposeForFile(*ctx.writer.Document());
  const QString path =
      AskExportPath(ctx, QStringLiteral("Export XML"), QStringLiteral("xml"), kXmlPatterns);
  if (path.isEmpty()) return false;

  if (!WriteFileAtomically(path, bytes)) {
    ctx.requesters.Message(QStringLiteral("Export XML ERROR"),
                           QStringLiteral("Can't save XML to ") + path, MessageIcon::Error);
    return false;
  }
  if (ctx.hooks.setDesignFile) ctx.hooks.setDesignFile(path);
  ctx.savedSnapshot = WholeDocumentFingerprint(ctx);
  return true;
}

}  // namespace bxw
