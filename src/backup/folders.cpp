#include "backup/folders.h"

#include "backup/backups.h"
#include "store/dblock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace folders {
namespace {

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

// The lock belongs to the window that has the original open, not to the copy; the backups are
// the original's history, and a copy starts its own.
bool leftBehind(const QString& fileName) {
  return store::dblock::isLockFile(fileName) || backup::isBackupFolder(fileName);
}

bool copyTree(const QString& from, const QString& to) {
  if (!QDir().mkdir(to)) return false;
  const QDir source(from);
  const auto entries =
      source.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
  for (const QFileInfo& entry : entries) {
    if (leftBehind(entry.fileName())) continue;
    const QString target = to + QLatin1Char('/') + entry.fileName();
    if (entry.isDir() && !entry.isSymLink()) {
      if (!copyTree(entry.filePath(), target)) return false;
    } else if (!QFile::copy(entry.filePath(), target)) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool exists(const QString& path) { return QFileInfo::exists(path); }

bool isFolder(const QString& path) { return QFileInfo(path).isDir(); }

std::optional<QString> create(const QString& path) {
  if (QDir().mkdir(path)) return std::nullopt;
  return QStringLiteral("無法建立資料夾「%1」").arg(shown(path));
}

std::optional<QString> copy(const QString& from, const QString& to) {
  if (!isFolder(from)) return QStringLiteral("找不到資料夾「%1」，無法複製").arg(shown(from));
  if (exists(to)) return QStringLiteral("「%1」已經存在，無法複製").arg(shown(to));
  if (copyTree(from, to)) return std::nullopt;
  // Half a copy would look like a whole database; take it away again.
  QDir(to).removeRecursively();
  return QStringLiteral("無法把資料夾「%1」複製到「%2」").arg(shown(from), shown(to));
}

std::optional<QString> rename(const QString& from, const QString& to) {
  if (!isFolder(from)) return QStringLiteral("找不到資料夾「%1」，無法更名").arg(shown(from));
  if (QDir().rename(from, to)) return std::nullopt;
  return QStringLiteral("無法把資料夾「%1」更名為「%2」").arg(shown(from), shown(to));
}

std::optional<QString> remove(const QString& path) {
  if (QDir(path).removeRecursively()) return std::nullopt;
  return QStringLiteral("無法完整刪除資料夾「%1」，其中部分檔案可能已被刪除").arg(shown(path));
}

}  // namespace folders
