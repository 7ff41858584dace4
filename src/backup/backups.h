#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Automatic backups of a book: before a save replaces the two files, the pair it replaces is
// kept in the book's own "Backups" folder. Kept inside the book so that renaming or deleting
// the book takes its backups along and no second place has to follow it; copying a book leaves
// them behind (a copy starts its own history).
//
// Each backup is a folder "yyyyMMdd-HHmmss-zzz" (with "-2", "-3"... when one moment holds
// several) holding "Accounts.dat" and "Main.dat". It is written whole under a hidden name and
// renamed last, so a half-written backup is never listed.
namespace backup {

inline const QString kBackupFolder = QStringLiteral("Backups");

// The features' own files beside the book (its budget, schedules and reconciliations), kept,
// restored and carried into a conflict copy with its two files. The import's payee rules
// belong to the user, not to a book, and stay out.
inline const QStringList kSideFiles{QStringLiteral("Budget.txt"), QStringLiteral("Schedules.txt"),
                                    QStringLiteral("Reconciliations.txt")};

// True for the name of a book's backup folder.
bool isBackupFolder(const QString& fileName);

QString backupsOf(const QString& bookFolder);

struct BackupInfo {
  QString folder;  // the backup's own folder
  QDateTime taken;
  int sequence = 1;  // of backups taken at the same moment
  int entries = 0;   // records in the kept files
  int accounts = 0;
};

// The book's backups, newest first. Reads only the names and the sizes of the files.
std::vector<BackupInfo> list(const QString& bookFolder);

// Keeps the pair, and the side files the book has, as a new backup taken at `now`, then removes
// what the keeping rule lets go. The reason in words when the backup could not be written; nothing
// of it is left then.
std::optional<QString> keep(const QString& bookFolder, const QByteArray& accounts,
                            const QByteArray& entries, const QDateTime& now);

// The keeping rule: the last 20 backups, and the newest of each of the last 30 days (today
// counted). `taken` lists the backups newest first; the answer holds the positions to remove.
inline constexpr int kKeepLatest = 20;
inline constexpr int kKeepDays = 30;
std::vector<size_t> expired(const std::vector<QDateTime>& taken, const QDateTime& now);

}  // namespace backup
