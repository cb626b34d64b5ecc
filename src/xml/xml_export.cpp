#include "xml/xml_export.h"

#include <zlib.h>

#include <algorithm>

#include "platform/atomic_file.h"

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

QString TextFingerprint(const QString& composed) {
  const QByteArray bytes = composed.toUtf8();
  return CrcText(Crc(crc32(0L, Z_NULL, 0), bytes.constData(), bytes.size()));
}

namespace {

// Writes the composed text to a file as UTF-8 and takes the CRC of the clipboard form beside it.
class FileSink final : public XmlTextSink {
public:
  // The file starts with its declaration; the clipboard form, whose CRC is the fingerprint,
  // with the other one.
  explicit FileSink(AtomicFile& file) : file_(file) {
    const QLatin1String utf8 = DeclarationText(XmlDeclaration::Utf8);
    const QLatin1String utf16 = DeclarationText(XmlDeclaration::Utf16);
    crc_ = Crc(crc32(0L, Z_NULL, 0), utf16.data(), utf16.size());
    file_.Write(utf8.data(), utf8.size());
  }
  // The formatter never splits a surrogate pair between pieces.
  void Write(QStringView text) override {
    const QByteArray bytes = text.toUtf8();
    crc_ = Crc(crc_, bytes.constData(), bytes.size());
    file_.Write(bytes);
  }
  uLong Crc32() const { return crc_; }

private:
  AtomicFile& file_;
  uLong crc_ = 0;
};

}  // namespace

bool WriteDesignFile(const QString& path, const DesignTree& tree, const ClassSchema& schema,
                     QString* reason, QString* fingerprint) {
  AtomicFile file(path);
  bool ok = file.Open();
  if (ok) {
    FileSink sink(file);
    // Without a declaration the form is the body that follows the file's declaration.
    DialogXmlWriter::ComposeDesign(tree, schema, XmlDeclaration::None, sink);
    ok = file.Commit();
    if (ok && fingerprint) *fingerprint = CrcText(sink.Crc32());
  }
  if (!ok && reason) *reason = file.Reason();
  return ok;
}

QByteArray DesignFileBytes(const DesignTree& tree, const ClassSchema& schema) {
  return ComposeForFile(tree, schema);
}

}  // namespace bxw
