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
  waitpid(child, nullptr, 0);
  return child;
}

TEST(DatabaseLockTest, DecidesWhoseLockMayBeTakenOver) {
  QTemporaryDir dir;
  const QString lockFile = dir.filePath(QStringLiteral("Varnix.lock"));
  const QString host = dblock::thisProcess().host;
  // The owner (a dead process, a running one, none), the lock's age, whether it is taken over.
  const std::tuple<QByteArray, qint64, bool> cases[] = {
      {dblock::ownerBytes({deadPid(), host}), 0, true},
      {dblock::ownerBytes({getppid(), host}), 0, false},
      {QByteArray(), 0, false},
      {QByteArray(), 3600, true},
  };
  for (const auto& [content, ageSeconds, takenOver] : cases) {
    SCOPED_TRACE(testing::Message() << content.toStdString() << ", " << ageSeconds << " s");
    QFile file(lockFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) >= 0 && file.flush());
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                 QFileDevice::FileModificationTime));
    DatabaseLock lock;
    const auto refused = lock.acquire(dir.path());
    EXPECT_EQ(refused ? refused->text : QString(), takenOver ? QString() : kInUseElsewhere);
    EXPECT_EQ(fileBytes(lockFile), takenOver ? dblock::ownerBytes(dblock::thisProcess()) : content);
    lock.release();
    EXPECT_EQ(QFile::exists(lockFile), !takenOver);
  }
}

// Two windows on one installation, as two copies of the program would be.
struct Window {
  explicit Window(const QString& install) : store(install, dialogs), catalogue(store) {
    store.UserName = QStringLiteral("Test");
  }
  Catalogue::Result open(int row) {
    EXPECT_EQ(catalogue.load(), std::nullopt);
    catalogue.select(row);
    const Catalogue::Outcome outcome = catalogue.open(1000);  // cash, should it be new
    refused = outcome.refusal;
    return outcome.result;
  }
  std::optional<Message> refused;
  ScriptedDialogs dialogs;
  Module1 store;
  Catalogue catalogue;
};

TEST(DatabaseLockFlowTest, OneWindowPerDatabaseUntilItMovesOnOrEnds) {
  QTemporaryDir dir;
  const QString user = dir.path() + "/DataBase/Test/";
  const auto locked = [&](const char* name) { return QFile::exists(user + name + "/Varnix.lock"); };
  auto first = std::make_unique<Window>(dir.path());
  Window second(dir.path());
  ASSERT_TRUE(QDir().mkpath(user + "2003-11") && QDir().mkpath(user + "2003-12"));
  ASSERT_EQ(SaveDatabaseList(second.store, {"2003-11", "2003-12"}), std::nullopt);

  ASSERT_EQ(first->open(0), Catalogue::Result::Opened);
  EXPECT_EQ(second.open(0), Catalogue::Result::Stay);
  EXPECT_EQ(second.refused, refusal(kInUseElsewhere));

  // Another window copies it with its files, never its lock.
  second.catalogue.select(0);
  EXPECT_EQ(second.catalogue.copy(), std::nullopt);
  EXPECT_EQ(QDir(user + "2003-11-Copy").entryList(QDir::Files | QDir::Hidden),
            (QStringList{"Accounts.dat", "Main.dat"}));

  ASSERT_EQ(first->open(1), Catalogue::Result::Opened);  // moving on frees the earlier one
  EXPECT_FALSE(locked("2003-11"));
  first.reset();  // the program ends
  EXPECT_FALSE(locked("2003-12"));
  EXPECT_EQ(second.open(1), Catalogue::Result::Opened);
}

}  // namespace
