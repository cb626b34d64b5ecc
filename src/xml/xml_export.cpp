#include "xml/xml_export.h"

#include <zlib.h>

#include <QSaveFile>
#include <algorithm>

#include "model/value_text.h"

namespace bxw {

namespace {

// zlib takes the length as uInt; long pieces go in slices.
uLong Crc(uLong crc, const char* data, qsizetype size) {
  const auto* p = reinterpret_cast<const Bytef*>(data);
  while (size > 0) {
    const uInt n = static_cast<uInt>(std::min<qsizetype>(size, 1 << 30));
    crc = crc32(crc, p, n);
    p += n;
    size -= n;
  }
  return crc;
}

QString CrcText(uLong crc) {
  return QStringLiteral("%1").arg(static_cast<quint32>(crc), 8, 16, QLatin1Char('0'));
}

// Takes the CRC of the UTF-8 form of the text handed in, piece by piece.
class CrcSink final : public XmlTextSink {
public:
  // The formatter never splits a surrogate pair between pieces, so piece by piece gives the bytes
  // of the whole text.
  void Write(QStringView text) override {
    const QByteArray bytes = text.toUtf8();
    crc_ = Crc(crc_, bytes.constData(), bytes.size());
  }
  uLong Value() const { return crc_; }

private:
  uLong crc_ = crc32(0L, Z_NULL, 0);
};

}  // namespace

QString WholeDocumentFingerprint(const DesignTree& tree, const ClassSchema& schema) {
  CrcSink sink;
  DialogXmlWriter::ComposeDesign(tree, schema, XmlDeclaration::Utf16, sink);
  return CrcText(sink.Value());
}

QString WholeDocumentFingerprint(const DesignTree& tree, const ClassSchema& schema,
                                 DialogXmlWriter&) {
  return WholeDocumentFingerprint(tree, schema);
}

QString WholeDocumentFingerprint(DesignerContext& ctx) {
  return WholeDocumentFingerprint(ctx.tree, ctx.schema);
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

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* reason) {
  QSaveFile file(path);
  auto fail = [&] {
    if (reason) *reason = file.errorString();
    file.cancelWriting();
    return false;
  };
  // Unbuffered, so that a short write (a full disk, a size limit) shows here instead of being
  // lost in a buffer flushed at commit; writing on after a short write gets the system's reason.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail();
  qint64 written = 0;
  while (written < bytes.size()) {
    const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
    if (n <= 0) return fail();
    written += n;
  }
  if (!file.commit()) {
    if (reason) *reason = file.errorString();
    return false;
  }
  return true;
}

namespace {

// Writes the composed text to a file as UTF-8 and takes the CRC of the clipboard form beside it.
class FileSink final : public XmlTextSink {
public:
  // The file starts with its declaration; the clipboard form, whose CRC is the fingerprint,
  // with the other one.
  explicit FileSink(QSaveFile& file) : file_(file) {
    const QLatin1String utf8 = DeclarationText(XmlDeclaration::Utf8);
    const QLatin1String utf16 = DeclarationText(XmlDeclaration::Utf16);
    crc_ = Crc(crc32(0L, Z_NULL, 0), utf16.data(), utf16.size());
    Put(utf8.data(), utf8.size());
  }
  // The formatter never splits a surrogate pair between pieces.
  void Write(QStringView text) override {
    const QByteArray bytes = text.toUtf8();
    crc_ = Crc(crc_, bytes.constData(), bytes.size());
    Put(bytes.constData(), bytes.size());
  }
  bool Failed() const { return failed_; }
  uLong Crc32() const { return crc_; }

private:
  // A short write (a full disk, a size limit) is written on, which gets the system's reason.
  void Put(const char* data, qint64 size) {
    while (!failed_ && size > 0) {
      const qint64 n = file_.write(data, size);
      if (n <= 0) failed_ = true;
      data += std::max<qint64>(n, 0);
      size -= std::max<qint64>(n, 0);
    }
  }
  QSaveFile& file_;
  uLong crc_ = 0;
  bool failed_ = false;
};

}  // namespace

bool WriteDesignFile(const QString& path, const DesignTree& tree, const ClassSchema& schema,
                     QString* reason, QString* fingerprint) {
  QSaveFile file(path);
  auto fail = [&] {
    if (reason) *reason = file.errorString();
    file.cancelWriting();
    return false;
  };
  // Unbuffered, so that a short write shows at once instead of being lost in a buffer.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail();
  FileSink sink(file);
  // Without a declaration the form is the body that follows the file's declaration.
  DialogXmlWriter::ComposeDesign(tree, schema, XmlDeclaration::None, sink);
  if (sink.Failed()) return fail();
  if (!file.commit()) {
    if (reason) *reason = file.errorString();
    return false;
  }
  if (fingerprint) *fingerprint = CrcText(sink.Crc32());
  return true;
}

QByteArray DesignFileBytes(const DesignTree& tree, const ClassSchema& schema) {
  return ComposeForFile(tree, schema);
}

QByteArray DesignFileBytes(const DesignTree& tree, const ClassSchema& schema, DialogXmlWriter&) {
  return ComposeForFile(tree, schema);
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

  if (toClipboard) {
    const QString text = ComposeForClipboard(ctx.tree, ctx.schema);
    if (ctx.hooks.setClipboardText) ctx.hooks.setClipboardText(text);
    const QByteArray bytes = text.toUtf8();
    ctx.savedSnapshot = CrcText(Crc(crc32(0L, Z_NULL, 0), bytes.constData(), bytes.size()));
    return true;
  }

  const QString path =
      AskExportPath(ctx, QStringLiteral("Export XML"), QStringLiteral("xml"), kXmlPatterns);
  if (path.isEmpty()) return false;

  QString reason, fingerprint;
  if (!WriteDesignFile(path, ctx.tree, ctx.schema, &reason, &fingerprint)) {
    ctx.requesters.Message(
        QStringLiteral("Export XML ERROR"),
        QStringLiteral("Can't save XML to ") + path + QStringLiteral("\r\n") + reason,
        MessageIcon::Error);
    return false;
  }
  if (ctx.hooks.setDesignFile) ctx.hooks.setDesignFile(path);
  ctx.savedSnapshot = fingerprint;
  return true;
}

}  // namespace bxw
