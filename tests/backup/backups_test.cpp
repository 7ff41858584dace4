#include "backup/backups.h"

#include "backup/newbook.h"
#include "book.h"
#include "catalogue/folders.h"
#include "platform/safefile.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using testbooks::OpenBook;

const QDateTime kNow(QDate(2026, 12, 6), QTime(15, 30));

// Backups `count` of them, newest first, each `step` minutes before the one in front of it.
std::vector<QDateTime> takenEvery(int count, int stepMinutes) {
  std::vector<QDateTime> taken;
  for (int i = 0; i < count; ++i) taken.push_back(kNow.addSecs(-60LL * stepMinutes * i));
  return taken;
}

std::vector<size_t> from(size_t first, size_t last, size_t step = 1) {
  std::vector<size_t> out;
  for (size_t i = first; i <= last; i += step) out.push_back(i);
  return out;
}

TEST(KeepingRuleTest, KeepsTheLastTwentyAndTheNewestOfEachOfThirtyDays) {
  const std::tuple<const char*, std::vector<QDateTime>, std::vector<size_t>> cases[] = {
      {"fewer than twenty", takenEvery(19, 1), {}},
      {"one day, every minute", takenEvery(25, 1), from(20, 24)},
      {"one a day for forty days", takenEvery(40, 24 * 60), from(30, 39)},
      // Two a day: beyond the twentieth only each day's first (newest) stays, for 30 days.
      {"two a day", takenEvery(70, 12 * 60),
       [] {
         auto gone = from(21, 59, 2);
         const auto older = from(60, 69);
         gone.insert(gone.end(), older.begin(), older.end());
         return gone;
       }()},
  };
  for (const auto& [what, taken, gone] : cases) {
    SCOPED_TRACE(what);
    EXPECT_EQ(backup::expired(taken, kNow), gone);
  }
}

TEST(BackupTest, EachSaveThatChangesTheBookKeepsThePairItReplaces) {
  OpenBook book;
  const QByteArray firstAccounts = book.accountsBytes();
  const QByteArray firstEntries = book.entriesBytes();
  book.change(250);
  ASSERT_TRUE(SaveDatabase(book.store).saved());
  ASSERT_TRUE(SaveDatabase(book.store).saved());  // nothing changed: no second backup

  const auto backups = backup::list(book.folder());
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(backups[0].taken, QDateTime(QDate(2026, 12, 6), QTime(15, 30, 10)));
  EXPECT_EQ(backups[0].entries, 1);
  EXPECT_EQ(backups[0].accounts, 2);
  EXPECT_EQ(fileBytes(backups[0].folder + "/Accounts.dat"), firstAccounts);
  EXPECT_EQ(fileBytes(backups[0].folder + "/Main.dat"), firstEntries);

  // Twenty-five more saves within the second: the newest twenty stay, in order.
  for (int i = 0; i < 25; ++i) {
    book.change(i);
    ASSERT_TRUE(SaveDatabase(book.store).saved());
  }
  const auto kept = backup::list(book.folder());
  ASSERT_EQ(kept.size(), size_t(backup::kKeepLatest));
  EXPECT_EQ(kept.front().entries, 26);
  EXPECT_EQ(kept.back().entries, 7);
  EXPECT_EQ(QDir(backup::backupsOf(book.folder()))
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                .size(),
            backup::kKeepLatest);
}

TEST(BackupTest, ABackupThatCannotBeWrittenSaysSoAndTheBookIsSavedAnyway) {
  for (const bool diskFull : {true, false}) {
    SCOPED_TRACE(diskFull ? "disk full" : "a file where the backups go");
    OpenBook book;
    if (!diskFull) putFile(backup::backupsOf(book.folder()), "plain");
    book.change(250);
    const QByteArray entries = entriesFileBytes(book.store.EntryTable, book.store.EntryCount);
    const QByteArray accounts = book.accountsBytes();
    SaveResult result;
    {
      // Room for the new files and a few bytes of the backup.
      std::optional<safefile::FailAfterBytes> full;
      if (diskFull) full.emplace(accounts.size() + entries.size() + 100);
      result = SaveDatabase(book.store);
    }
    EXPECT_EQ(result.refusal, std::nullopt);
    ASSERT_TRUE(result.notice);
    EXPECT_TRUE(
        result.notice->text.startsWith(QStringLiteral("資料庫已經存好，但這次沒有留下備份：")))
        << result.notice->text.toStdString();
    EXPECT_EQ(result.notice->title, QStringLiteral("注意"));
    EXPECT_EQ(book.entriesBytes(), entries);
    EXPECT_TRUE(backup::list(book.folder()).empty());
    // Nothing half-written is left where the backups go.
    EXPECT_EQ(diskFull ? !QFileInfo::exists(backup::backupsOf(book.folder()))
                       : QFileInfo(backup::backupsOf(book.folder())).isFile(),
              true);
  }
}

TEST(BackupTest, HalfWrittenBackupsAreNeverListedAndGoAtTheNextSave) {
  OpenBook book;
  const QString backups = backup::backupsOf(book.folder());
  // What a crash leaves: an unfinished folder, and a folder that lost one of its files.
  ASSERT_TRUE(QDir().mkpath(backups + "/.unfinished-1"));
  putFile(backups + "/.unfinished-1/Accounts.dat", "x");
  ASSERT_TRUE(QDir().mkpath(backups + "/20261205-101010-000"));
  putFile(backups + "/20261205-101010-000/Main.dat", "x");
  EXPECT_TRUE(backup::list(book.folder()).empty());
  book.change(1);
  ASSERT_TRUE(SaveDatabase(book.store).saved());
  EXPECT_EQ(backup::list(book.folder()).size(), 1u);
  EXPECT_FALSE(QFileInfo::exists(backups + "/.unfinished-1"));
}

TEST(RestoreTest, ABackupComesBackAsANewListedBookBesideTheOriginal) {
  OpenBook book;
  const QByteArray firstEntries = book.entriesBytes();
  book.change(250);
  ASSERT_TRUE(SaveDatabase(book.store).saved());
  const QByteArray currentEntries = book.entriesBytes();
  const auto backups = backup::list(book.folder());
  ASSERT_EQ(backups.size(), 1u);

  for (const QString expected : {"家計簿-還原-20261206-1530", "家計簿-還原-20261206-1530-2"}) {
    const auto restored = backup::restore(book.store, "家計簿", backups[0]);
    ASSERT_TRUE(std::holds_alternative<QString>(restored));
    EXPECT_EQ(std::get<QString>(restored), expected);
    EXPECT_EQ(fileBytes(book.folderOf(expected) + "/Main.dat"), firstEntries);
  }
  EXPECT_EQ(book.listed(), (QStringList{"其他", "家計簿", "家計簿-還原-20261206-1530-2",
                                        "家計簿-還原-20261206-1530"}));
  EXPECT_EQ(book.entriesBytes(), currentEntries);  // never over the current book

  // A damaged backup is refused with the reason, and nothing is made of it.
  putFile(backups[0].folder + "/Main.dat", QByteArray(200, 'x'));
  const auto refused = backup::restore(book.store, "家計簿", backups[0]);
  ASSERT_TRUE(std::holds_alternative<Message>(refused));
  EXPECT_TRUE(std::get<Message>(refused).text.startsWith(QStringLiteral("備份沒有還原：")));
  EXPECT_EQ(book.listed().size(), 4);
  EXPECT_FALSE(folders::exists(book.folderOf("家計簿-還原-20261206-1530-3")));
}

TEST(RestoreTest, CopyingABookLeavesItsBackupsBehind) {
  OpenBook book;
  book.change(250);
  ASSERT_TRUE(SaveDatabase(book.store).saved());
  ASSERT_EQ(folders::copy(book.folder(), book.folderOf("copy")), std::nullopt);
  EXPECT_EQ(
      QDir(book.folderOf("copy")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
      (QStringList{"Accounts.dat", "Main.dat"}));
  EXPECT_EQ(backup::list(book.folder()).size(), 1u);
}

}  // namespace
