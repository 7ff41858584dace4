#include "backup/backups.h"

#include "Books.h"
#include "TestFiles.h"
#include "book/book.h"
#include "book/newbook.h"
#include "budget/budgetfile.h"
#include "merge/atsave.h"
#include "merge/bases.h"
#include "platform/safefile.h"
#include "reconcile/reconcilefile.h"
#include "schedules/schedulefile.h"
#include "store/booklist.h"
#include "store/dblock.h"

#include <QFile>

#include <functional>

#include <gtest/gtest.h>

namespace {

// An open book on disk, as the program has it after opening: listed, locked and loaded.
struct OpenBook : testbooks::Books {
  OpenBook() {
    signIn("Test", "家計簿");
    store.clock().setNow(QDateTime(QDate(2026, 12, 6), QTime(15, 30, 10)));
    EXPECT_EQ(store::saveDatabaseList(store.user(), {"其他", "家計簿"}), std::nullopt);
    EXPECT_EQ(store.lock().acquire(folder()), std::nullopt);
    EXPECT_EQ(book::open(store, 1000), std::nullopt);
  }
  QString folder() const { return store.user().databaseFolder(); }
  QString folderOf(const QString& name) const { return store.user().userFolder() + '/' + name; }
  QStringList listed() const {
    return std::get<QStringList>(store::readDatabaseList(store::databaseListPath(store.user())));
  }
  // A change of the open book, as a command makes one.
  void change(qint32 amount) { entry("2026/12/06", "A-現金", "Equity", amount, "測試"); }
  bool changeAndSave(qint32 amount) {
    change(amount);
    return book::save(store).saved();
  }
  QByteArray accountsBytes() const { return fileBytes(folder() + "/Accounts.dat"); }
  QByteArray entriesBytes() const { return fileBytes(folder() + "/Main.dat"); }
};

const QDateTime kNow(QDate(2026, 12, 6), QTime(15, 30));

// Every side file a feature keeps beside the book, each with bytes of its own.
std::vector<std::pair<QString, QByteArray>> sideFiles() {
  return {{budgetfile::kFileName, "varnix-budget 1\n"},
          {schedules::kSchedulesFile, "varnix-schedules 1\n"},
          {reconcile::kReconciliationsFile, "varnix-reconciliations 1\n"}};
}

TEST(KeepingRuleTest, KeepsTheLastTwentyAndTheNewestOfEachOfThirtyDays) {
  // Backups taken every so many minutes, newest first, and which of them go.
  const std::tuple<const char*, int, int, std::function<bool(int)>> cases[] = {
      {"one day, every minute", 25, 1, [](int i) { return i >= 20; }},
      {"one a day for forty days", 40, 24 * 60, [](int i) { return i >= 30; }},
      // Two a day: beyond the twentieth only each day's first (newest) stays, for 30 days.
      {"two a day", 70, 12 * 60, [](int i) { return i > 20 && (i % 2 == 1 || i >= 60); }},
  };
  for (const auto& [what, count, minutes, goes] : cases) {
    std::vector<QDateTime> taken;
    std::vector<size_t> gone;
    for (int i = 0; i < count; ++i) {
      taken.push_back(kNow.addSecs(-60LL * minutes * i));
      if (goes(i)) gone.push_back(size_t(i));
    }
    EXPECT_EQ(backup::expired(taken, kNow), gone) << what;
  }
}

// Half-written backups (what a crash leaves: an unfinished folder, a folder that lost one of its
// files) are never listed and go at the next save.
TEST(BackupTest, EachSaveThatChangesTheBookKeepsThePairItReplaces) {
  OpenBook book;
  const QString backups = backup::backupsOf(book.folder());
  putFile(backups + "/.unfinished-1/Accounts.dat", "x");
  putFile(backups + "/20261205-101010-000/Main.dat", "x");
  EXPECT_TRUE(backup::list(book.folder()).empty());
  const QByteArray first = book.accountsBytes() + book.entriesBytes();
  ASSERT_TRUE(book.changeAndSave(250));
  ASSERT_TRUE(book::save(book.store).saved());  // nothing changed: no second backup
  const auto saved = backup::list(book.folder());
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].taken, QDateTime(QDate(2026, 12, 6), QTime(15, 30, 10)));
  EXPECT_EQ(fileBytes(saved[0].folder + "/Accounts.dat") + fileBytes(saved[0].folder + "/Main.dat"),
            first);
  EXPECT_FALSE(QFileInfo::exists(backups + "/.unfinished-1"));
  QDir(backups + "/20261205-101010-000").removeRecursively();

  // Twenty-five more saves within the second: the newest twenty stay, in order.
  for (int i = 0; i < 25; ++i) ASSERT_TRUE(book.changeAndSave(i));
  const auto kept = backup::list(book.folder());
  ASSERT_EQ(kept.size(), size_t(backup::kKeepLatest));
  EXPECT_EQ(std::pair(kept.front().entries, kept.back().entries), std::pair(26, 7));
  EXPECT_EQ(QDir(backups).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
            backup::kKeepLatest);
}

TEST(BackupTest, ABackupThatCannotBeWrittenSaysSoAndTheBookIsSavedAnyway) {
  for (const bool diskFull : {true, false}) {
    SCOPED_TRACE(diskFull ? "disk full" : "a file where the backups go");
    OpenBook book;
    if (!diskFull) putFile(backup::backupsOf(book.folder()), "plain");
    book.change(250);
    const QByteArray entries =
        store::entriesFileBytes(book.store.tables().entries, book.store.tables().entryCount);
    // Room for the new files and a few bytes more (-1, the seam's resting value: no limit).
    const safefile::FailAfterBytes full(
        diskFull ? book.accountsBytes().size() + entries.size() + 100 : -1);
    const book::SaveResult result = book::save(book.store);
    EXPECT_EQ(result.refusal, std::nullopt);
    EXPECT_TRUE(warns(result.notice, QStringLiteral("資料庫已經存好，但這次沒有留下備份：")));
    EXPECT_EQ(book.entriesBytes(), entries);
    EXPECT_TRUE(backup::list(book.folder()).empty());
    // Nothing half-written is left where the backups go.
    EXPECT_TRUE(diskFull ? !QFileInfo::exists(backup::backupsOf(book.folder()))
                         : QFileInfo(backup::backupsOf(book.folder())).isFile());
  }
}

// A backup comes back as a new listed book beside the original, never over it, named by the
// second it was taken (two of one minute keep their own names); a damaged one is refused with
// the reason, and nothing is made of it.
TEST(RestoreTest, ABackupComesBackAsANewListedBookBesideTheOriginal) {
  OpenBook book;
  // The side files beside the book go into the backup with it and come back with the restore.
  for (const auto& [name, bytes] : sideFiles()) {
    ASSERT_TRUE(backup::kSideFiles.contains(name));
    putFile(book.folder() + '/' + name, bytes);
  }
  ASSERT_TRUE(book.changeAndSave(250));
  book.store.clock().setNow(QDateTime(QDate(2026, 12, 6), QTime(15, 30, 50)));
  ASSERT_TRUE(book.changeAndSave(50));
  const QByteArray current = book.entriesBytes();
  const auto backups = backup::list(book.folder());  // newest first
  ASSERT_EQ(backups.size(), 2u);                     // what each holds: BackupTest
  for (const auto& [taken, name] : {std::pair{1, "家計簿-還原-20261206-153010"},
                                    {1, "家計簿-還原-20261206-153010-2"},
                                    {0, "家計簿-還原-20261206-153050"}}) {
    EXPECT_EQ(std::get<QString>(book::restore(book.store, "家計簿", backups[taken])), name);
    EXPECT_EQ(fileBytes(book.folderOf(name) + "/Main.dat"),
              fileBytes(backups[taken].folder + "/Main.dat"));
    for (const auto& [side, bytes] : sideFiles())
      EXPECT_EQ(fileBytes(book.folderOf(name) + '/' + side), bytes);
  }
  EXPECT_EQ(book.listed(),
            (QStringList{"其他", "家計簿", "家計簿-還原-20261206-153050",
                         "家計簿-還原-20261206-153010-2", "家計簿-還原-20261206-153010"}));
  EXPECT_EQ(book.entriesBytes(), current);
  putFile(backups[0].folder + "/Main.dat", QByteArray(200, 'x'));
  EXPECT_TRUE(std::get<Message>(book::restore(book.store, "家計簿", backups[0]))
                  .text.startsWith(QStringLiteral("備份沒有還原：")));
  EXPECT_EQ(book.listed().size(), 5);
}

// Files changed under an open book by someone else are never overwritten by its next save.
const QString kCopy = QStringLiteral("家計簿-衝突-20261206-153010");

TEST(ConflictTest, ChangedFilesAreKeptAndTheOpenBookIsSavedAsANewOne) {
  // Which file the other program wrote.
  for (const QString file : {"Main.dat", "Accounts.dat"}) {
    SCOPED_TRACE(file.toStdString());
    OpenBook book;
    ASSERT_TRUE(book.changeAndSave(250));
    for (const auto& [side, bytes] : sideFiles()) putFile(book.folder() + '/' + side, bytes);
    QByteArray theirs = fileBytes(book.folder() + '/' + file);
    theirs[0] = 'Z';
    putFile(book.folder() + '/' + file, theirs);
    book.change(300);
    const auto tables =
        store::entriesFileBytes(book.store.tables().entries, book.store.tables().entryCount);
    // With nothing to merge over (no base of this computer, no backup), the copy is the way out.
    QDir(merge::baseFolderOf(book.folder())).removeRecursively();
    QDir(backup::backupsOf(book.folder())).removeRecursively();

    const book::SaveResult result = book::save(book.store);
    ASSERT_TRUE(result.saved() && result.notice);
    EXPECT_EQ(
        result.notice->text,
        merge::fallbackReason("這台電腦沒有這本帳上次讀寫時的內容，也沒有可用的備份，無法合併") +
            "\r\n" +
            QStringLiteral("資料庫「家計簿」的檔案已被其他程式變更。為了不覆蓋這些變更，"
                           "目前的資料已另存為新的資料庫「%1」，兩者都保留在資料庫清單中，"
                           "之後會存到「%1」。")
                .arg(kCopy));
    EXPECT_EQ(fileBytes(book.folderOf("家計簿") + '/' + file), theirs);
    EXPECT_EQ(fileBytes(book.folderOf(kCopy) + "/Main.dat"), tables);
    // The side files go along with the open book, and stay with the original too.
    for (const auto& [side, bytes] : sideFiles()) {
      EXPECT_EQ(fileBytes(book.folderOf(kCopy) + '/' + side), bytes);
      EXPECT_EQ(fileBytes(book.folderOf("家計簿") + '/' + side), bytes);
    }
    EXPECT_EQ(book.listed(), (QStringList{"其他", "家計簿", kCopy}));
    // The copy is the open book now, with its lock; the original is free.
    EXPECT_EQ(book.store.user().databaseName(), kCopy);
    EXPECT_EQ(book.store.panel(book::Workspace::DatabasePanel), "資料庫名稱：" + kCopy);
    EXPECT_TRUE(book.store.lock().holds(book.folderOf(kCopy)));
    EXPECT_FALSE(store::dblock::inUse(book.folderOf("家計簿")));
    // Later saves go to the copy, as ordinary saves.
    book.change(1);
    const book::SaveResult later = book::save(book.store);
    EXPECT_TRUE(later.saved() && !later.notice);
    EXPECT_EQ(backup::list(book.folderOf(kCopy)).size(), 1u);
  }
}

TEST(ConflictTest, FilesWrittenAgainWithTheSameBytesAreNoChange) {
  OpenBook book;
  const QByteArray entries = book.entriesBytes();
  putFile(book.folder() + "/Main.dat", entries);
  QFile file(book.folder() + "/Main.dat");
  ASSERT_TRUE(
      file.open(QIODevice::ReadWrite) &&
      file.setFileTime(QDateTime::currentDateTime().addDays(1), QFile::FileModificationTime));
  file.close();
  book.change(5);
  const book::SaveResult result = book::save(book.store);
  EXPECT_TRUE(result.saved() && !result.notice);
  EXPECT_EQ(book.store.user().databaseName(), QStringLiteral("家計簿"));
  EXPECT_EQ(book.listed().size(), 2);
}

}  // namespace
