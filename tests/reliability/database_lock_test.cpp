#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "catalogue/catalogue.h"
#include "store/Module1.h"
#include "store/dblock.h"
#include "users/users.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include <sys/wait.h>
#include <unistd.h>

// One database is open in one window at most, whichever copy of the program shows it.
namespace {

const QString kInUseElsewhere = QStringLiteral("這個資料庫正在其他視窗使用中");

qint64 deadPid() {  // a process that has ended and been reaped
  const pid_t child = fork();
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  return child;
}

TEST(DatabaseLockTest, DecidesWhoseLockMayBeTakenOver) {
  QTemporaryDir dir;
  const QString lockFile = dir.filePath(QStringLiteral("Varnix.lock"));
  const QString host = dblock::thisProcess().host;
  const struct {
    const char* what;
    QByteArray content;
    qint64 ageSeconds;
    bool takenOver;
  } cases[] = {
      {"dead process on this machine", dblock::ownerBytes({deadPid(), host}), 0, true},
      {"running process on this machine", dblock::ownerBytes({getppid(), host}), 0, false},
      {"process on another machine", dblock::ownerBytes({deadPid(), host + "-other"}), 0, false},
      {"unfinished lock, just created", QByteArray(), 0, false},
      {"unfinished lock, long ago", QByteArray(), 3600, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QFile file(lockFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.content) >= 0 && file.flush());
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-c.ageSeconds),
                                 QFileDevice::FileModificationTime));
    DatabaseLock lock;
    const auto refused = lock.acquire(dir.path());
    EXPECT_EQ(!refused, c.takenOver);
    EXPECT_EQ(refused ? refused->text : kInUseElsewhere, kInUseElsewhere);
    EXPECT_EQ(fileBytes(lockFile),
              c.takenOver ? dblock::ownerBytes(dblock::thisProcess()) : c.content);
    lock.release();
    EXPECT_EQ(QFile::exists(lockFile), !c.takenOver);
  }
}

// Two windows on one installation, as two copies of the program would be.
struct Window {
  explicit Window(const QString& install) : store(install, dialogs), catalogue(store) {
    store.UserName = QStringLiteral("Test");
  }
  Catalogue::Result open(int row) {
    dialogs.clear();
    dialogs.type(QStringLiteral("1000"));  // the starting cash, should the database be new
    EXPECT_EQ(catalogue.load(), std::nullopt);
    catalogue.select(row);
    return catalogue.open();
  }
  ScriptedDialogs dialogs;
  Module1 store;
  Catalogue catalogue;
};

TEST(DatabaseLockFlowTest, OneWindowPerDatabaseUntilItMovesOnLogsOutOrEnds) {
  QTemporaryDir dir;
  const QString user = dir.path() + "/DataBase/Test/";
  const auto locked = [&](const char* name) { return QFile::exists(user + name + "/Varnix.lock"); };
  auto first = std::make_unique<Window>(dir.path());
  Window second(dir.path());
  ASSERT_TRUE(QDir().mkpath(user + "2003-11") && QDir().mkpath(user + "2003-12"));
  ASSERT_EQ(SaveDatabaseList(second.store, {"2003-11", "2003-12"}), std::nullopt);

  ASSERT_EQ(first->open(0), Catalogue::Result::Opened);
  EXPECT_TRUE(locked("2003-11"));
  EXPECT_EQ(second.open(0), Catalogue::Result::Stay);
  EXPECT_EQ(second.dialogs.lastMessage().text, kInUseElsewhere);

  // Another window copies it with its files, never its lock.
  second.catalogue.select(0);
  second.catalogue.copy();
  EXPECT_EQ(QDir(user + "2003-11-Copy").entryList(QDir::Files | QDir::Hidden),
            (QStringList{"Accounts.dat", "Main.dat"}));

  ASSERT_EQ(first->open(1), Catalogue::Result::Opened);  // moving on frees the earlier one
  EXPECT_FALSE(locked("2003-11"));
  first.reset();  // the program ends
  EXPECT_FALSE(locked("2003-12"));
  EXPECT_EQ(second.open(1), Catalogue::Result::Opened);
}

}  // namespace
