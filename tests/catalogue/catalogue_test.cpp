#include "catalogue/catalogue.h"

#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "catalogue/folders.h"
#include "store/Module1.h"
#include "users/users.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// User Test with the databases of `names`, each a folder holding one file, listed in order.
struct CatalogueTest : ::testing::Test {
  CatalogueTest() {
    store.UserName = "Test";
    QDir().mkpath(UserFolder(store));
  }

  void given(const QStringList& names) {
    QDir(UserFolder(store)).removeRecursively();
    for (const QString& name : names) {
      QDir().mkpath(folder(name));
      putFile(folder(name) + "/Accounts.dat", name.toUtf8());
    }
    ASSERT_FALSE(SaveDatabaseList(store, names));
    ASSERT_FALSE(catalogue.load());
    dialogs.clear();
  }
  QString folder(const QString& name) const { return UserFolder(store) + "/" + name; }
  QStringList onDisk() const {
    return QDir(UserFolder(store)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  }

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
  Catalogue catalogue{store};
};

TEST_F(CatalogueTest, ListFileIsOneCp950LinePerNameWithCrLf) {
  ASSERT_FALSE(SaveDatabaseList(store, {"2003-11", QStringLiteral("家用"), "a, b  c"}));
  EXPECT_EQ(fileBytes(databaseListPath(store)),
            QByteArray("2003-11\r\n\xae\x61\xa5\xce\r\na, b  c\r\n"));
}

TEST_F(CatalogueTest, NamesThatAreNoFolderNamesOrTakenAreRefused) {
  given({"2003-11"});
  const struct {
    const char* message;
    QStringList names;
  } cases[] = {
      {"不可以是「.」或「..」", {".", ".."}},
      {"不可以含有控制字元", {"a\tb", "a\x01"}},
      {"不可以含有下列字元",
       {"a/b", "../Other", "a\\b", "C:x", "a<b", "a>b", "a\"b", "a|b", "a?b", "a*b"}},
      {"最後一個字不可以是句點或空白", {"x.", "x "}},
      {"是系統保留的名稱", {"CON", "nul.txt", "com1", "LPT9", "AUX"}},
      {"無法儲存的字元「😀」", {QStringLiteral("年😀")}},
  };
  for (const auto& c : cases) {
    for (const QString& name : c.names) {
      const auto user = CreateUser(store, name, "abc");
      ASSERT_TRUE(user) << name.toStdString();
      EXPECT_TRUE(user->text.contains(QString::fromUtf8(c.message))) << user->text.toStdString();
      dialogs.clear();
      dialogs.type(name);
      catalogue.addNew();
      dialogs.type(name);
      dialogs.cancelInput();  // asked again; given up
      catalogue.rename();
      const QString asDatabase = QString(user->text).replace("使用者名稱", "資料庫名稱");
      EXPECT_EQ(dialogs.messageTexts(), QStringList({asDatabase, asDatabase}));
    }
  }
  EXPECT_EQ(onDisk(), QStringList({"2003-11", "DataBase.lst"}));
  EXPECT_EQ(QDir(store.DataBaseFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList({"Test"}));

  dialogs.clear();
  dialogs.type("2003-11");
  catalogue.addNew();
  EXPECT_EQ(dialogs.messageTexts(), QStringList({QStringLiteral("資料庫已存在")}));
}

TEST_F(CatalogueTest, CopyAppendsAnotherCopySuffixAndHoldsAllButTheLock) {
  given({"2003-11", "2003-11-Copy"});
  QDir().mkpath(folder("2003-11") + "/sub/deeper");
  putFile(folder("2003-11") + "/sub/deeper/note.txt", "kept");
  putFile(folder("2003-11") + "/Varnix.lock", "1\r\nhost\r\n");  // the source is open
  catalogue.select(0);
  catalogue.copy();
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11", "2003-11-Copy", "2003-11-Copy-Copy"}));
  EXPECT_EQ(fileBytes(folder("2003-11-Copy-Copy") + "/sub/deeper/note.txt"), QByteArray("kept"));
  EXPECT_FALSE(folders::exists(folder("2003-11-Copy-Copy") + "/Varnix.lock"));
}

TEST_F(CatalogueTest, DeleteSelectsTheEntryAbove) {
  // Of how many, which is deleted, the answer, then the selected one.
  const std::tuple<int, int, Answer, int> cases[] = {
      {3, 0, Answer::Yes, 0}, {3, 2, Answer::Yes, 1}, {1, 0, Answer::Yes, -1}};
  for (const auto& [count, removed, answer, selectedAfter] : cases) {
    QStringList names = QStringList({"x0", "x1", "x2"}).mid(0, count);
    given(names);
    catalogue.select(removed);
    dialogs.answer(answer);
    catalogue.remove();
    if (answer == Answer::Yes) names.removeAt(removed);
    EXPECT_EQ(catalogue.selected(), selectedAfter);
    EXPECT_EQ(onDisk(), QStringList{"DataBase.lst"} + names);
  }
}

TEST_F(CatalogueTest, LeavingWritesTheListAsShown) {
  for (const auto leave : {&Catalogue::open, &Catalogue::cancel, &Catalogue::logOut}) {
    given({"2003-10", "2003-11"});
    store.OpenedFromMenu = true;
    dialogs.type("2004-01");
    catalogue.addNew();
    dialogs.type("500");  // starting cash of the new database
    EXPECT_NE((catalogue.*leave)(), Catalogue::Result::Stay);
    EXPECT_EQ(std::get<QStringList>(LoadDatabaseList(store)),
              QStringList({"2003-10", "2003-11", "2004-01"}));
  }
}

TEST_F(CatalogueTest, AListThatCannotBeWrittenKeepsTheWindowOpen) {
  given({"2003-10"});
  store.OpenedFromMenu = true;
  dialogs.type("2004-01");
  catalogue.addNew();
  QFile::remove(UserFolder(store) + "/DataBase.lst");
  QDir().mkpath(UserFolder(store) + "/DataBase.lst");  // a folder in the list file's place
  EXPECT_EQ(catalogue.cancel(), Catalogue::Result::Stay);
  EXPECT_EQ(dialogs.lastMessage().title, "注意");
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-10", "2004-01"}));
}

TEST_F(CatalogueTest, LinesWithoutAUsableFolderOpenNothingAndDeleteTakesTheLineOnly) {
  given({"2003-11", "Gone"});
  QDir(folder("Gone")).removeRecursively();
  putFile(databaseListPath(store), "2003-11\r\nGone\r\n..\r\n");
  ASSERT_FALSE(catalogue.load());  // a hand-edited line that leads out of the user's folder
  const QStringList before = onDisk();
  for (const int row : {1, 2}) {
    catalogue.select(row);
    EXPECT_EQ(catalogue.open(), Catalogue::Result::Stay);
  }
  catalogue.copy();
  const QStringList messages = dialogs.messageTexts();
  ASSERT_EQ(messages.size(), 3);
  EXPECT_TRUE(messages[0].contains(QStringLiteral("找不到資料庫「Gone」")));
  EXPECT_TRUE(messages[1].contains(QStringLiteral("不是可用的資料庫名稱")));
  EXPECT_EQ(messages[2], messages[1]);
  dialogs.answer(Answer::Yes);
  catalogue.remove();
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11", "Gone"}));
  EXPECT_EQ(onDisk(), before);
}

}  // namespace
