#include "store/dblock.h"

#include "platform/process.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QMutex>
#include <QSet>
#include <QSysInfo>

namespace store {

namespace dblock {
namespace {

// The folders that windows of this process hold. QLockFile is made for locking between
// processes; two windows of one process are kept apart here.
QMutex heldMutex;
QSet<QString>& heldFolders() {
  static QSet<QString> folders;
  return folders;
}

QString lockPath(const QString& folder) { return folder + QLatin1Char('/') + kLockFile; }

QString keyOf(const QString& folder) {
  return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

// A lock file as QLockFile itself judges it, without taking it: stale only when its process
// is known to have ended on this machine.
bool isStale(const QString& path) {
  qint64 pid = 0;
  QString host;
  QString program;
  if (!QLockFile(path).getLockInfo(&pid, &host, &program)) return false;
  if (!host.isEmpty() && host != QSysInfo::machineHostName()) return false;
  return !process::isRunning(pid);
}

std::unique_ptr<QLockFile> lockFileOf(const QString& folder) {
  auto file = std::make_unique<QLockFile>(lockPath(folder));
  // A database stays open for hours; only a dead owner makes a lock stale, never its age.
  file->setStaleLockTime(0);
  return file;
}

}  // namespace

bool isLockFile(const QString& fileName) {
  return fileName == kLockFile || fileName == kLockFile + QStringLiteral(".rmlock");
}

bool inUse(const QString& folder) {
  const QString key = keyOf(folder);
  QMutexLocker locker(&heldMutex);
  if (heldFolders().contains(key)) return true;
  const QString path = lockPath(key);
  return QFileInfo::exists(path) && !isStale(path);
}

std::optional<ForeignHolder> heldByAnotherComputer(const QString& folder) {
  const QString path = lockPath(keyOf(folder));
  qint64 pid = 0;
  QString host;
  QString program;
  if (!QFileInfo::exists(path) || !QLockFile(path).getLockInfo(&pid, &host, &program) ||
      host.isEmpty() || host == QSysInfo::machineHostName()) {
    return std::nullopt;
  }
  return ForeignHolder{host, QFileInfo(path).lastModified()};
}

QString inUseText() { return QStringLiteral("這個資料庫正在其他視窗使用中"); }

QString heldElsewhereText(const QString& computer, const QDateTime& since) {
  return QStringLiteral("這個資料庫正由另一台電腦「%1」使用中（%2 起）")
      .arg(computer, since.toString(QStringLiteral("yyyy/MM/dd HH:mm")));
}

}  // namespace dblock

DatabaseLock::DatabaseLock() = default;

DatabaseLock::~DatabaseLock() { release(); }

bool DatabaseLock::holds(const QString& folder) const {
  return held() && folder_ == dblock::keyOf(folder);
}

std::optional<Message> DatabaseLock::acquire(const QString& folder) {
  const QString key = dblock::keyOf(folder);
  if (key == folder_) return std::nullopt;
  if (!QFileInfo(key).isDir()) {
    return refusal(QStringLiteral("找不到資料庫資料夾「%1」，無法開啟").arg(dblock::shown(key)));
  }
  QMutexLocker locker(&dblock::heldMutex);
  if (dblock::heldFolders().contains(key)) return refusal(dblock::inUseText());
  auto file = dblock::lockFileOf(key);
  // No waiting: a database that is open elsewhere is refused at once. A dead owner's lock is
  // removed under QLockFile's own guard, so of two programs doing it at once only one wins.
  if (!file->tryLock(0)) {
    if (file->error() == QLockFile::LockFailedError) {
      // Another computer's lock names that computer and since when: a synced folder carries
      // the lock along, and the person can then ask whoever sits there.
      if (auto holder = dblock::heldByAnotherComputer(key))
        return refusal(dblock::heldElsewhereText(holder->computer, holder->since));
      return refusal(dblock::inUseText());
    }
    return refusal(QStringLiteral("無法建立「%1」，無法開啟這個資料庫")
                       .arg(dblock::shown(dblock::lockPath(key))));
  }
  // The lock names this machine and process: no one else's business, whatever the umask.
  QFile::setPermissions(dblock::lockPath(key), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  dblock::heldFolders().insert(key);
  locker.unlock();
  release();
  folder_ = key;
  file_ = std::move(file);
  return std::nullopt;
}

void DatabaseLock::release() {
  if (folder_.isEmpty()) return;
  QMutexLocker locker(&dblock::heldMutex);
  // QLockFile removes only a lock it still holds.
  if (file_) file_->unlock();
  file_.reset();
  dblock::heldFolders().remove(folder_);
  folder_.clear();
}

}  // namespace store
