#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "platform/safefile.h"
#include "platform/textfile.h"
#include "states.h"
#include "users/users.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

// A folder where a file belongs, a path through a plain file, a name too long, a disk full in
// the middle of a write: nothing on disk changes, nothing in memory, and the person is told why.
namespace {

using reliability::filesOf;
using reliability::treeOf;

// A session: its user with a password, and the tables of a database.
struct Session {
  Session() {
    store.UserName = QStringLiteral("Test");
    store.DataBaseName = QStringLiteral("2003-11");
    store.PasswordLine = QStringLiteral("839");
    EXPECT_TRUE(QDir().mkpath(store.databaseFolder()));
    putFile(userFile("DataBase.pwd"), "003800330039\r\n");
    reliability::fillState(store, 0);
  }
  QString userFile(const char* name) const { return store.userFolder() + "/" + name; }

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
};

TEST(SaveFaultTest, FailedSaveKeepsTheEarlierFilesAndTheTables) {
  Session sizes;
  reliability::fillState(sizes.store, 1);
  const qint64 accounts = filesOf(sizes.store).accounts.size();
  const struct {
    const char* what;
    std::function<void(Module1&)> fault;
    qint64 cut = -1;  // bytes the disk takes before it is full
  } faults[] = {
      {"folder for Main.dat",
       [](Module1& s) {
         const QString main = s.databaseFolder() + "/Main.dat";
         ASSERT_TRUE(QFile::remove(main) && QDir().mkpath(main));
       }},
      {"database folder a plain file",
       [](Module1& s) {
         QDir(s.databaseFolder()).removeRecursively();
         putFile(s.databaseFolder(), "plain");
       }},
      {"database name too long", [](Module1& s) { s.DataBaseName = QString(100, QChar(0x4e2d)); }},
      {"disk full in Accounts.dat", {}, accounts - 1},
      {"disk full in Main.dat", {}, accounts + 5000},
  };
  for (const auto& fault : faults) {
    SCOPED_TRACE(fault.what);
    Session s;
    ASSERT_EQ(SaveDatabase(s.store), std::nullopt);
    reliability::fillState(s.store, 1);  // the changes of a session, not yet saved
    const auto changed = filesOf(s.store);
    if (fault.fault) fault.fault(s.store);
    const auto before = treeOf(s.dir.path());
    std::optional<safefile::FailAfterBytes> full;
    if (fault.cut >= 0) full.emplace(fault.cut);
    const auto refusal = SaveDatabase(s.store);
    full.reset();
    ASSERT_TRUE(refusal);
    EXPECT_TRUE(refusal->text.startsWith(QStringLiteral("資料庫沒有存好：")));
    EXPECT_EQ(treeOf(s.dir.path()), before);
    EXPECT_EQ(filesOf(s.store), changed);
  }
}

// The writer of the list, password and settings files.
TEST(TextFileFaultTest, FailedWritesAreRefusedInWordsAndChangeNothing) {
  QTemporaryDir dir;
  const QString list = dir.filePath(QStringLiteral("DataBase.lst"));
  const QString folder = dir.filePath(QStringLiteral("folder"));
  putFile(list, "2003-11\r\n");
  ASSERT_TRUE(QDir().mkpath(folder));
  const std::pair<QString, qint64> writes[] = {  // the path, bytes the disk takes (-1: room)
      {list + "/x.lst", -1}, {dir.filePath(QString(256, u'n')), -1}, {folder, -1}, {list, 4}};
  for (const auto& [path, cut] : writes) {
    const auto before = treeOf(dir.path());
    std::optional<safefile::FailAfterBytes> full;
    if (cut >= 0) full.emplace(cut);
    const auto error = textfile::writeLines(path, {QStringLiteral("家計")});
    full.reset();
    ASSERT_TRUE(error) << path.toStdString();
    EXPECT_TRUE(error->startsWith(QStringLiteral("無法寫入"))) << error->toStdString();
    EXPECT_EQ(treeOf(dir.path()), before);
  }
}

// A password that cannot be written is not changed, and the person is told why.
TEST(TextWriteFaultTest, FailedPasswordWriteChangesNothingAndSaysWhy) {
  for (const bool diskFull : {true, false}) {
    SCOPED_TRACE(diskFull ? "disk full" : "folder");
    Session s;
    const QString file = s.userFile("DataBase.pwd");
    ASSERT_TRUE(diskFull || (QFile::remove(file) && QDir().mkpath(file)));
    const auto before = treeOf(s.dir.path());
    s.dialogs.type(QStringLiteral("839"));
    s.dialogs.type(QStringLiteral("abcd"));
    std::optional<safefile::FailAfterBytes> full;
    if (diskFull) full.emplace(4);
    ChangePassword(s.store);
    full.reset();
    EXPECT_EQ(s.store.PasswordLine, QStringLiteral("839"));
    EXPECT_TRUE(s.dialogs.lastMessage().text.startsWith(QStringLiteral("密碼沒有變更：")));
    EXPECT_EQ(s.dialogs.lastMessage().title, QStringLiteral("注意"));
    EXPECT_EQ(treeOf(s.dir.path()), before);
  }
}

}  // namespace
