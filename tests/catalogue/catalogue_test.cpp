#include "catalogue/catalogue.h"

#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "catalogue/folders.h"
#include "platform/safefile.h"
#include "store/Module1.h"
#include "users/users.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// User Test with the databases of `names`, each a folder holding one file, listed in order.
class CatalogueTest : public ::testing::Test {
 protected:
  CatalogueTest() : store(dir.path(), dialogs), catalogue(store) {
    store.UserName = "Test";
    QDir().mkpath(UserFolder(store));
    store.clock().setToday(QDate(2003, 11, 5));
  }

  void given(const QStringList& names) {
    QDir(UserFolder(store)).removeRecursively();
    for (const QString& name : names) {
      QDir().mkpath(folder(name));
      putFile(folder(name) + "/Accounts.dat", name.toUtf8());
    }
    ASSERT_FALSE(SaveDatabaseList(store, names));
    ASSERT_FALSE(catalogue.load());
    store.CatalogueChanged = false;
    dialogs.clear();
  }
  QString folder(const QString& name) const { return UserFolder(store) + "/" + name; }
  QStringList listFile() const { return std::get<QStringList>(LoadDatabaseList(store)); }
  QStringList onDisk() const {
    return QDir(UserFolder(store)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  }

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store;
  Catalogue catalogue;
};

TEST_F(CatalogueTest, ListFileIsOneCp950LinePerNameWithCrLf) {
  ASSERT_FALSE(SaveDatabaseList(store, {"2003-11", QStringLiteral("家用"), "a, b  c"}));
  EXPECT_EQ(fileBytes(databaseListPath(store)),
            QByteArray("2003-11\r\n\xae\x61\xa5\xce\r\na, b  c\r\n"));
  EXPECT_EQ(listFile(), QStringList({"2003-11", QStringLiteral("家用"), "a, b  c"}));
  ASSERT_FALSE(SaveDatabaseList(store, {}));
  EXPECT_EQ(fileBytes(databaseListPath(store)), QByteArray());
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
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11"}));
  EXPECT_EQ(onDisk(), QStringList({"2003-11", "DataBase.lst"}));
  EXPECT_EQ(QDir(store.DataBaseFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList({"Test"}));
  EXPECT_FALSE(store.CatalogueChanged);

  dialogs.clear();
  dialogs.type("2003-11");
  catalogue.addNew();
  dialogs.type("2003-11");  // its own name is taken too; asked again
  dialogs.type(QStringLiteral("十一月"));
  catalogue.rename();
  EXPECT_EQ(dialogs.messageTexts(),
            QStringList({QStringLiteral("資料庫已存在"), QStringLiteral("已有相同名稱的資料庫")}));
  EXPECT_EQ(onDisk(), QStringList({"DataBase.lst", QStringLiteral("十一月")}));
  EXPECT_EQ(fileBytes(folder(QStringLiteral("十一月")) + "/Accounts.dat"), "2003-11");
}

TEST_F(CatalogueTest, CopyAppendsAnotherCopySuffixHoldsAllButTheLockAndMayTakeTheOneInUse) {
  given({"2003-11", "2003-11-Copy"});
  QDir().mkpath(folder("2003-11") + "/sub/deeper");
  putFile(folder("2003-11") + "/sub/deeper/note.txt", "kept");
  putFile(folder("2003-11") + "/Varnix.lock", "1\r\nhost\r\n");  // the source is open
  catalogue.select(0);
  catalogue.copy();
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11", "2003-11-Copy", "2003-11-Copy-Copy"}));
  EXPECT_EQ(catalogue.selected(), 0);
  EXPECT_EQ(fileBytes(folder("2003-11-Copy-Copy") + "/Accounts.dat"), QByteArray("2003-11"));
  EXPECT_EQ(fileBytes(folder("2003-11-Copy-Copy") + "/sub/deeper/note.txt"), QByteArray("kept"));
  EXPECT_FALSE(folders::exists(folder("2003-11-Copy-Copy") + "/Varnix.lock"));
  store.setPanel(Module1::DatabasePanel, QStringLiteral("資料庫名稱：2003-11"));
  catalogue.copy();  // the database in use can be copied, not renamed nor deleted
  catalogue.rename();
  catalogue.remove();
  EXPECT_EQ(catalogue.entries().last(), QStringLiteral("2003-11-Copy-Copy-Copy"));
  const QString inUse = QStringLiteral("這個資料庫正在使用中");
  EXPECT_EQ(dialogs.messageTexts(), QStringList({inUse, inUse}));
  EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(CatalogueTest, DeleteSelectsTheEntryAboveAndNoKeepsAll) {
  const struct {
    int count;
    int removed;
    Answer answer;
    int selectedAfter;
  } cases[] = {{5, 2, Answer::Yes, 1},
               {3, 0, Answer::Yes, 0},
               {3, 2, Answer::Yes, 1},
               {1, 0, Answer::Yes, -1},
               {3, 1, Answer::No, 1}};
  for (const auto& c : cases) {
    QStringList names;
    for (int i = 0; i < c.count; ++i) names << QStringLiteral("x%1").arg(i);
    given(names);
    catalogue.select(c.removed);
    dialogs.answer(c.answer);
    catalogue.remove();
    EXPECT_EQ(dialogs.lastMessage(), confirmDelete(QStringLiteral("確定刪除這個資料庫嗎？")));
    if (c.answer == Answer::Yes) names.removeAt(c.removed);
    EXPECT_EQ(catalogue.entries(), names);
    EXPECT_EQ(catalogue.selected(), c.selectedAfter);
    EXPECT_EQ(catalogue.selectionCommandsEnabled(), !names.isEmpty());
    EXPECT_EQ(onDisk(), QStringList{"DataBase.lst"} + names);
  }
}

TEST_F(CatalogueTest, LeavingWritesTheListAsShownAndAFailedWriteStays) {
  EXPECT_EQ(catalogue.cancel(), Catalogue::Result::Stay);  // only the menu has one to go back to
  EXPECT_EQ(dialogs.lastMessage().text, QStringLiteral("請先開啟資料庫或登出"));
  enum Leave { Open, Cancel, LogOut };
  for (const Leave leave : {Open, Cancel, LogOut}) {
    given({"2003-10", "2003-11"});
    store.OpenedFromMenu = true;
    catalogue.select(0);
    catalogue.moveDown();
    dialogs.type("2004-01");
    catalogue.addNew();
    const QStringList shown = catalogue.entries();
    ASSERT_EQ(shown, QStringList({"2003-11", "2003-10", "2004-01"}));
    auto leaveNow = [&] {
      return leave == Open     ? catalogue.open()
             : leave == Cancel ? catalogue.cancel()
                               : catalogue.logOut();
    };
    {
      safefile::FailAfterBytes fullDisk(1);
      EXPECT_EQ(leaveNow(), Catalogue::Result::Stay);
    }
    EXPECT_TRUE(dialogs.lastMessage().text.contains(QStringLiteral("資料庫清單沒有存好")));
    EXPECT_EQ(listFile(), QStringList({"2003-10", "2003-11"})) << leave;
    dialogs.type("500");  // starting cash of the new database
    EXPECT_NE(leaveNow(), Catalogue::Result::Stay);
    EXPECT_EQ(listFile(), shown) << leave;
  }
}

TEST_F(CatalogueTest, FailedFolderWorkAndDamagedLinesLeaveListAndDiskAlike) {
  // No file system takes a name of more than 255 bytes: each of these fails at the disk.
  const QString longName(251, QLatin1Char('n'));
  given({"2003-11", longName, "Gone"});
  QDir(folder("Gone")).removeRecursively();
  putFile(databaseListPath(store), "2003-11\r\n" + longName.toUtf8() + "\r\nGone\r\n..\r\n");
  ASSERT_FALSE(catalogue.load());  // a hand-edited line that leads out of the user's folder
  const QStringList before = onDisk();
  dialogs.type(QString(300, QLatin1Char('x')));
  catalogue.addNew();
  catalogue.select(0);
  dialogs.type(QString(300, QLatin1Char('y')));
  catalogue.rename();
  catalogue.select(1);
  catalogue.copy();  // the copy's name, with "-Copy", is too long
  for (const int row : {2, 3}) {
    catalogue.select(row);
    EXPECT_EQ(catalogue.open(), Catalogue::Result::Stay);
  }
  catalogue.copy();
  const QStringList messages = dialogs.messageTexts();
  ASSERT_EQ(messages.size(), 6);
  EXPECT_TRUE(messages[0].contains(QStringLiteral("無法建立資料夾")));
  EXPECT_TRUE(messages[1].contains(QStringLiteral("無法把資料夾")));
  EXPECT_TRUE(messages[2].contains(QStringLiteral("複製")));
  EXPECT_TRUE(messages[3].contains(QStringLiteral("找不到資料庫「Gone」")));
  EXPECT_TRUE(messages[4].contains(QStringLiteral("不是可用的資料庫名稱")));
  EXPECT_EQ(messages[5], messages[4]);
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11", longName, "Gone", ".."}));
  EXPECT_EQ(onDisk(), before);
  EXPECT_EQ(store.DataBaseName, QString());
  EXPECT_FALSE(store.CatalogueChanged);
  dialogs.answer(Answer::Yes);
  catalogue.remove();  // takes the line only
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11", longName, "Gone"}));
  EXPECT_EQ(onDisk(), before);
}

}  // namespace
