#include "book/newbook.h"

#include "backup/folders.h"
#include "book/workspace.h"
#include "platform/foldernames.h"
#include "platform/safefile.h"
#include "store/booklist.h"
#include "store/database.h"

#include <QDir>
#include <QFileInfo>

#include <memory>
#include <utility>
#include <vector>

namespace book {
namespace {

QString bookFolder(const Workspace& store, const QString& name) {
  return store.user().userFolder() + QLatin1Char('/') + name;
}

// "<book>-<word>-yyyyMMdd-HHmmss", with "-2", "-3"... when that is taken. The seconds keep
// two backups of one minute, restored one after the other, apart by their own times.
QString freeName(const Workspace& store, const QString& book, const QString& word,
                 const QDateTime& when) {
  const QString base = book + QLatin1Char('-') + word + QLatin1Char('-') +
                       when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString name = base;
  for (int n = 2; folders::exists(bookFolder(store, name)); ++n) {
    name = base + QStringLiteral("-%1").arg(n);
  }
  return name;
}

using Files = std::vector<std::pair<QString, QByteArray>>;

// The side files (backup::kSideFiles) that `folder` holds, read whole; the name of one that
// could not be read instead.
std::variant<Files, QString> readSideFiles(const QString& folder) {
  Files files;
  for (const QString& side : backup::kSideFiles) {
    const QString path = folder + QLatin1Char('/') + side;
    if (!QFileInfo::exists(path)) continue;
    const auto read = safefile::read(path);
    if (!read) return side;
    files.emplace_back(side, *read);
  }
  return files;
}

// Makes the book's folder with both files and its side files, and lists it after `after`. On
// failure nothing of it is left: neither the folder nor the line.
std::optional<QString> createListedBook(Workspace& store, const QString& name, const QString& after,
                                        const QByteArray& accounts, const QByteArray& entries,
                                        const Files& sideFiles) {
  if (auto problem = foldernames::folderNameProblem(name, foldernames::kDatabaseName))
    return problem;
  auto listed = store::loadDatabaseList(store.user());
  if (const QString* error = std::get_if<QString>(&listed)) return *error;
  QStringList names = std::get<QStringList>(listed);

  const QString folder = bookFolder(store, name);
  if (auto error = folders::create(folder)) return error;
  const auto undo = [&] { folders::remove(folder); };
  Files files{{store::kAccountsFile, accounts}, {store::kEntriesFile, entries}};
  files.insert(files.end(), sideFiles.begin(), sideFiles.end());
  if (auto error = safefile::writeGroup(folder, files)) {
    undo();
    return error;
  }
  const qsizetype at = names.indexOf(after);
  names.insert(at < 0 ? names.size() : at + 1, name);
  if (auto error = store::saveDatabaseList(store.user(), names)) {
    undo();
    return error;
  }
  return std::nullopt;
}

// Both files read and checked as LoadDatabase checks them.
std::variant<std::pair<QByteArray, QByteArray>, QString> readBackup(
    const backup::BackupInfo& backup) {
  const auto accounts = safefile::read(backup.folder + QLatin1Char('/') + store::kAccountsFile);
  const auto entries = safefile::read(backup.folder + QLatin1Char('/') + store::kEntriesFile);
  if (!accounts || !entries) return QStringLiteral("無法讀取這份備份");
  auto accountTable = std::make_unique<store::AccountTableType>();
  auto entryTable = std::make_unique<store::EntryTableType>();
  if (auto read = store::readAccounts(*accounts, *accountTable);
      std::holds_alternative<QString>(read)) {
    return std::get<QString>(read);
  }
  if (auto read = store::readEntries(*entries, *entryTable);
      std::holds_alternative<QString>(read)) {
    return std::get<QString>(read);
  }
  return std::pair{*accounts, *entries};
}

}  // namespace

std::variant<QString, Message> restore(Workspace& store, const QString& book,
                                       const backup::BackupInfo& backup) {
  auto bytes = readBackup(backup);
  if (const QString* error = std::get_if<QString>(&bytes)) {
    return refusal(QStringLiteral("備份沒有還原：%1").arg(*error));
  }
  const auto& [accounts, entries] = std::get<std::pair<QByteArray, QByteArray>>(bytes);
  // The side files are read first: one that cannot be read stops the restore before it begins.
  // They are written with the two book files, all or nothing.
  const auto sideFiles = readSideFiles(backup.folder);
  if (const QString* side = std::get_if<QString>(&sideFiles)) {
    return refusal(QStringLiteral("備份沒有還原：無法讀取「%1」").arg(*side));
  }
  // Named by the moment it keeps, so two restores of one backup are recognisably the same.
  const QString name = freeName(store, book, QStringLiteral("還原"), backup.taken);
  if (auto error =
          createListedBook(store, name, book, accounts, entries, std::get<Files>(sideFiles))) {
    return refusal(QStringLiteral("備份沒有還原：%1").arg(*error));
  }
  return name;
}

SaveResult saveAsConflictCopy(Workspace& store, const QByteArray& accounts,
                              const QByteArray& entries) {
  const QString original = store.user().databaseName();
  const auto failed = [&](const QString& error) -> SaveResult {
    return {refusal(QStringLiteral("資料庫「%1」的檔案已被其他程式變更，為了不覆蓋這些變更，"
                                   "目前的資料要另存為新的資料庫，但沒有存好：%2")
                        .arg(original, error)),
            std::nullopt};
  };
  // The book's side files (its budget, schedules, reconciliations) go along to the new book:
  // they belong to what is open, and the features go on writing them there.
  const auto sideFiles = readSideFiles(store.user().databaseFolder());
  if (const QString* side = std::get_if<QString>(&sideFiles)) {
    return failed(QStringLiteral("無法讀取「%1」").arg(*side));
  }
  const QString name = freeName(store, original, QStringLiteral("衝突"), store.clock().now());
  if (auto error =
          createListedBook(store, name, original, accounts, entries, std::get<Files>(sideFiles))) {
    return failed(*error);
  }
  // The new book is nobody else's yet; taking its lock cannot be refused but by the disk.
  store::DatabaseLock next;
  const auto locked = next.acquire(bookFolder(store, name));
  if (!locked) store.lock().swap(next);
  store.user().setDatabaseName(name);
  // The open book goes on under its new name, and so do its undo and redo.
  store.history().moveTo(store.user().databaseFolder());
  store.setPanel(Workspace::DatabasePanel, QStringLiteral("資料庫名稱：") + name);
  store.setFingerprint(store::fingerprintOfBook(store.user().databaseFolder(), accounts, entries));
  // Saved, in its new folder: what follows each save (the side files kept in memory) follows.
  emit store.bookSaved(store.user().databaseFolder());
  return {std::nullopt,
          refusal(QStringLiteral("資料庫「%1」的檔案已被其他程式變更。為了不覆蓋這些變更，"
                                 "目前的資料已另存為新的資料庫「%2」，兩者都保留在資料庫清單中，"
                                 "之後會存到「%2」。")
                      .arg(original, name))};
}

}  // namespace book
