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

using namespace reliability;

void block(const QString& path, bool withFolder) {  // a folder or a plain file takes the place
  QDir(path).removeRecursively();
  QFile::remove(path);
  withFolder ? void(QDir().mkpath(path)) : putFile(path, "plain");
}

// Runs `write` on a disk that takes `room` bytes before it is full (-1: room enough).
template <class Write>
auto onDisk(qint64 room, Write write) {
  std::optional<safefile::FailAfterBytes> full;
  if (room >= 0) full.emplace(room);
  return write();
}

// A session: its user with a password, and the tables of a database.
struct Session {
  Session() {
    store.UserName = QStringLiteral("Test");
    store.DataBaseName = QStringLiteral("2003-11");
    store.PasswordLine = QStringLiteral("839");
    EXPECT_TRUE(QDir().mkpath(store.databaseFolder()));
    putFile(store.userFolder() + "/DataBase.pwd", "003800330039\r\n");
    fillState(store, 0);
  }

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
};

TEST(SaveFaultTest, FailedSaveKeepsTheEarlierFilesAndTheTables) {
  // What goes wrong, and the bytes the disk takes (-1: room enough).
  const std::tuple<const char*, std::function<void(Module1&)>, qint64> faults[] = {
      {"folder for Main.dat", [](Module1& s) { block(s.databaseFolder() + "/Main.dat", true); },
       -1},
      {"database folder a plain file", [](Module1& s) { block(s.databaseFolder(), false); }, -1},
      {"database name too long", [](Module1& s) { s.DataBaseName = QString(100, u'中'); }, -1},
      {"disk full in Main.dat", {}, 10000},
  };
  for (const auto& [what, fault, cut] : faults) {
    SCOPED_TRACE(what);
    Session s;
    ASSERT_EQ(SaveDatabase(s.store).refusal, std::nullopt);
    fillState(s.store, 1);  // the changes of a session, not yet saved
    const auto changed = filesOf(s.store);
    if (fault) fault(s.store);
    const auto before = treeOf(s.dir.path());
    const auto refusal = onDisk(cut, [&] { return SaveDatabase(s.store).refusal; });
    EXPECT_TRUE(warns(refusal, QStringLiteral("資料庫沒有存好：")));
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
  // The path, and the bytes the disk takes before it is full (-1: room enough).
  const std::pair<QString, qint64> writes[] = {
      {list + "/x.lst", -1}, {dir.filePath(QString(256, u'n')), -1}, {folder, -1}, {list, 4}};
  for (const auto& [path, cut] : writes) {
    const auto before = treeOf(dir.path());
    const auto error = onDisk(cut, [&] { return textfile::writeLines(path, {"家計"}); });
    ASSERT_TRUE(error) << path.toStdString();
    EXPECT_TRUE(error->startsWith(QStringLiteral("無法寫入"))) << error->toStdString();
    EXPECT_EQ(treeOf(dir.path()), before);
  }
}

// A password that cannot be written is not changed, and the person is told why.
TEST(TextWriteFaultTest, FailedPasswordWriteChangesNothingAndSaysWhy) {
  Session s;
  const auto before = treeOf(s.dir.path());
  const auto refused = onDisk(4, [&] { return setPassword(s.store, "839", "abcd"); });
  EXPECT_EQ(s.store.PasswordLine, QStringLiteral("839"));
  EXPECT_TRUE(warns(refused, QStringLiteral("密碼沒有變更：")));
  EXPECT_EQ(treeOf(s.dir.path()), before);
}

}  // namespace
