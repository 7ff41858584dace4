#include "book/book.h"

#include "backup/backups.h"
#include "book/newbook.h"
#include "book/workspace.h"
#include "history/History.h"
#include "merge/atsave.h"
#include "merge/bases.h"
#include "platform/safefile.h"
#include "store/database.h"

#include <QFileInfo>

#include <memory>

namespace book {
namespace {

QByteArray accountBytesOf(const store::BookTables& tables) {
  return store::accountsFileBytes(tables.accounts, tables.accountCount);
}
QByteArray entryBytesOf(const store::BookTables& tables) {
  return store::entriesFileBytes(tables.entries, tables.entryCount);
}

// What this computer last read or wrote of the book, for the next merge. A base that cannot be
// written costs nothing now: the next merge then stands on the newest backup and says so.
void keepBase(const QString& folder, const QByteArray& accounts, const QByteArray& entries) {
  (void)merge::keepBase(folder, accounts, entries);
}

// The book the answers to the plan's conflicts make; the reason when it makes none (the
// questions cancelled among them).
std::variant<merge::Merged, QString> answered(const merge::Plan& plan, const MergeQuestions& ask) {
  std::vector<merge::Choice> answers;
  if (!plan.conflicts.empty()) {
    std::optional<std::vector<merge::Choice>> given;
    if (ask) given = ask(plan.conflicts);
    if (!given) return QStringLiteral("衝突沒有決定");
    answers = std::move(*given);
  }
  return merge::apply(plan, answers);
}

// The merged tables become the open book's, as one step 復原 takes back.
void takeMerged(Workspace& workspace, const store::BookTables& merged) {
  {
    HistoryStep step(workspace.history(), workspace.tables(), kMergeStepName);
    workspace.tables() = merged;
  }
  workspace.showAccountCount();
  workspace.showEntryCount();
  workspace.refillAccountLists();
}

// The open book saved aside as "<book>-衝突-<now>", with the reason it was not merged first.
SaveResult saveAside(Workspace& workspace, const QByteArray& accounts, const QByteArray& entries,
                     const QString& why) {
  SaveResult saved = saveAsConflictCopy(workspace, accounts, entries);
  if (saved.saved()) keepBase(workspace.user().databaseFolder(), accounts, entries);
  std::optional<Message>& said = saved.refusal ? saved.refusal : saved.notice;
  if (said) said->text = merge::fallbackReason(why) + QStringLiteral("\r\n") + said->text;
  return saved;
}

// The book on disk, changed by another computer since it was last read or written here, merged
// with the open one; saved aside when that cannot be done.
SaveResult saveMerged(Workspace& workspace, const MergeQuestions& ask, const QByteArray& accounts,
                      const QByteArray& entries, const std::optional<QByteArray>& theirAccounts,
                      const std::optional<QByteArray>& theirEntries) {
  const QString folder = workspace.user().databaseFolder();
  if (!theirAccounts || !theirEntries) {
    return saveAside(workspace, accounts, entries, QStringLiteral("另一台電腦的檔案無法讀取"));
  }
  auto theirs = std::make_unique<store::BookTables>();
  auto accountCount = store::readAccounts(*theirAccounts, theirs->accounts);
  if (const QString* reason = std::get_if<QString>(&accountCount))
    return saveAside(workspace, accounts, entries, *reason);
  auto entryCount = store::readEntries(*theirEntries, theirs->entries);
  if (const QString* reason = std::get_if<QString>(&entryCount))
    return saveAside(workspace, accounts, entries, *reason);
  theirs->accountCount = std::get<int>(accountCount);
  theirs->entryCount = std::get<int>(entryCount);

  auto planned = merge::planAtSave(folder, workspace.tables(), *theirs);
  if (const QString* reason = std::get_if<QString>(&planned))
    return saveAside(workspace, accounts, entries, *reason);
  const merge::AtSave& atSave = std::get<merge::AtSave>(planned);
  auto applied = answered(atSave.plan, ask);
  if (const QString* reason = std::get_if<QString>(&applied))
    return saveAside(workspace, accounts, entries, *reason);
  const merge::Merged& merged = std::get<merge::Merged>(applied);
  const QByteArray mergedAccounts = accountBytesOf(merged.tables);
  const QByteArray mergedEntries = entryBytesOf(merged.tables);

  // The other computer may have written again while the questions were asked: then this merge
  // would overwrite that, so it is not written.
  if (safefile::read(folder + QLatin1Char('/') + store::kAccountsFile) != theirAccounts ||
      safefile::read(folder + QLatin1Char('/') + store::kEntriesFile) != theirEntries) {
    return saveAside(workspace, accounts, entries, QStringLiteral("另一台電腦在合併時又改了檔案"));
  }
  // Both sides are kept before anything is replaced: a merge that went wrong in the person's
  // eyes can be taken back from the backups. Without them there is no merge.
  const QDateTime now = workspace.clock().now();
  for (const auto& [a, e] :
       {std::pair{*theirAccounts, *theirEntries}, std::pair{accounts, entries}}) {
    if (auto error = backup::keep(folder, a, e, now)) {
      return saveAside(workspace, accounts, entries,
                       QStringLiteral("合併前的備份沒有留下：%1").arg(*error));
    }
  }
  if (auto error = safefile::writeGroup(
          folder, {{store::kAccountsFile, mergedAccounts}, {store::kEntriesFile, mergedEntries}})) {
    return {refusal(QStringLiteral("資料庫沒有存好：%1").arg(*error)), std::nullopt};
  }
  takeMerged(workspace, merged.tables);
  workspace.setFingerprint(store::fingerprintOfBook(folder, mergedAccounts, mergedEntries));
  keepBase(folder, mergedAccounts, mergedEntries);
  emit workspace.bookSaved(folder);
  return {std::nullopt, merge::mergedNotice(merged.summary, atSave.baseFromBackup)};
}

// A book opened read-only: its files are the other computer's, and nothing of this session is
// written, neither there nor anywhere else. Its commands that change the book are off; a change
// that came in nonetheless is said to be lost rather than written over the other computer's.
SaveResult saveReadOnly(const Workspace& workspace, const QByteArray& accounts,
                        const QByteArray& entries) {
  const QString folder = workspace.user().databaseFolder();
  const auto same = [](const store::FileFingerprint& read, const QString& path,
                       const QByteArray& bytes) {
    const store::FileFingerprint now = store::fingerprintOfFile(path, bytes);
    return now.size == read.size && now.hash == read.hash;
  };
  const store::BookFingerprint& read = workspace.fingerprint();
  if (same(read.accounts, folder + QLatin1Char('/') + store::kAccountsFile, accounts) &&
      same(read.entries, folder + QLatin1Char('/') + store::kEntriesFile, entries)) {
    return {};
  }
  return {std::nullopt, refusal(QStringLiteral("資料庫「%1」是唯讀開啟的，這次的變更沒有存檔。")
                                    .arg(workspace.user().databaseName()))};
}

}  // namespace

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
    const bool sameBook =
        !files.madeNew &&
        files.accountBytes == store::accountsFileBytes(tables.accounts, tables.accountCount) &&
        files.entryBytes == store::entriesFileBytes(tables.entries, tables.entryCount);
    if (!sameBook) history.clear();
  }
  history.belongTo(folder);
  workspace.setReadOnly(false);
  store::decodeOpening(files, tables);
  workspace.setFingerprint(store::fingerprintOfBook(folder, files.accountBytes, files.entryBytes));
  keepBase(folder, files.accountBytes, files.entryBytes);
  workspace.showAccountCount();
  workspace.showEntryCount();
  return std::nullopt;
}

SaveResult save(Workspace& workspace, const MergeQuestions& ask) {
  const QString folder = workspace.user().databaseFolder();
  const store::BookTables& tables = workspace.tables();
  const QByteArray accounts = store::accountsFileBytes(tables.accounts, tables.accountCount);
  const QByteArray entries = store::entriesFileBytes(tables.entries, tables.entryCount);
  // Read-only, the files are not even repaired: they are the other computer's.
  if (workspace.readOnly()) return saveReadOnly(workspace, accounts, entries);
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
    return saveMerged(workspace, ask, accounts, entries, oldAccounts, oldEntries);
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
          folder, {{store::kAccountsFile, accounts}, {store::kEntriesFile, entries}},
          keepOldPair)) {
    return {refusal(QStringLiteral("資料庫沒有存好：%1").arg(*error)), std::nullopt};
  }
  std::optional<Message> notice;
  if (backupError) {
    notice = refusal(QStringLiteral("資料庫已經存好，但這次沒有留下備份：%1").arg(*backupError));
  }
  workspace.setFingerprint(store::fingerprintOfBook(folder, accounts, entries));
  keepBase(folder, accounts, entries);
  emit workspace.bookSaved(folder);
  return {std::nullopt, notice};
}

Message mergeSyncConflict(Workspace& workspace, const merge::SyncConflict& conflict,
                          const MergeQuestions& ask) {
  QStringList names;
  for (const QString& path : conflict.files) names << QFileInfo(path).fileName();
  const QString files = names.join(QStringLiteral("」「"));
  const auto notMerged = [&](const QString& why) {
    return refusal(
        QStringLiteral("同步軟體留下的「%1」沒有合併（%2），檔案留在原處。").arg(files, why));
  };
  auto read = merge::readSyncConflict(conflict);
  if (const QString* reason = std::get_if<QString>(&read)) return notMerged(*reason);
  const store::BookTables& theirs = std::get<store::BookTables>(read);
  auto base = merge::findCommonBase(workspace.user().databaseFolder(), workspace.tables(), theirs);
  if (const QString* reason = std::get_if<QString>(&base)) return notMerged(*reason);
  auto planned = merge::plan(std::get<merge::Base>(base).tables, workspace.tables(), theirs);
  if (const QString* reason = std::get_if<QString>(&planned)) return notMerged(*reason);
  auto applied = answered(std::get<merge::Plan>(planned), ask);
  if (const QString* reason = std::get_if<QString>(&applied)) return notMerged(*reason);
  const merge::Merged& merged = std::get<merge::Merged>(applied);

  // Saved at once, with the usual backup of what it replaces: the copies are set aside only
  // once the book holds what they had.
  takeMerged(workspace, merged.tables);
  SaveResult saved = save(workspace, ask);
  if (saved.refusal) {
    return refusal(saved.refusal->text +
                   QStringLiteral("\r\n合併的結果還沒有存檔，「%1」留在原處。").arg(files));
  }
  // The base is the last version both came from, which this computer kept as a backup when it
  // wrote over it: said by its time, not as a stand-in for a missing base.
  const merge::Base& common = std::get<merge::Base>(base);
  Message notice = merge::mergedNotice(merged.summary, false);
  notice.text.replace(QStringLiteral("帳本已在另一台電腦改過"),
                      QStringLiteral("同步軟體留下了另一台電腦的帳本「%1」").arg(conflict.label));
  if (common.fromBackup) {
    notice.text += QStringLiteral("\r\n合併的基準是兩份帳本最後共同的版本：%1 留下的備份")
                       .arg(common.taken.toString(QStringLiteral("yyyy/MM/dd HH:mm")));
  }
  if (auto error = merge::setAside(conflict)) {
    notice.text += QStringLiteral("\r\n但同步軟體留下的檔案沒有改名（%1），下次開啟時會再問一次。")
                       .arg(*error);
  } else {
    notice.text +=
        QStringLiteral("\r\n同步軟體留下的「%1」已改名，結尾加上「.merged」。").arg(files);
  }
  if (saved.notice) notice.text += QStringLiteral("\r\n") + saved.notice->text;
  return notice;
}

}  // namespace book
