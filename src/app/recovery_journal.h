#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <memory>
#include <optional>

namespace bxw {

// The unsaved design of one running designer, kept on disk so that a crash or a kill loses
// nothing. Each designer writes its own journal in the recovery folder and holds a lock beside it
// for as long as it runs; a journal whose lock nobody holds belongs to a designer that ended
// without cleaning up, and is offered at the next start.
class RecoveryJournal {
public:
  // An empty folder disables the journal (nothing is written or found).
  explicit RecoveryJournal(const QString& folder);
  ~RecoveryJournal();  // gives up the lock; the journal itself stays unless removed
  RecoveryJournal(const RecoveryJournal&) = delete;
  RecoveryJournal& operator=(const RecoveryJournal&) = delete;

  bool Active() const { return lock_ != nullptr; }
  QString Folder() const { return folder_; }
  QString JournalPath() const;  // this designer's journal

  // Replaces this designer's journal atomically: the design in its file form and the path of the
  // file it belongs to (empty for none).
  bool Write(const QByteArray& design, const QString& designFile);
  void Remove();
  bool Exists() const;

  // A journal left by a designer that no longer runs, the newest of them; its lock is taken, so
  // that no other designer offers it meanwhile.
  struct Orphan {
    QString journalPath;
    QString designFile;
    QDateTime written;
    std::unique_ptr<QLockFile> lock;
  };
  std::optional<Orphan> FindOrphan() const;
  static QByteArray Read(const Orphan& orphan);
  // Deletes an orphan's journal and lock.
  static void Discard(Orphan& orphan);

private:
  QString folder_;
  QString id_;
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace bxw
