#pragma once
#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace bxw {

// A file written whole or not at all: the bytes go to a temporary file beside it, which replaces
// the file only when everything was written. A failed write leaves any previous file as it was.
// Every file the program writes (designs, source, settings, the recovery journal) goes this way.
class AtomicFile {
public:
  explicit AtomicFile(const QString& path) : file_(path) {}
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Unbuffered, so that a short write (a full disk, a size limit) shows at once instead of being
  // lost in a buffer flushed at the commit.
  bool Open();
  // Writes on after a short write, which gets the system's reason. False once anything failed;
  // later writes are then skipped.
  bool Write(const char* data, qint64 size);
  bool Write(const QByteArray& bytes) { return Write(bytes.constData(), bytes.size()); }
  // Replaces the file with what was written; false when anything failed, and the file stays as it
  // was.
  bool Commit();
  bool Failed() const { return failed_; }
  // The system's explanation of the failure (read-only, disk full, missing folder, a directory).
  const QString& Reason() const { return reason_; }

private:
  bool Fail();
  QSaveFile file_;
  bool failed_ = false;
  QString reason_;
};

// Writes bytes through an AtomicFile. On failure reason, when given, receives the system's
// explanation.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

}  // namespace bxw
