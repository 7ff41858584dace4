// The merge's outside world: this computer's base of a book, and the conflict copies sync tools
// leave beside a book's files.
#include "merge/bases.h"
#include "MergeBooks.h"
#include "backup/backups.h"
#include "merge/syncconflicts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using namespace mergebooks;

namespace {

const store::BookTables kOld =
    book({"Equity", "A-現金"}, {{"2024/01/01", "A-現金", "Equity", 10, "初值"}});
const store::BookTables kNew =
    book({"Equity", "A-現金", "E-餐飲"}, {{"2024/02/01", "E-餐飲", "A-現金", 5, "午餐"}});
QByteArray accountsOf(const store::BookTables& b) {
  return store::accountsFileBytes(b.accounts, b.accountCount);
}
QByteArray entriesOf(const store::BookTables& b) {
  return store::entriesFileBytes(b.entries, b.entryCount);
}

QString baseBytes(const QString& bookFolder, bool fromBackup) {
  const auto base = merge::findBase(bookFolder);
  if (const QString* none = std::get_if<QString>(&base)) return *none;
  EXPECT_EQ(std::get<merge::Base>(base).fromBackup, fromBackup);
  return QString::fromLatin1(bytesOf(std::get<merge::Base>(base).tables).toHex());
}

class BaseTest : public ::testing::Test {
 protected:
  void SetUp() override { qputenv("XDG_STATE_HOME", state.path().toUtf8()); }
  void TearDown() override { qunsetenv("XDG_STATE_HOME"); }
  QTemporaryDir state, root;
  const QString book = root.path() + "/甲/家用", other = root.path() + "/乙/家用";
};

TEST_F(BaseTest, KeptPerBookOutsideItsFolder) {
  ASSERT_FALSE(merge::keepBase(book, accountsOf(kOld), entriesOf(kOld)));
  ASSERT_FALSE(merge::keepBase(other, accountsOf(kNew), entriesOf(kNew)));
  EXPECT_TRUE(merge::baseFolderOf(book).startsWith(state.path() + "/Varnix/bases/"));
  EXPECT_FALSE(QDir(book).exists());
  EXPECT_EQ(baseBytes(book, false), QString::fromLatin1(bytesOf(kOld).toHex()));
  EXPECT_EQ(baseBytes(other, false), QString::fromLatin1(bytesOf(kNew).toHex()));
}

TEST_F(BaseTest, WithoutOneTheNewestBackupStandsIn) {
  EXPECT_EQ(baseBytes(book, false),
            "這台電腦沒有這本帳上次讀寫時的內容，也沒有可用的備份，無法合併");
  const QDateTime noon(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC);
  ASSERT_TRUE(QDir().mkpath(book));
  ASSERT_FALSE(backup::keep(book, accountsOf(kOld), entriesOf(kOld), noon));
  ASSERT_FALSE(backup::keep(book, accountsOf(kNew), entriesOf(kNew), noon.addSecs(60)));
  EXPECT_EQ(baseBytes(book, true), QString::fromLatin1(bytesOf(kNew).toHex()));
}

TEST(SyncConflicts, EachToolsNamesMakeOneVersionPerMoment) {
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  for (const QString name :
       {"Accounts.dat", "Main.dat", "Main.sync-conflict-20240105-093000-ABCDEFG.dat",
        "Accounts.sync-conflict-20240105-093000-ABCDEFG.dat",
        "Main (Mei's conflicted copy 2024-01-06).dat",
        "Accounts (conflicted copy 2024-01-07 101500).dat",
        // Not a sync tool's copy of a book file:
        "Main (copy).dat", "Main.dat.bak", "Budget.sync-conflict-20240105-093000-ABCDEFG.dat",
        "Main.sync-conflict-2024-ABC.dat"}) {
    QFile file(folder + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(name.startsWith(u'A') ? accountsOf(name.size() > 12 ? kNew : kOld)
                                     : entriesOf(name.size() > 8 ? kNew : kOld));
  }
  const std::vector<merge::SyncConflict> found = merge::syncConflictsIn(folder);
  QStringList seen;
  for (const merge::SyncConflict& c : found)
    seen << c.label + "|" + c.accountsPath.mid(folder.size()) + "|" +
                c.entriesPath.mid(folder.size());
  EXPECT_EQ(seen, QStringList({"Mei's conflicted copy 2024-01-06|Accounts.dat|Main (Mei's "
                               "conflicted copy 2024-01-06).dat",
                               "conflicted copy 2024-01-07 101500|Accounts (conflicted copy "
                               "2024-01-07 101500).dat|Main.dat",
                               "sync-conflict-20240105-093000-ABCDEFG|Accounts.sync-conflict-"
                               "20240105-093000-ABCDEFG.dat|"
                               "Main.sync-conflict-20240105-093000-ABCDEFG.dat"}));
  // The Syncthing pair reads as the other computer's book; set aside, it is not offered again.
  const auto other = merge::readSyncConflict(found.at(2));
  ASSERT_TRUE(std::holds_alternative<store::BookTables>(other));
  EXPECT_EQ(bytesOf(std::get<store::BookTables>(other)), bytesOf(kNew));
  ASSERT_FALSE(merge::setAside(found[2]));
  EXPECT_EQ(merge::syncConflictsIn(folder).size(), 2u);
  EXPECT_TRUE(QFile::exists(folder + "Main.sync-conflict-20240105-093000-ABCDEFG.dat.merged"));
}

}  // namespace
