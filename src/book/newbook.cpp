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

// Makes the book's folder with both files and lists it after `after`. On failure nothing of it
// is left: neither the folder nor the line.
std::optional<QString> createListedBook(Workspace& store, const QString& name, const QString& after,
                                        const QByteArray& accounts, const QByteArray& entries) {
  if (auto problem = foldernames::folderNameProblem(name, foldernames::kDatabaseName)) return problem;
  auto listed = store::loadDatabaseList(store.user());
  if (const QString* error = std::get_if<QString>(&listed)) return *error;
  QStringList names = std::get<QStringList>(listed);

  const QString folder = bookFolder(store, name);
  if (auto error = folders::create(folder)) return error;
  const auto undo = [&] { folders::remove(folder); };
  if (auto error =
          safefile::writeGroup(folder, {{store::kAccountsFile, accounts}, {store::kEntriesFile, entries}})) {
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
std::variant<std::pair<QByteArray, QByteArray>, QString> readBackup(const backup::BackupInfo& backup) {
  const auto accounts = safefile::read(backup.folder + QLatin1Char('/') + store::kAccountsFile);
  const auto entries = safefile::read(backup.folder + QLatin1Char('/') + store::kEntriesFile);
  if (!accounts || !entries) return QStringLiteral("無法讀取這份備份");
  auto accountTable = std::make_unique<store::AccountTableType>();
  auto entryTable = std::make_unique<store::EntryTableType>();
  if (auto read = store::readAccounts(*accounts, *accountTable); std::holds_alternative<QString>(read)) {
    return std::get<QString>(read);
  }
  if (auto read = store::readEntries(*entries, *entryTable); std::holds_alternative<QString>(read)) {
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
  std::vector<std::pair<QString, QByteArray>> sideFiles;
  for (const QString& side : backup::kSideFiles) {
    const QString path = backup.folder + QLatin1Char('/') + side;
    if (!QFileInfo::exists(path)) continue;
    const auto read = safefile::read(path);
    if (!read) return refusal(QStringLiteral("備份沒有還原：無法讀取「%1」").arg(side));
    sideFiles.emplace_back(side, *read);
  }
  // Named by the moment it keeps, so two restores of one backup are recognisably the same.
  const QString name = freeName(store, book, QStringLiteral("還原"), backup.taken);
  if (auto error = createListedBook(store, name, book, accounts, entries)) {
    return refusal(QStringLiteral("備份沒有還原：%1").arg(*error));
  }
  for (const auto& [side, sideBytes] : sideFiles) {
    if (auto error = safefile::write(bookFolder(store, name) + QLatin1Char('/') + side, sideBytes)) {
      return refusal(
          QStringLiteral("備份已還原為資料庫「%1」，但「%2」沒有還原：%3").arg(name, side, *error));
    }
  }
  return name;
}

SaveResult saveAsConflictCopy(Workspace& store, const QByteArray& accounts,
                              const QByteArray& entries) {
  const QString original = store.user().databaseName();
  const QString name = freeName(store, original, QStringLiteral("衝突"), store.clock().now());
  if (auto error = createListedBook(store, name, original, accounts, entries)) {
    return {refusal(QStringLiteral("資料庫「%1」的檔案已被其他程式變更，為了不覆蓋這些變更，"
                                   "目前的資料要另存為新的資料庫，但沒有存好：%2")
                        .arg(original, *error)),
            std::nullopt};
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
  return {std::nullopt,
          refusal(QStringLiteral("資料庫「%1」的檔案已被其他程式變更。為了不覆蓋這些變更，"
                                 "目前的資料已另存為新的資料庫「%2」，兩者都保留在資料庫清單中，"
                                 "之後會存到「%2」。")
                      .arg(original, name))};
}

}  // namespace book
