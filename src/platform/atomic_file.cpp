#include "platform/atomic_file.h"

namespace bxw {

bool AtomicFile::Fail() {
  if (!failed_) reason_ = file_.errorString();
  failed_ = true;
  file_.cancelWriting();
  return false;
}

bool AtomicFile::Open() {
  if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return Fail();
  return true;
}

bool AtomicFile::Write(const char* data, qint64 size) {
  while (!failed_ && size > 0) {
    const qint64 n = file_.write(data, size);
    if (n <= 0) return Fail();
    data += n;
    size -= n;
  }
  return !failed_;
}

bool AtomicFile::Commit() {
  if (failed_) return false;
  if (!file_.commit()) {
    reason_ = file_.errorString();
    failed_ = true;
    return false;
  }
  return true;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* reason) {
  AtomicFile file(path);
  const bool ok = file.Open() && file.Write(bytes) && file.Commit();
  if (!ok && reason) *reason = file.Reason();
  return ok;
}

}  // namespace bxw
