#include "store/dblock.h"

#include "platform/codepage.h"
#include "platform/process.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <QSysInfo>

namespace dblock {
namespace {

// A lock file that names no process is one whose writer died between creating and filling it;
// after this long nobody is still filling it.
constexpr qint64 kUnfinishedLockSeconds = 10;

// The folders that windows of this process hold. A lock file naming this process but missing
// here was left by an earlier process that had the same id.
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

bool isStale(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const std::optional<Owner> owner = parseOwner(file.read(4096));
  const QDateTime modified = QFileInfo(file).lastModified();
  file.close();
  if (!owner) {
    return modified.isValid() &&
           modified.secsTo(QDateTime::currentDateTime()) > kUnfinishedLockSeconds;
  }
  const Owner me = thisProcess();
  if (owner->host != me.host) return false;  // another machine's processes cannot be asked
  if (owner->pid == me.pid) return true;     // an earlier process with our id; ours are held
  return !process::isRunning(owner->pid);
}

}  // namespace

bool isLockFile(const QString& fileName) { return fileName == kLockFile; }

bool inUse(const QString& folder) {
  const QString key = keyOf(folder);
  QMutexLocker locker(&heldMutex);
  if (heldFolders().contains(key)) return true;
  const QString path = lockPath(key);
  return QFileInfo::exists(path) && !isStale(path);
}

QString inUseText() { return QStringLiteral("這個資料庫正在其他視窗使用中"); }

Owner thisProcess() {
  return {static_cast<qint64>(QCoreApplication::applicationPid()), QSysInfo::machineHostName()};
}

QByteArray ownerBytes(const Owner& owner) {
  return QByteArray::number(owner.pid) + "\r\n" + codepage::encode(owner.host) + "\r\n";
}

std::optional<Owner> parseOwner(const QByteArray& bytes) {
  const qsizetype first = bytes.indexOf("\r\n");
  if (first <= 0) return std::nullopt;
  bool ok = false;
  const qint64 pid = bytes.left(first).toLongLong(&ok);
  if (!ok || pid <= 0) return std::nullopt;
  const qsizetype second = bytes.indexOf("\r\n", first + 2);
  if (second < 0) return std::nullopt;
  return Owner{pid, codepage::decode(bytes.mid(first + 2, second - first - 2))};
}

}  // namespace dblock

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
  const QString path = dblock::lockPath(key);
  QMutexLocker locker(&dblock::heldMutex);
  // Two rounds: the second follows the removal of a lock left by a dead process.
  for (int round = 0; round < 2; ++round) {
    if (dblock::heldFolders().contains(key)) return refusal(dblock::inUseText());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
      const QByteArray bytes = dblock::ownerBytes(dblock::thisProcess());
      const bool written = file.write(bytes) == bytes.size() && file.flush();
      file.close();
      if (!written) {
        QFile::remove(path);
        return refusal(
            QStringLiteral("無法建立「%1」，無法開啟這個資料庫").arg(dblock::shown(path)));
      }
      dblock::heldFolders().insert(key);
      locker.unlock();
      release();
      folder_ = key;
      return std::nullopt;
    }
    const QFileInfo existing(path);
    if (!existing.exists()) {
      return refusal(QStringLiteral("無法建立「%1」：%2，無法開啟這個資料庫")
                         .arg(dblock::shown(path), file.errorString()));
    }
    if (!existing.isFile() || !dblock::isStale(path) || !QFile::remove(path)) break;
  }
  return refusal(dblock::inUseText());
}

void DatabaseLock::release() {
  if (folder_.isEmpty()) return;
  const QString path = dblock::lockPath(folder_);
  QMutexLocker locker(&dblock::heldMutex);
  // A lock that someone else has taken over in the meantime is theirs now.
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) {
    const auto owner = dblock::parseOwner(file.read(4096));
    file.close();
    if (owner && *owner == dblock::thisProcess()) QFile::remove(path);
  }
  dblock::heldFolders().remove(folder_);
  folder_.clear();
}
