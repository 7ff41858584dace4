#include "catalogue/catalogue.h"
#include "ScriptedDialogs.h"
#include "catalogue/folders.h"
#include "platform/safefile.h"
#include "store/Module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void putFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

const QString kInUse = QStringLiteral("這個資料庫正在使用中");

// User Test with the databases of `names`, each a folder holding one file, listed in order.
class CatalogueTest : public ::testing::Test {
 protected:
  CatalogueTest() : store(dir.path(), dialogs), catalogue(store) {
    store.UserName = "Test";
    QDir().mkpath(UserFolder(store));
    store.clock().setToday(QDate(2003, 11, 5));
  }

  void given(const QStringList& names) {
    for (const QString& name : names) {
      QDir().mkpath(folder(name));
      putFile(folder(name) + "/Accounts.dat", name.toUtf8());
    }
    ASSERT_FALSE(SaveDatabaseList(store, names));
    ASSERT_FALSE(catalogue.load());
  }
  QString folder(const QString& name) const { return UserFolder(store) + "/" + name; }
  QStringList listFile() const {
    auto loaded = LoadDatabaseList(store);
    return std::get<QStringList>(loaded);
  }
  QStringList userFolderEntries() const {
    return QDir(UserFolder(store)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  }

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store;
  Catalogue catalogue;
};

TEST_F(CatalogueTest, ListFileIsOneCp950LinePerNameWithCrLf) {
  ASSERT_FALSE(SaveDatabaseList(store, {"2003-11", "2003-12"}));
  EXPECT_EQ(fileBytes(databaseListPath(store)).toHex().toUpper(),
            QByteArray("323030332D31310D0A323030332D31320D0A"));
  ASSERT_FALSE(SaveDatabaseList(store, {QStringLiteral("家用"), "a, b  c"}));
  EXPECT_EQ(fileBytes(databaseListPath(store)).toHex().toUpper(),
            QByteArray("AE61A5CE0D0A612C20622020630D0A"));
  EXPECT_EQ(listFile(), QStringList({QStringLiteral("家用"), "a, b  c"}));
  ASSERT_FALSE(SaveDatabaseList(store, {}));
  EXPECT_EQ(fileBytes(databaseListPath(store)), QByteArray());
  EXPECT_EQ(listFile(), QStringList());
}

TEST_F(CatalogueTest, MissingListIsEmptyAndAnUnreadableOneIsReported) {
  QDir().mkpath(UserFolder(store) + "/Hidden");  // not listed: never shown
  EXPECT_FALSE(catalogue.load());
  EXPECT_TRUE(catalogue.entries().isEmpty());
  EXPECT_EQ(catalogue.selected(), -1);
  EXPECT_FALSE(catalogue.selectionCommandsEnabled());
  QDir().mkpath(databaseListPath(store));
  const auto refused = catalogue.load();
  ASSERT_TRUE(refused);
  EXPECT_TRUE(refused->text.contains(QStringLiteral("無法讀取資料庫清單")));
}

TEST_F(CatalogueTest, NewAppendsSelectsAndCreatesAnEmptyFolder) {
  given({"2003-10"});
  dialogs.type("2003-11");
  catalogue.addNew();
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-10", "2003-11"}));
  EXPECT_EQ(catalogue.selected(), 1);
  EXPECT_TRUE(store.CatalogueChanged);
  EXPECT_TRUE(QDir(folder("2003-11")).isEmpty());
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].prompt,
            QStringLiteral("新增資料庫，建議以年份-月份為資料庫名稱，例如：2003-11"));
  EXPECT_EQ(dialogs.shown()[0].title, QStringLiteral("新增"));

  store.CatalogueChanged = false;
  dialogs.type("2003-11");
  catalogue.addNew();
  dialogs.cancelInput();
  catalogue.addNew();
  EXPECT_EQ(dialogs.messageTexts(), QStringList({QStringLiteral("資料庫已存在")}));
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-10", "2003-11"}));
  EXPECT_FALSE(store.CatalogueChanged);
}

TEST_F(CatalogueTest, NamesThatAreNoFolderNamesAreRefusedByNewAndRename) {
  given({"2003-11"});
  const QStringList impossible = {".",
                                  "..",
                                  "../Other",
                                  "a/b",
                                  "a\\b",
                                  "C:",
                                  "a\x01",
                                  "x.",
                                  "x ",
                                  "a<b",
                                  "a>b",
                                  "a\"b",
                                  "a|b",
                                  "a?b",
                                  "a*b",
                                  "AUX",
                                  QStringLiteral("年😀")};
  for (const QString& name : impossible) {
    dialogs.clear();
    dialogs.type(name);
    catalogue.addNew();
    dialogs.type(name);
    dialogs.cancelInput();  // asked again; given up
    catalogue.rename();
    ASSERT_EQ(dialogs.messages().size(), 2u) << name.toStdString();
    EXPECT_TRUE(dialogs.messageTexts()[0].contains(QStringLiteral("資料庫名稱")) ||
                dialogs.messageTexts()[0].contains(QStringLiteral("保留")))
        << dialogs.messageTexts()[0].toStdString();
    EXPECT_EQ(dialogs.messageTexts()[1], dialogs.messageTexts()[0]);
  }
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11"}));
  EXPECT_EQ(userFolderEntries(), QStringList({"2003-11", "DataBase.lst"}));
  EXPECT_FALSE(store.CatalogueChanged);
}

TEST_F(CatalogueTest, CopyAppendsWithAnotherCopySuffixAndHoldsEverything) {
  given({"2003-11", "2003-11-Copy"});
  QDir().mkpath(folder("2003-11") + "/sub/deeper");
  putFile(folder("2003-11") + "/sub/deeper/note.txt", "kept");
  putFile(folder("2003-11") + "/Varnix.lock", "1\r\nhost\r\n");  // the source is open
  catalogue.select(0);
  catalogue.copy();
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11", "2003-11-Copy", "2003-11-Copy-Copy"}));
  EXPECT_EQ(catalogue.selected(), 0);
  EXPECT_TRUE(store.CatalogueChanged);
  EXPECT_EQ(fileBytes(folder("2003-11-Copy-Copy") + "/Accounts.dat"), QByteArray("2003-11"));
  EXPECT_EQ(fileBytes(folder("2003-11-Copy-Copy") + "/sub/deeper/note.txt"), QByteArray("kept"));
  EXPECT_FALSE(folders::exists(folder("2003-11-Copy-Copy") + "/Varnix.lock"));
  // The database in use can be copied.
  store.setPanel(Module1::DatabasePanel, QStringLiteral("資料庫名稱：2003-11"));
  catalogue.copy();
  EXPECT_EQ(catalogue.entries().last(), QStringLiteral("2003-11-Copy-Copy-Copy"));
  EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(CatalogueTest, DeleteSelectsTheEntryAbove) {
  const struct {
    int count;
    int removed;
    int selectedAfter;
  } cases[] = {{5, 2, 1}, {3, 0, 0}, {3, 2, 1}, {1, 0, -1}};
  for (const auto& c : cases) {
    QStringList names;
    for (int i = 0; i < c.count; ++i) names << QStringLiteral("db%1-%2").arg(c.count).arg(i);
    given(names);
    catalogue.select(c.removed);
    dialogs.answer(Answer::Yes);
    catalogue.remove();
    names.removeAt(c.removed);
    EXPECT_EQ(catalogue.entries(), names);
    EXPECT_EQ(catalogue.selected(), c.selectedAfter);
    EXPECT_EQ(catalogue.selectionCommandsEnabled(), !names.isEmpty());
    EXPECT_FALSE(folders::exists(folder(QStringLiteral("db%1-%2").arg(c.count).arg(c.removed))));
  }
  EXPECT_EQ(dialogs.lastMessage(), confirmDelete(QStringLiteral("確定刪除這個資料庫嗎？")));
}

TEST_F(CatalogueTest, DeleteAnsweredNoChangesNothing) {
  given({"a", "b"});
  dialogs.answer(Answer::No);
  catalogue.remove();
  EXPECT_EQ(catalogue.entries(), QStringList({"a", "b"}));
  EXPECT_TRUE(folders::isFolder(folder("a")));
  EXPECT_FALSE(store.CatalogueChanged);
}

TEST_F(CatalogueTest, TheDatabaseInUseCannotBeRenamedOrDeleted) {
  given({"2003-11", "2003-12"});
  store.setPanel(Module1::DatabasePanel, QStringLiteral("資料庫名稱：2003-11"));
  catalogue.rename();
  catalogue.remove();
  EXPECT_EQ(dialogs.messageTexts(), QStringList({kInUse, kInUse}));
  EXPECT_TRUE(dialogs.allAnswersUsed());
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11", "2003-12"}));
  // Another entry, and after the catalogue's log-out the same one, are free.
  catalogue.select(1);
  dialogs.type("2003-12b");
  catalogue.rename();
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11", "2003-12b"}));
  EXPECT_EQ(catalogue.logOut(), Catalogue::Result::LoggedOut);
  EXPECT_EQ(store.panel(Module1::DatabasePanel), QStringLiteral("資料庫名稱："));
  catalogue.select(0);
  dialogs.answer(Answer::Yes);
  catalogue.remove();
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-12b"}));
}

TEST_F(CatalogueTest, RenameAsksAgainUntilTheNameIsFreeOrTheAnswerEmpty) {
  given({"2003-11", "2003-12", "2004-01"});
  catalogue.select(1);
  dialogs.type("2003-12");  // the current name counts as taken
  dialogs.cancelInput();
  catalogue.rename();
  EXPECT_EQ(dialogs.messageTexts(), QStringList({QStringLiteral("已有相同名稱的資料庫")}));
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11", "2003-12", "2004-01"}));
  EXPECT_FALSE(store.CatalogueChanged);
  ASSERT_EQ(dialogs.shown().size(), 3u);
  EXPECT_EQ(dialogs.shown()[0].defaultText, QStringLiteral("2003-12"));
  EXPECT_EQ(dialogs.shown()[0].title, QStringLiteral("輸入"));
  EXPECT_EQ(dialogs.shown()[0].prompt, QStringLiteral("請輸入新的名稱"));

  dialogs.clear();
  dialogs.type("2004-01");
  dialogs.type(QStringLiteral("十二月"));
  catalogue.rename();
  EXPECT_EQ(dialogs.shown()[2].defaultText, QStringLiteral("2004-01"));  // the refused answer
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11", QStringLiteral("十二月"), "2004-01"}));
  EXPECT_EQ(catalogue.selected(), 1);
  EXPECT_EQ(fileBytes(folder(QStringLiteral("十二月")) + "/Accounts.dat"), QByteArray("2003-12"));
  EXPECT_FALSE(folders::exists(folder("2003-12")));
  EXPECT_TRUE(store.CatalogueChanged);
}

TEST_F(CatalogueTest, MovingPastEitherEndChangesNothing) {
  given({"a", "b", "c"});
  catalogue.select(0);
  catalogue.moveUp();
  catalogue.select(2);
  catalogue.moveDown();
  catalogue.select(-1);
  catalogue.moveUp();
  EXPECT_EQ(catalogue.entries(), QStringList({"a", "b", "c"}));
  EXPECT_FALSE(store.CatalogueChanged);
  catalogue.select(2);
  catalogue.moveUp();
  EXPECT_EQ(catalogue.entries(), QStringList({"a", "c", "b"}));
  EXPECT_EQ(catalogue.selected(), 1);
  catalogue.moveDown();
  EXPECT_EQ(catalogue.entries(), QStringList({"a", "b", "c"}));
  EXPECT_EQ(catalogue.selected(), 2);
  EXPECT_TRUE(store.CatalogueChanged);
  EXPECT_EQ(listFile(), QStringList({"a", "b", "c"}));  // only leaving writes the file
}

TEST_F(CatalogueTest, LeavingWritesTheListAsShown) {
  enum Leave { Open, Cancel, LogOut };
  for (const Leave leave : {Open, Cancel, LogOut}) {
    QDir(UserFolder(store)).removeRecursively();
    QDir().mkpath(UserFolder(store));
    given({"2003-10", "2003-11", "2003-12"});
    store.CatalogueChanged = false;
    store.OpenedFromMenu = true;
    catalogue.select(0);
    catalogue.copy();
    catalogue.moveDown();
    dialogs.answer(Answer::Yes);
    catalogue.select(3);
    catalogue.remove();  // the copy
    dialogs.type("2004-01");
    catalogue.addNew();
    const QStringList shown = catalogue.entries();
    ASSERT_EQ(shown, QStringList({"2003-11", "2003-10", "2003-12", "2004-01"}));
    dialogs.type("500");  // starting cash of the new database
    Catalogue::Result result = Catalogue::Result::Stay;
    if (leave == Open) result = catalogue.open();
    if (leave == Cancel) result = catalogue.cancel();
    if (leave == LogOut) result = catalogue.logOut();
    EXPECT_NE(result, Catalogue::Result::Stay);
    EXPECT_EQ(listFile(), shown) << leave;
    dialogs.clear();
  }
}

TEST_F(CatalogueTest, OpenLoadsTheDatabaseAndNamesItInPanelTwo) {
  given({"2003-11"});
  QFile::remove(folder("2003-11") + "/Accounts.dat");  // a database never opened yet
  dialogs.type("1000");
  int refills = 0;
  QObject::connect(&store, &Module1::accountListsRefilled, [&] { ++refills; });
  EXPECT_EQ(catalogue.open(), Catalogue::Result::Opened);
  EXPECT_EQ(store.DataBaseName, QStringLiteral("2003-11"));
  EXPECT_EQ(store.panel(Module1::DatabasePanel), QStringLiteral("資料庫名稱：2003-11"));
  EXPECT_EQ(store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：1"));
  EXPECT_EQ(store.EntryTable[1].Amount, 1000);
  EXPECT_EQ(refills, 1);
  EXPECT_FALSE(store.OpenedFromMenu);
}

TEST_F(CatalogueTest, OpenOfAMissingFolderOpensNothingAndMakesNothing) {
  given({"2003-11", "Gone"});
  QDir(folder("Gone")).removeRecursively();
  store.DataBaseName = "2003-11";
  catalogue.select(1);
  EXPECT_EQ(catalogue.open(), Catalogue::Result::Stay);
  EXPECT_TRUE(dialogs.lastMessage().text.contains(QStringLiteral("找不到資料庫「Gone」")));
  EXPECT_EQ(store.DataBaseName, QStringLiteral("2003-11"));
  EXPECT_FALSE(folders::exists(folder("Gone")));
  EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(CatalogueTest, CancelNeedsTheMenu) {
  given({"a"});
  EXPECT_EQ(catalogue.cancel(), Catalogue::Result::Stay);
  EXPECT_EQ(dialogs.lastMessage().text, QStringLiteral("請先開啟資料庫或登出"));
  EXPECT_FALSE(catalogue.cancelEnabled());
  store.OpenedFromMenu = true;
  EXPECT_EQ(catalogue.cancel(), Catalogue::Result::Cancelled);
}

TEST_F(CatalogueTest, FailedFolderWorkIsReportedAndTheListFollowsTheDisk) {
  // No file system takes a name of more than 255 bytes: each of these fails at the disk.
  const QString longName(251, QLatin1Char('n'));
  given({"2003-11", longName});
  const QStringList before = userFolderEntries();

  dialogs.type(QString(300, QLatin1Char('x')));
  catalogue.addNew();
  EXPECT_TRUE(dialogs.lastMessage().text.contains(QStringLiteral("無法建立資料夾")));

  catalogue.select(0);
  dialogs.type(QString(300, QLatin1Char('y')));
  catalogue.rename();
  EXPECT_TRUE(dialogs.lastMessage().text.contains(QStringLiteral("無法把資料夾")));

  catalogue.select(1);
  catalogue.copy();  // the copy's name, with "-Copy", is too long
  EXPECT_TRUE(dialogs.lastMessage().text.contains(QStringLiteral("複製")));

  EXPECT_EQ(dialogs.messages().size(), 3u);
  EXPECT_EQ(catalogue.entries(), QStringList({"2003-11", longName}));
  EXPECT_EQ(userFolderEntries(), before);
  EXPECT_FALSE(store.CatalogueChanged);
}

TEST_F(CatalogueTest, DamagedListLinesNeverReachOtherFolders) {
  // A hand-edited list with an empty line, a parent reference and a plain file's name.
  putFile(UserFolder(store) + "/Plain", "not a database");
  putFile(databaseListPath(store), "\r\n..\r\nPlain\r\n");
  ASSERT_FALSE(catalogue.load());
  ASSERT_EQ(catalogue.entries(), QStringList({"", "..", "Plain"}));
  for (int row : {0, 1}) {
    dialogs.clear();
    catalogue.select(row);
    EXPECT_EQ(catalogue.open(), Catalogue::Result::Stay);
    catalogue.copy();
    EXPECT_EQ(dialogs.messages().size(), 2u);
  }
  for (int i = 0; i < 3; ++i) {
    dialogs.answer(Answer::Yes);
    catalogue.select(0);
    catalogue.remove();
  }
  EXPECT_TRUE(catalogue.entries().isEmpty());
  // The user's own folder and the plain file are still there.
  EXPECT_EQ(fileBytes(UserFolder(store) + "/Plain"), QByteArray("not a database"));
  EXPECT_TRUE(folders::isFolder(UserFolder(store)));
  EXPECT_TRUE(folders::isFolder(store.DataBaseFolder));
}

}  // namespace

namespace {

TEST_F(CatalogueTest, AListThatCannotBeWrittenKeepsTheWindowOpen) {
  given({"a", "b"});
  store.OpenedFromMenu = true;
  catalogue.select(1);
  catalogue.moveUp();
  {
    safefile::FailAfterBytes fullDisk(1);
    EXPECT_EQ(catalogue.cancel(), Catalogue::Result::Stay);
    EXPECT_EQ(catalogue.logOut(), Catalogue::Result::Stay);
  }
  EXPECT_EQ(dialogs.messages().size(), 2u);
  EXPECT_TRUE(dialogs.lastMessage().text.contains(QStringLiteral("資料庫清單沒有存好")));
  EXPECT_EQ(listFile(), QStringList({"a", "b"}));
  EXPECT_TRUE(store.OpenedFromMenu);
  EXPECT_EQ(catalogue.cancel(), Catalogue::Result::Cancelled);
  EXPECT_EQ(listFile(), QStringList({"b", "a"}));
}

TEST_F(CatalogueTest, TheMenuSavesTheOpenDatabaseBeforeTheList) {
  given({"2003-11"});
  QFile::remove(folder("2003-11") + "/Accounts.dat");
  dialogs.type("0");
  ASSERT_EQ(catalogue.open(), Catalogue::Result::Opened);
  store.AccountTable[store.AccountCount++] = makeAccount(QStringLiteral("E-餐飲"), kExpense);
  {
    safefile::FailAfterBytes fullDisk(0);
    EXPECT_TRUE(EnterCatalogueFromMenu(store));
  }
  EXPECT_FALSE(store.OpenedFromMenu);
  EXPECT_EQ(fileBytes(folder("2003-11") + "/Accounts.dat").size(), 128 + 22);
  EXPECT_FALSE(EnterCatalogueFromMenu(store));
  EXPECT_TRUE(store.OpenedFromMenu);
  EXPECT_EQ(fileBytes(folder("2003-11") + "/Accounts.dat").size(), 2 * 128 + 22);
}

}  // namespace
