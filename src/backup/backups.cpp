#include "backup/backups.h"

#include "platform/safefile.h"
#include "store/database.h"
#include "store/records.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUuid>

#include <algorithm>

namespace backup {
namespace {

const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");
// Written under this prefix; a name starting with it is never a backup.
const QString kUnfinished = QStringLiteral(".unfinished-");

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

int recordsOf(const QFileInfo& file) {
  return static_cast<int>((file.size() + store::kRecordLength - 1) / store::kRecordLength);
}

std::optional<BackupInfo> infoOf(const QFileInfo& folder) {
  static const QRegularExpression name(QStringLiteral("^(\\d{8}-\\d{6}-\\d{3})(?:-(\\d{1,6}))?$"));
  const auto match = name.match(folder.fileName());
  if (!match.hasMatch() || !folder.isDir()) return std::nullopt;
  const QDateTime taken = QDateTime::fromString(match.captured(1), kTimeFormat);
  const QFileInfo accounts(folder.filePath() + QLatin1Char('/') + store::kAccountsFile);
  const QFileInfo entries(folder.filePath() + QLatin1Char('/') + store::kEntriesFile);
  if (!taken.isValid() || !accounts.isFile() || !entries.isFile()) return std::nullopt;
  const int sequence = match.captured(2).isEmpty() ? 1 : match.captured(2).toInt();
  return BackupInfo{folder.filePath(), taken, sequence, recordsOf(entries), recordsOf(accounts)};
}

bool newerFirst(const BackupInfo& a, const BackupInfo& b) {
  return a.taken != b.taken ? a.taken > b.taken : a.sequence > b.sequence;
}

// A backup folder name for this moment, after every backup already taken at the same moment
// (the clock may stand still, and the first of them may already be gone).
QString freshName(const QString& backups, const QDateTime& now) {
  const QString base = now.toString(kTimeFormat);
  int last = 0;
  for (const QFileInfo& folder :
       QDir(backups).entryInfoList({base + QLatin1Char('*')}, QDir::Dirs)) {
    if (auto info = infoOf(folder); info && info->taken == now)
      last = std::max(last, info->sequence);
  }
  return last == 0 ? base : base + QStringLiteral("-%1").arg(last + 1);
}

void removeUnfinished(const QString& backups) {
  const QDir dir(backups);
  const auto left = dir.entryInfoList({kUnfinished + QLatin1Char('*')},
                                      QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
  for (const QFileInfo& folder : left) QDir(folder.filePath()).removeRecursively();
}

}  // namespace

bool isBackupFolder(const QString& fileName) { return fileName == kBackupFolder; }

QString backupsOf(const QString& bookFolder) {
  return bookFolder + QLatin1Char('/') + kBackupFolder;
}

std::vector<BackupInfo> list(const QString& bookFolder) {
  std::vector<BackupInfo> found;
  const QDir dir(backupsOf(bookFolder));
  for (const QFileInfo& folder : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (auto info = infoOf(folder)) found.push_back(std::move(*info));
  }
  std::sort(found.begin(), found.end(), newerFirst);
  return found;
}

std::vector<size_t> expired(const std::vector<QDateTime>& taken, const QDateTime& now) {
  const QDate firstKeptDay = now.date().addDays(-(kKeepDays - 1));
  QSet<QDate> daysSeen;
  std::vector<size_t> gone;
  for (size_t i = 0; i < taken.size(); ++i) {
    const QDate day = taken[i].date();
    const bool newestOfRecentDay = day >= firstKeptDay && !daysSeen.contains(day);
    daysSeen.insert(day);
    if (i < static_cast<size_t>(kKeepLatest) || newestOfRecentDay) continue;
    gone.push_back(i);
  }
  return gone;
}

std::optional<QString> keep(const QString& bookFolder, const QByteArray& accounts,
                            const QByteArray& entries, const QDateTime& now) {
  const QString backups = backupsOf(bookFolder);
  if (!QFileInfo(backups).isDir() && !QDir().mkdir(backups)) {
    return QStringLiteral("無法建立資料夾「%1」").arg(shown(backups));
  }
  // Only the window holding the book's lock saves it: what an earlier crash left half-written
  // is nobody's work in progress.
  removeUnfinished(backups);
  const QString unfinished =
      backups + QLatin1Char('/') + kUnfinished + QUuid::createUuid().toString(QUuid::WithoutBraces);
  // A failed backup leaves nothing behind, not even an empty backup folder.
  const auto giveUp = [&](const QString& error) {
    QDir(unfinished).removeRecursively();
    QDir().rmdir(backups);
    return error;
  };
  if (!QDir().mkdir(unfinished)) {
    return giveUp(QStringLiteral("無法建立資料夾「%1」").arg(shown(unfinished)));
  }
  for (const auto& [name, bytes] :
       {std::pair{store::kAccountsFile, &accounts}, std::pair{store::kEntriesFile, &entries}}) {
    if (auto error = safefile::write(unfinished + QLatin1Char('/') + name, *bytes)) {
      return giveUp(*error);
    }
  }
  for (const QString& name : kSideFiles) {
    const QString path = bookFolder + QLatin1Char('/') + name;
    if (!QFileInfo::exists(path)) continue;
    const auto bytes = safefile::read(path);
    if (!bytes) return giveUp(QStringLiteral("無法讀取「%1」").arg(shown(path)));
    if (auto error = safefile::write(unfinished + QLatin1Char('/') + name, *bytes)) {
      return giveUp(*error);
    }
  }
  const QString finished = backups + QLatin1Char('/') + freshName(backups, now);
  if (!QDir().rename(unfinished, finished)) {
    return giveUp(QStringLiteral("無法建立資料夾「%1」").arg(shown(finished)));
  }

  const std::vector<BackupInfo> all = list(bookFolder);
  std::vector<QDateTime> taken;
  taken.reserve(all.size());
  for (const BackupInfo& info : all) taken.push_back(info.taken);
  // Renamed out of the list before its files go, so that a crash meanwhile never leaves half
  // a backup listed. One that cannot be removed now is tried again at the next save.
  for (const size_t i : expired(taken, now)) {
    const QString leaving =
        backups + QLatin1Char('/') + kUnfinished + QFileInfo(all[i].folder).fileName();
    if (QDir().rename(all[i].folder, leaving)) QDir(leaving).removeRecursively();
  }
  return std::nullopt;
}

}  // namespace backup
