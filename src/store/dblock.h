#pragma once

#include "platform/dialogs.h"

#include <QByteArray>
#include <QString>

#include <optional>

// One database is open in at most one window of the program, whichever process shows it. The
// window that opens a database leaves a lock file beside its two files, naming its process and
// its machine; a second opening finds the file and is refused. A lock whose process has died
// on this machine is taken over, so a crash never locks a database for good.
namespace dblock {

inline const QString kLockFile = QStringLiteral("Varnix.lock");

// True for the lock file's name: a copy of a database folder leaves it behind.
bool isLockFile(const QString& fileName);

// The refusal of a database that another window has open.
QString inUseText();

// True when a window (of this process or another) has the database folder open: renaming or
// deleting it would pull it away from under that window.
bool inUse(const QString& folder);

// Who holds a lock.
struct Owner {
  qint64 pid = 0;
  QString host;

  bool operator==(const Owner&) const = default;
};

// This process on this machine.
Owner thisProcess();

// The lock file's text: the process id and the host name, each on a line of its own.
QByteArray ownerBytes(const Owner& owner);
// Reads a lock file's text; nothing when it names no process.
std::optional<Owner> parseOwner(const QByteArray& bytes);

}  // namespace dblock

// The lock of the open database. Held from a successful acquire() until release(), the next
// successful acquire() of another folder, or the object's end.
class DatabaseLock {
 public:
  DatabaseLock() = default;
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
  void swap(DatabaseLock& other) noexcept { folder_.swap(other.folder_); }
  const QString& folder() const { return folder_; }

 private:
  QString folder_;  // absolute path of the locked folder; empty when none is held
};
