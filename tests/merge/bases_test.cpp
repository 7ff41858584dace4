// The merge's outside world: this computer's base of a book, and the conflict copies sync tools
// leave beside a book's files.
#include "merge/bases.h"
#include "MergeBooks.h"
#include "TestFiles.h"
#include "backup/backups.h"
#include "merge/merge.h"
#include "merge/syncconflicts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using namespace mergebooks;

namespace {

const store::BookTables kOld =
    bookOf({"Equity", "A-現金"}, {{"2024/01/01", "A-現金", "Equity", 10, "初值"}});
const store::BookTables kNew =
    bookOf({"Equity", "A-現金", "E-餐飲"}, {{"2024/02/01", "E-餐飲", "A-現金", 5, "午餐"}});
bool keepBackup(const QString& folder, const store::BookTables& b, const QDateTime& taken) {
  return !backup::keep(folder, accountsOf(b), entriesOf(b), taken);
}
bool keepBase(const QString& folder, const store::BookTables& b) {
  return !merge::keepBase(folder, accountsOf(b), entriesOf(b));
}

QString baseBytes(const QString& bookFolder, bool fromBackup) {
  const auto base = merge::findBase(bookFolder);
  if (const QString* none = std::get_if<QString>(&base)) return *none;
  EXPECT_EQ(std::get<merge::Base>(base).fromBackup, fromBackup);
  return QString::fromLatin1(bytesOf(std::get<merge::Base>(base).tables).toHex());
}

class BaseTest : public ::testing::Test {
 protected:
  OwnState state;
  QTemporaryDir root;
  const QString book = root.path() + "/甲/家用", other = root.path() + "/乙/家用";
};

// This computer's own base first, kept per book outside its folder; the newest backup only
// without one.
TEST_F(BaseTest, OwnBaseKeptPerBookOutsideItsFolderElseTheNewestBackup) {
  EXPECT_EQ(baseBytes(book, false),
            "這台電腦沒有這本帳上次讀寫時的內容，也沒有可用的備份，無法合併");
  const QDateTime noon(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC);
  ASSERT_TRUE(QDir().mkpath(book));
  ASSERT_TRUE(keepBackup(book, kOld, noon) && keepBackup(book, kNew, noon.addSecs(60)));
  EXPECT_EQ(baseBytes(book, true), QString::fromLatin1(bytesOf(kNew).toHex()));
  ASSERT_TRUE(keepBase(book, kOld) && keepBase(other, kNew));
  EXPECT_TRUE(merge::baseFolderOf(book).startsWith(state.dir.path() + "/Varnix/bases/"));
  EXPECT_FALSE(QFile::exists(book + "/Main.dat") || QDir(other).exists());
  EXPECT_EQ(baseBytes(book, false), QString::fromLatin1(bytesOf(kOld).toHex()));
  EXPECT_EQ(baseBytes(other, false), QString::fromLatin1(bytesOf(kNew).toHex()));
}

// Versions as the memos of their entries, one letter each.
store::BookTables version(const QString& memos) {
  store::BookTables b = bookOf({"Equity", "A-現金", "E-餐飲"}, {});
  for (const QChar memo : memos)
    b.entries[b.entryCount++] = store::makeEntry("2024/03/01", "E-餐飲", "A-現金", 10, memo);
  return b;
}

// This computer's earlier versions kept as backups, oldest first; the two versions apart (the
// book's files first: read at opening, they are this computer's base now); and the merge over
// the base found, its memos sorted ("": none found).
TEST_F(BaseTest, TheCommonBaseIsTheLastVersionBothCameFrom) {
  const struct {
    const char* name;
    QString kept, book, copy, merged;  // kept: the backups' memos, blank between them
  } cases[] = {
      {"saved twice since; the book holds this side", "o or ora", "orab", "ory", "abory"},
      {"saved twice since; the book holds the other", "o or ora", "ory", "orab", "abory"},
      {"an entry deleted on the way stays deleted", "od o", "ob", "ody", "boy"},
      {"the other computer had the later version", "o oa", "oab", "oay", "aboy"},
      {"no version before the two", "", "oa", "oy", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir folder;
    QDateTime taken(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC);
    for (const QString& memos : c.kept.split(' ', Qt::SkipEmptyParts))
      ASSERT_TRUE(keepBackup(folder.path(), version(memos), taken = taken.addSecs(60)));
    ASSERT_TRUE(keepBase(folder.path(), version(c.book)));
    const auto base = merge::findCommonBase(folder.path(), version(c.book), version(c.copy));
    QString memos;
    if (const auto* found = std::get_if<merge::Base>(&base)) {
      EXPECT_TRUE(found->fromBackup);
      const auto merged = merge::mergeBooks(found->tables, version(c.book), version(c.copy));
      ASSERT_TRUE(std::holds_alternative<merge::Merged>(merged));
      const store::BookTables& t = std::get<merge::Merged>(merged).tables;
      for (int slot = 1; slot < t.entryCount; ++slot) memos += t.entries[slot].Memo.trimmed();
      std::sort(memos.begin(), memos.end());
    }
    EXPECT_EQ(memos, c.merged);
  }
}

TEST(SyncConflicts, EachToolsNamesMakeOneVersionPerMoment) {
  QTemporaryDir dir;
  const QString folder = dir.path() + "/", sync = "sync-conflict-20240105-093000-ABCDEFG",
                mei = "Mei's conflicted copy 2024-01-06",
                copy = "conflicted copy 2024-01-07 101500";
  for (const QString& name :
       QStringList{"Accounts.dat", "Main.dat", "Main." + sync + ".dat", "Accounts." + sync + ".dat",
                   "Main (" + mei + ").dat", "Accounts (" + copy + ").dat",
                   // Not a sync tool's copy of a book file:
                   "Main (copy).dat", "Main.dat.bak", "Budget." + sync + ".dat",
                   "Main.sync-conflict-2024-ABC.dat"}) {
    putFile(folder + name, name.startsWith(u'A') ? accountsOf(name.size() > 12 ? kNew : kOld)
                                                 : entriesOf(name.size() > 8 ? kNew : kOld));
  }
  const std::vector<merge::SyncConflict> found = merge::syncConflictsIn(folder);
  QStringList seen;
  for (const merge::SyncConflict& c : found)
    seen << c.label + "|" + c.accountsPath.mid(folder.size()) + "|" +
                c.entriesPath.mid(folder.size());
  EXPECT_EQ(seen, QStringList({mei + "|Accounts.dat|Main (" + mei + ").dat",
                               copy + "|Accounts (" + copy + ").dat|Main.dat",
                               sync + "|Accounts." + sync + ".dat|Main." + sync + ".dat"}));
  // The Syncthing pair reads as the other computer's book; set aside, it is not offered again.
  const auto other = merge::readSyncConflict(found.at(2));
  ASSERT_TRUE(std::holds_alternative<store::BookTables>(other));
  EXPECT_EQ(bytesOf(std::get<store::BookTables>(other)), bytesOf(kNew));
  ASSERT_FALSE(merge::setAside(found[2]));
  EXPECT_EQ(merge::syncConflictsIn(folder).size(), 2u);
  EXPECT_TRUE(QFile::exists(folder + "Main." + sync + ".dat.merged"));
}

}  // namespace
