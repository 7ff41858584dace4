#pragma once

#include "platform/message.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

class QLockFile;

namespace store {

// One database is open in at most one window of the program, whichever process shows it. The
// window that opens a database holds a lock file beside its two files (QLockFile: it names the
// process, the program and the machine). A second opening finds the file and is refused. A lock
// whose process has died on this machine is taken over, so a crash never locks a database for
// good; two programs taking over the same dead lock at once never both get it.
namespace dblock {

inline const QString kLockFile = QStringLiteral("Varnix.lock");

// True for the lock file's name (and the lock's own helper file while a dead lock is taken
// over): a copy of a database folder leaves them behind.
bool isLockFile(const QString& fileName);

// The refusal of a database that another window has open.
QString inUseText();

// The refusal of a database whose lock another computer holds (a synced folder carries it).
QString heldElsewhereText(const QString& computer, const QDateTime& since);

// Another computer holding a database's lock: its name and since when it holds it.
struct ForeignHolder {
  QString computer;
  QDateTime since;
};

// The other computer whose lock the folder holds (a synced folder carries the lock along);
// nothing when no lock is there or it is this computer's own.
std::optional<ForeignHolder> heldByAnotherComputer(const QString& folder);

// True when a window (of this process or another) has the database folder open: renaming or
// deleting it would pull it away from under that window. A lock left by a dead process of this
// machine does not count.
bool inUse(const QString& folder);

}  // namespace dblock

// The lock of the open database. Held from a successful acquire() until release(), the next
// successful acquire() of another folder, or the object's end.
class DatabaseLock {
 public:
  DatabaseLock();
  ~DatabaseLock();
  DatabaseLock(const DatabaseLock&) = delete;
  DatabaseLock& operator=(const DatabaseLock&) = delete;

  // Locks the database folder. On success the lock held before (of another folder) is given
  // up; on refusal nothing changes and the earlier lock stays held.
  std::optional<Message> acquire(const QString& folder);
  void release();

  bool held() const { return !folder_.isEmpty(); }
  // True when this object holds the lock of that folder.
  bool holds(const QString& folder) const;
  void swap(DatabaseLock& other) noexcept {
    folder_.swap(other.folder_);
    file_.swap(other.file_);
  }
  const QString& folder() const { return folder_; }

 private:
  QString folder_;  // absolute path of the locked folder; empty when none is held
  std::unique_ptr<QLockFile> file_;
};

}  // namespace store
