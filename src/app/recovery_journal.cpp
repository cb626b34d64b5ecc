#include "app/recovery_journal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <vector>

#include "platform/atomic_file.h"

namespace bxw {

namespace {

const QString kJournalSuffix = QStringLiteral(".xml");

QString Sibling(const QString& journalPath, const char* suffix) {
  return journalPath.chopped(kJournalSuffix.size()) + QLatin1String(suffix);
}

std::unique_ptr<QLockFile> MakeLock(const QString& path) {
  auto lock = std::make_unique<QLockFile>(path);
  // A live designer keeps its lock for hours; only a lock whose process is gone is stale.
  lock->setStaleLockTime(0);
  return lock;
}

}  // namespace

RecoveryJournal::RecoveryJournal(const QString& folder) : folder_(folder) {
  if (folder_.isEmpty() || !QDir().mkpath(folder_)) return;
  id_ = QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-') +
        QUuid::createUuid().toString(QUuid::Id128).left(12);
  auto lock = MakeLock(folder_ + QLatin1Char('/') + id_ + QStringLiteral(".lock"));
  if (lock->tryLock(0)) lock_ = std::move(lock);
}

RecoveryJournal::~RecoveryJournal() = default;

QString RecoveryJournal::JournalPath() const {
  return Active() ? folder_ + QLatin1Char('/') + id_ + kJournalSuffix : QString();
}

bool RecoveryJournal::Write(const QByteArray& design, const QString& designFile) {
  if (!Active()) return false;
  const QString path = JournalPath();
  return WriteFileAtomically(Sibling(path, ".file"), designFile.toUtf8()) &&
         WriteFileAtomically(path, design);
}

void RecoveryJournal::Remove() {
  if (!Active()) return;
  const QString path = JournalPath();
  QFile::remove(path);
  QFile::remove(Sibling(path, ".file"));
}

bool RecoveryJournal::Exists() const {
  return Active() && QFileInfo::exists(JournalPath());
}

std::optional<RecoveryJournal::Orphan> RecoveryJournal::FindOrphan() const {
  if (!Active()) return std::nullopt;
  std::optional<Orphan> best;
  const QFileInfoList journals =
      QDir(folder_).entryInfoList({QStringLiteral("*") + kJournalSuffix}, QDir::Files);
  for (const QFileInfo& info : journals) {
    const QString path = info.absoluteFilePath();
    if (path == QFileInfo(JournalPath()).absoluteFilePath()) continue;
    auto lock = MakeLock(Sibling(path, ".lock"));
    // Held: its designer still runs.
    if (!lock->tryLock(0)) continue;
    if (best && best->written >= info.lastModified()) continue;  // the lock goes with `lock`
    Orphan o;
    o.journalPath = path;
    o.written = info.lastModified();
    QFile file(Sibling(path, ".file"));
    if (file.open(QIODevice::ReadOnly)) o.designFile = QString::fromUtf8(file.readAll());
    o.lock = std::move(lock);
    best = std::move(o);
  }
  return best;
}

QByteArray RecoveryJournal::Read(const Orphan& orphan) {
  QFile file(orphan.journalPath);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void RecoveryJournal::Discard(Orphan& orphan) {
  QFile::remove(orphan.journalPath);
  QFile::remove(Sibling(orphan.journalPath, ".file"));
  if (orphan.lock) orphan.lock->unlock();
  orphan.lock.reset();
}

}  // namespace bxw
