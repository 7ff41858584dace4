// The merge's outside world: this computer's base of a book, and the conflict copies sync tools
// leave beside a book's files.
#include "MergeBooks.h"
#include "backup/backups.h"
#include "merge/bases.h"
#include "merge/syncconflicts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace mergebooks;

namespace {

void put(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

const BookTables kOld = book({"Equity", "A-現金"}, {{"2024/01/01", "A-現金", "Equity", 10, "初值"}});
const BookTables kNew = book({"Equity", "A-現金", "E-餐飲"}, {{"2024/02/01", "E-餐飲", "A-現金", 5, "午餐"}});

class BaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    book = root.path() + "/甲/DataBase/家用";
    QDir().mkpath(book);
  }
  void TearDown() override { qunsetenv("XDG_STATE_HOME"); }
  QTemporaryDir state, root;
  QString book;
};

TEST_F(BaseTest, KeptPerBookOutsideItsFolder) {
  const QString other = root.path() + "/乙/DataBase/家用";
  ASSERT_FALSE(merge::keepBase(book, accountsFileBytes(kOld.accounts, kOld.accountCount),
                               entriesFileBytes(kOld.entries, kOld.entryCount)));
  ASSERT_FALSE(merge::keepBase(other, accountsFileBytes(kNew.accounts, kNew.accountCount),
                               entriesFileBytes(kNew.entries, kNew.entryCount)));
  EXPECT_TRUE(merge::baseFolderOf(book).startsWith(state.path() + "/Varnix/bases/"));
  EXPECT_EQ(QDir(book).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
  const auto mine = merge::findBase(book);
  const auto theirs = merge::findBase(other);
  ASSERT_TRUE(std::holds_alternative<merge::Base>(mine) && std::holds_alternative<merge::Base>(theirs));
  EXPECT_FALSE(std::get<merge::Base>(mine).fromBackup);
  EXPECT_EQ(bytesOf(std::get<merge::Base>(mine).tables), bytesOf(kOld));
  EXPECT_EQ(bytesOf(std::get<merge::Base>(theirs).tables), bytesOf(kNew));
}

TEST_F(BaseTest, WithoutOneTheNewestBackupStandsIn) {
  EXPECT_TRUE(std::holds_alternative<QString>(merge::findBase(book)));
  const QDateTime noon(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC);
  ASSERT_FALSE(backup::keep(book, accountsFileBytes(kOld.accounts, kOld.accountCount),
                            entriesFileBytes(kOld.entries, kOld.entryCount), noon));
  ASSERT_FALSE(backup::keep(book, accountsFileBytes(kNew.accounts, kNew.accountCount),
                            entriesFileBytes(kNew.entries, kNew.entryCount), noon.addSecs(60)));
  const auto base = merge::findBase(book);
  ASSERT_TRUE(std::holds_alternative<merge::Base>(base));
  EXPECT_TRUE(std::get<merge::Base>(base).fromBackup);
  EXPECT_EQ(bytesOf(std::get<merge::Base>(base).tables), bytesOf(kNew));
}

TEST(SyncConflicts, EachToolsNamesMakeOneVersionPerMoment) {
  QTemporaryDir dir;
  const QString folder = dir.path();
  const QByteArray accounts = accountsFileBytes(kNew.accounts, kNew.accountCount);
  const QByteArray entries = entriesFileBytes(kNew.entries, kNew.entryCount);
  put(folder + "/Accounts.dat", accountsFileBytes(kOld.accounts, kOld.accountCount));
  put(folder + "/Main.dat", entriesFileBytes(kOld.entries, kOld.entryCount));
  for (const char* name : {"Main.sync-conflict-20240105-093000-ABCDEFG.dat",
                           "Accounts.sync-conflict-20240105-093000-ABCDEFG.dat",
                           "Main (Mei's conflicted copy 2024-01-06).dat",
                           "Accounts (conflicted copy 2024-01-07 101500).dat",
                           // Not a sync tool's copy of a book file:
                           "Main (copy).dat", "Main.dat.bak", "Budget.sync-conflict-20240105-093000-ABCDEFG.dat",
                           "Main.sync-conflict-2024-ABC.dat"}) {
    put(folder + "/" + name, QString::fromUtf8(name).startsWith(u'A') ? accounts : entries);
  }
  const std::vector<merge::SyncConflict> found = merge::syncConflictsIn(folder);
  ASSERT_EQ(found.size(), 3u);
  const struct {
    QString label, accounts, entries;
  } expected[] = {
      {"Mei's conflicted copy 2024-01-06", "Accounts.dat", "Main (Mei's conflicted copy 2024-01-06).dat"},
      {"conflicted copy 2024-01-07 101500", "Accounts (conflicted copy 2024-01-07 101500).dat", "Main.dat"},
      {"sync-conflict-20240105-093000-ABCDEFG", "Accounts.sync-conflict-20240105-093000-ABCDEFG.dat",
       "Main.sync-conflict-20240105-093000-ABCDEFG.dat"},
  };
  for (size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(found[i].label, expected[i].label);
    EXPECT_EQ(found[i].accountsPath, folder + "/" + expected[i].accounts);
    EXPECT_EQ(found[i].entriesPath, folder + "/" + expected[i].entries);
  }
  // The Syncthing pair reads as the other computer's book; set aside, it is not offered again.
  const auto other = merge::readSyncConflict(found[2]);
  ASSERT_TRUE(std::holds_alternative<BookTables>(other));
  EXPECT_EQ(bytesOf(std::get<BookTables>(other)), bytesOf(kNew));
  ASSERT_FALSE(merge::setAside(found[2]));
  EXPECT_EQ(merge::syncConflictsIn(folder).size(), 2u);
  EXPECT_TRUE(QFile::exists(folder + "/Main.sync-conflict-20240105-093000-ABCDEFG.dat.merged"));
  // A damaged copy gives its reason instead of a book.
  put(found[0].entriesPath, "short");
  EXPECT_TRUE(std::holds_alternative<QString>(merge::readSyncConflict(found[0])));
}

}  // namespace
