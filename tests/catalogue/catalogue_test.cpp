#include "catalogue/catalogue.h"

#include "Books.h"
#include "TestFiles.h"
#include "backup/backups.h"
#include "backup/folders.h"
#include "store/booklist.h"
#include "users/users.h"

#include <functional>

namespace {

// User Test with the databases of `names`, each a folder holding one file, listed in order.
struct CatalogueTest : ::testing::Test, testbooks::Books {
  catalogue::Catalogue catalogue{store};
  CatalogueTest() { signIn("Test"); }

  void given(const QStringList& names) {
    QDir(store.user().userFolder()).removeRecursively();
    for (const QString& name : names) putFile(folder(name) + "/Accounts.dat", name.toUtf8());
    ASSERT_FALSE(store::saveDatabaseList(store.user(), names));
    ASSERT_FALSE(catalogue.load());
  }
  QString folder(const QString& name) const { return store.user().userFolder() + "/" + name; }
  QStringList onDisk() const {
    return QDir(store.user().userFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  }
};

TEST_F(CatalogueTest, NamesThatAreNoFolderNamesOrTakenAreRefused) {
  given({"2003-11"});
  const struct {
    const char* message;
    QStringList names;
  } cases[] = {
      {"不可以是「.」或「..」", {".", ".."}},
      {"不可以含有控制字元", {"a\tb", "a\x01"}},
      {"不可以含有下列字元",
       {"a/b", "../Other", "a\\b", "C:x", "a<b", "a\"b", "a|b", "a?b", "a*b"}},
      {"最後一個字不可以是句點或空白", {"x.", "x "}},
      {"是系統保留的名稱", {"CON", "nul.txt", "com1", "LPT9"}},
      {"無法儲存的字元「😀」", {QStringLiteral("年😀")}},
  };
  for (const auto& c : cases) {
    for (const QString& name : c.names) {
      const auto user = users::createUser(store, name, "abc");
      ASSERT_TRUE(user && user->text.contains(QString::fromUtf8(c.message))) << name.toStdString();
      const Message asDatabase = refusal(QString(user->text).replace("使用者名稱", "資料庫名稱"));
      EXPECT_EQ(catalogue.addNew(name), asDatabase);
      EXPECT_EQ(catalogue.rename(name), asDatabase);
    }
  }
  EXPECT_EQ(onDisk(), QStringList({"2003-11", "DataBase.lst"}));
  EXPECT_EQ(QDir(store.user().usersFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList({"Test"}));

  EXPECT_EQ(catalogue.addNew("2003-11"), refusal(QStringLiteral("資料庫已存在")));
  EXPECT_EQ(catalogue.rename("2003-11"), refusal(QStringLiteral("已有相同名稱的資料庫")));
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11"}));
}

// A copy holds everything of the book but what belongs to the original alone: its lock (the
// source is open) and its backups.
TEST_F(CatalogueTest, CopyAppendsAnotherCopySuffixAndHoldsAllButTheLockAndBackups) {
  given({"2003-11", "2003-11-Copy"});
  putFile(folder("2003-11") + "/sub/deeper/note.txt", "kept");
  putFile(folder("2003-11") + "/Varnix.lock", "1\r\nhost\r\n");
  putFile(backup::backupsOf(folder("2003-11")) + "/20261205-101010-000/Main.dat", "x");
  catalogue.select(0);
  EXPECT_EQ(catalogue.copy(), std::nullopt);
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11", "2003-11-Copy", "2003-11-Copy-Copy"}));
  const QString copy = folder("2003-11-Copy-Copy");
  EXPECT_EQ(QDir(copy).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList({"Accounts.dat", "sub"}));
  EXPECT_EQ(fileBytes(copy + "/sub/deeper/note.txt"), QByteArray("kept"));
}

TEST_F(CatalogueTest, DeleteSelectsTheEntryAbove) {
  // Of how many, which is deleted, then the selected one.
  const std::tuple<int, int, int> cases[] = {{3, 0, 0}, {3, 2, 1}, {1, 0, -1}};
  for (const auto& [count, removed, selectedAfter] : cases) {
    QStringList names = QStringList({"x0", "x1", "x2"}).mid(0, count);
    given(names);
    catalogue.select(removed);
    EXPECT_EQ(catalogue.removeRefusal(), std::nullopt);
    EXPECT_EQ(catalogue.remove(), std::nullopt);
    names.removeAt(removed);
    EXPECT_EQ(catalogue.selected(), selectedAfter);
    EXPECT_EQ(onDisk(), QStringList{"DataBase.lst"} + names);
  }
}

// After a login the list is left only by opening or logging out; from the menu also by cancel.
// Leaving writes the list as shown; a list that cannot be written keeps the window open.
TEST_F(CatalogueTest, LeavingWritesTheListAsShown) {
  given({"2003-10"});
  EXPECT_EQ(catalogue.cancel().refusal, refusal(QStringLiteral("請先開啟資料庫或登出")));
  catalogue::Catalogue fromMenu{store, true};
  ASSERT_FALSE(fromMenu.load());
  ASSERT_EQ(fromMenu.addNew("2004-01"), std::nullopt);
  QFile::remove(store::databaseListPath(store.user()));
  QDir().mkpath(store::databaseListPath(store.user()));  // a folder in the list file's place
  const catalogue::Catalogue::Outcome stay = fromMenu.cancel();
  EXPECT_EQ(stay.result, catalogue::Catalogue::Result::Stay);
  EXPECT_TRUE(warns(stay.refusal, QStringLiteral("資料庫清單沒有存好：")));
  EXPECT_EQ(fromMenu.entries(), QStringList({"2003-10", "2004-01"}));

  const std::function<catalogue::Catalogue::Outcome(catalogue::Catalogue&)> leaving[] = {
      [](catalogue::Catalogue& c) { return c.open(500); }, &catalogue::Catalogue::cancel,
      &catalogue::Catalogue::logOut};
  for (const auto& leave : leaving) {
    given({"2003-10", "2003-11"});
    catalogue::Catalogue menuList{store, true};
    ASSERT_FALSE(menuList.load());
    ASSERT_EQ(menuList.addNew("2004-01"), std::nullopt);
    const catalogue::Catalogue::Outcome outcome = leave(menuList);
    EXPECT_NE(outcome.result, catalogue::Catalogue::Result::Stay);
    EXPECT_EQ(outcome.refusal, std::nullopt);
    EXPECT_EQ(std::get<QStringList>(store::loadDatabaseList(store.user())),
              QStringList({"2003-10", "2003-11", "2004-01"}));
  }
}

TEST_F(CatalogueTest, LinesWithoutAUsableFolderOpenNothingAndDeleteTakesTheLineOnly) {
  given({"2003-11", "Gone"});
  QDir(folder("Gone")).removeRecursively();
  putFile(store::databaseListPath(store.user()), "2003-11\r\nGone\r\n..\r\n");
  ASSERT_FALSE(catalogue.load());  // a hand-edited line that leads out of the user's folder
  const QStringList before = onDisk();
  const auto opened = [&](int row) {
    catalogue.select(row);
    const catalogue::Catalogue::Outcome outcome = catalogue.open();
    EXPECT_EQ(outcome.result, catalogue::Catalogue::Result::Stay);
    return outcome.refusal.value_or(Message{}).text;
  };
  EXPECT_TRUE(opened(1).contains(QStringLiteral("找不到資料庫「Gone」")));
  const QString unusable = opened(2);
  EXPECT_TRUE(unusable.contains(QStringLiteral("不是可用的資料庫名稱")));
  EXPECT_EQ(catalogue.copy().value_or(Message{}).text, unusable);
  EXPECT_EQ(catalogue.remove(), std::nullopt);
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11", "Gone"}));
  EXPECT_EQ(onDisk(), before);
}

// Windows drops trailing blanks and dots from folder names: the lines of a list moved over from
// there find their folders that way, and keep their own text.
TEST_F(CatalogueTest, MovedOverLinesWithTrailingBlanksOrDotsNameTheFoldersWithout) {
  for (const char* name : {"2003-11", "2003-12", "2004-01"}) QDir().mkpath(folder(name));
  ASSERT_FALSE(store::saveDatabaseList(store.user(), {"2003-11 ", "2003-12.", "2004-01 ."}));
  ASSERT_FALSE(catalogue.load());
  EXPECT_TRUE(catalogue.selectedIsNew());
  EXPECT_EQ(catalogue.open(100).result, catalogue::Catalogue::Result::Opened);
  EXPECT_EQ(fileBytes(folder("2003-11") + "/Main.dat").size(), 104);
  EXPECT_EQ(store.panel(book::Workspace::DatabasePanel), QStringLiteral("資料庫名稱：2003-11 "));
  const Message inUse = refusal(QStringLiteral("這個資料庫正在使用中"));
  EXPECT_EQ(catalogue.renameRefusal(), inUse);
  EXPECT_EQ(catalogue.removeRefusal(), inUse);

  catalogue.select(1);
  EXPECT_EQ(catalogue.rename("2003-10"), std::nullopt);
  catalogue.select(2);
  EXPECT_EQ(catalogue.copy(), std::nullopt);
  EXPECT_EQ(catalogue.remove(), std::nullopt);
  EXPECT_EQ(onDisk(), QStringList({"2003-10", "2003-11", "2004-01 .-Copy", "DataBase.lst"}));
  EXPECT_EQ(catalogue.logOut().result, catalogue::Catalogue::Result::LoggedOut);
  EXPECT_EQ(fileBytes(store::databaseListPath(store.user())),
            QByteArray("2003-11 \r\n2003-10\r\n2004-01 .-Copy\r\n"));
}

}  // namespace
