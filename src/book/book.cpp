#include "book/book.h"

#include "backup/backups.h"
#include "book/newbook.h"
#include "book/workspace.h"
#include "platform/safefile.h"
#include "store/database.h"

#include <QFileInfo>

namespace book {

std::optional<Message> open(Workspace& workspace, qint32 startingCash) {
  const QString folder = workspace.user().databaseFolder();
  auto read = store::readForOpening(folder, workspace.today(), startingCash);
  if (const QString* error = std::get_if<QString>(&read)) return refusal(*error);
  const store::OpeningFiles& files = std::get<store::OpeningFiles>(read);

  // Nothing can fail from here on. The steps of the book open until now stay only when it is
  // this book again, read back exactly as it is in memory (the list was opened, which saved it).
  store::BookTables& tables = workspace.tables();
  History& history = workspace.history();
  if (history.canUndo() || history.canRedo()) {
    const bool sameBook = !files.madeNew &&
                          files.accountBytes == store::accountsFileBytes(tables.accounts, tables.accountCount) &&
                          files.entryBytes == store::entriesFileBytes(tables.entries, tables.entryCount);
    if (!sameBook) history.clear();
  }
  history.belongTo(folder);
  store::decodeOpening(files, tables);
  workspace.setFingerprint(store::fingerprintOfBook(folder, files.accountBytes, files.entryBytes));
  workspace.showAccountCount();
  workspace.showEntryCount();
  return std::nullopt;
}

SaveResult save(Workspace& workspace) {
  const QString folder = workspace.user().databaseFolder();
  const store::BookTables& tables = workspace.tables();
  const QByteArray accounts = store::accountsFileBytes(tables.accounts, tables.accountCount);
  const QByteArray entries = store::entriesFileBytes(tables.entries, tables.entryCount);
  // A save cut short earlier is completed first: the files compared and kept below are then
  // those of the last whole save.
  if (QFileInfo(folder).isDir()) {
    if (auto error = safefile::finishGroup(folder, {store::kAccountsFile, store::kEntriesFile})) {
      return {refusal(QStringLiteral("資料庫沒有存好：%1").arg(*error)), std::nullopt};
    }
  }
  const QString accountsPath = folder + QLatin1Char('/') + store::kAccountsFile;
  const QString entriesPath = folder + QLatin1Char('/') + store::kEntriesFile;
  const std::optional<QByteArray> oldAccounts = safefile::read(accountsPath);
  const std::optional<QByteArray> oldEntries = safefile::read(entriesPath);
  const store::BookFingerprint& last = workspace.fingerprint();
  if (last.describes(folder) &&
      last.differsFrom({folder, store::fingerprintOfFile(accountsPath, oldAccounts),
                        store::fingerprintOfFile(entriesPath, oldEntries)})) {
    return saveAsConflictCopy(workspace, accounts, entries);
  }

  std::optional<QString> backupError;
  const auto keepOldPair = [&] {
    // A save that changes nothing keeps no backup: it would only push real ones out of the
    // last twenty.
    if (oldAccounts && oldEntries && (*oldAccounts != accounts || *oldEntries != entries)) {
      backupError = backup::keep(folder, *oldAccounts, *oldEntries, workspace.clock().now());
    }
  };
  // Both files are replaced together: a crash or a full disk never leaves the accounts of one
  // save beside the entries of another. The backup is made once the new files are whole, so a
  // disk too full for it costs the backup and never the save.
  if (auto error = safefile::writeGroup(
          folder, {{store::kAccountsFile, accounts}, {store::kEntriesFile, entries}}, keepOldPair)) {
    return {refusal(QStringLiteral("資料庫沒有存好：%1").arg(*error)), std::nullopt};
  }
  std::optional<Message> notice;
  if (backupError) {
    notice = refusal(QStringLiteral("資料庫已經存好，但這次沒有留下備份：%1").arg(*backupError));
  }
  workspace.setFingerprint(store::fingerprintOfBook(folder, accounts, entries));
  emit workspace.bookSaved(folder);
  return {std::nullopt, notice};
}

}  // namespace book
