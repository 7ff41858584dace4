#pragma once

#include "store/database.h"

#include <QString>

#include <variant>
#include <vector>

// The copies a sync tool leaves beside a book's files when both computers changed them:
// Syncthing's "Main.sync-conflict-20240105-093000-ABCDEFG.dat", Dropbox's
// "Main (Mei's conflicted copy 2024-01-05).dat" and Nextcloud's
// "Main (conflicted copy 2024-01-05 093000).dat", of "Main.dat" and "Accounts.dat".
namespace merge {

// One other computer's version of the book: the conflict copies of one moment, with the book's
// own file where only one of the two was copied.
struct SyncConflict {
  QString label;  // what the sync tool wrote between the name and ".dat"
  QString accountsPath;
  QString entriesPath;
  QStringList files;  // the conflict copies themselves
};

// The versions found in the book's folder, in the order of their labels.
std::vector<SyncConflict> syncConflictsIn(const QString& bookFolder);

// The version's tables, or the reason in words when its files do not read as a book.
std::variant<store::BookTables, QString> readSyncConflict(const SyncConflict& conflict);

// Sets the conflict copies aside once merged in (renamed with ".merged" at the end), so they are
// not offered again and nothing of them is lost; the reason in words when one could not be.
std::optional<QString> setAside(const SyncConflict& conflict);

}  // namespace merge
