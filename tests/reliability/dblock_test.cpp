#include "store/dblock.h"
#include "platform/process.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// The id of a process that has ended and been reaped.
qint64 deadPid() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  return child;
}

class DatabaseLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    first = dir.filePath(QStringLiteral("2003-11"));
    second = dir.filePath(QStringLiteral("2003-12"));
    ASSERT_TRUE(QDir().mkpath(first));
    ASSERT_TRUE(QDir().mkpath(second));
  }
  QString lockIn(const QString& folder) const { return folder + QStringLiteral("/Varnix.lock"); }

  QTemporaryDir dir;
  QString first;
  QString second;
};

TEST(ProcessTest, TellsRunningFromEndedProcesses) {
  EXPECT_TRUE(process::isRunning(getpid()));
  EXPECT_TRUE(process::isRunning(1));  // init runs, though it is not ours to signal
  EXPECT_FALSE(process::isRunning(deadPid()));
  // 0 and -1 would address process groups and everything: they name no process.
  EXPECT_FALSE(process::isRunning(0));
  EXPECT_FALSE(process::isRunning(-1));
  EXPECT_FALSE(process::isRunning(std::numeric_limits<qint64>::max()));
}

TEST(LockFileTextTest, HoldsProcessAndHostOnCrLfLines) {
  EXPECT_EQ(dblock::ownerBytes({4711, QStringLiteral("kitchen")}),
            QByteArray("4711\r\nkitchen\r\n"));
  EXPECT_EQ(dblock::parseOwner("4711\r\nkitchen\r\n"),
            (dblock::Owner{4711, QStringLiteral("kitchen")}));
  for (const QByteArray& garbled :
       {QByteArray(), QByteArray("\r\n"), QByteArray("4711"), QByteArray("4711\r\nkitchen"),
        QByteArray("-5\r\nkitchen\r\n"), QByteArray("0\r\nx\r\n"), QByteArray("12a\r\nx\r\n")}) {
    EXPECT_FALSE(dblock::parseOwner(garbled)) << garbled.toStdString();
  }
  EXPECT_TRUE(dblock::isLockFile(QStringLiteral("Varnix.lock")));
  EXPECT_FALSE(dblock::isLockFile(QStringLiteral("Main.dat")));
}

TEST_F(DatabaseLockTest, SecondOpeningIsRefusedUntilTheFirstLetsGo) {
  DatabaseLock one;
  DatabaseLock two;
  ASSERT_EQ(one.acquire(first), std::nullopt);
  EXPECT_EQ(fileBytes(lockIn(first)), dblock::ownerBytes(dblock::thisProcess()));

  const auto refused = two.acquire(first);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->text, QStringLiteral("這個資料庫正在其他視窗使用中"));
  EXPECT_EQ(refused->title, QStringLiteral("注意"));
  EXPECT_FALSE(two.held());

  one.release();
  EXPECT_FALSE(QFile::exists(lockIn(first)));
  EXPECT_EQ(two.acquire(first), std::nullopt);
  EXPECT_TRUE(two.held());
}

TEST_F(DatabaseLockTest, OpeningAnotherDatabaseReleasesTheFirstOnlyOnSuccess) {
  DatabaseLock lock;
  ASSERT_EQ(lock.acquire(first), std::nullopt);
  ASSERT_EQ(lock.acquire(first), std::nullopt);  // the same database again: still ours
  ASSERT_EQ(lock.acquire(second), std::nullopt);
  EXPECT_FALSE(QFile::exists(lockIn(first)));
  EXPECT_TRUE(QFile::exists(lockIn(second)));

  // A refused opening keeps the database that is open locked.
  DatabaseLock other;
  ASSERT_EQ(other.acquire(first), std::nullopt);
  EXPECT_TRUE(lock.acquire(first));
  EXPECT_TRUE(QFile::exists(lockIn(second)));
  EXPECT_EQ(lock.folder(), QDir::cleanPath(second));

  // A folder that is gone is refused without leaving anything behind.
  const QString gone = dir.filePath(QStringLiteral("gone"));
  const auto refused = lock.acquire(gone);
  ASSERT_TRUE(refused);
  EXPECT_TRUE(refused->text.contains(QStringLiteral("找不到資料庫資料夾")));
  EXPECT_FALSE(QFileInfo::exists(gone));
  EXPECT_TRUE(lock.held());
}

TEST_F(DatabaseLockTest, TellsWhetherAnotherWindowHasTheDatabase) {
  EXPECT_FALSE(dblock::inUse(first));
  {
    DatabaseLock lock;
    ASSERT_EQ(lock.acquire(first), std::nullopt);
    EXPECT_TRUE(lock.holds(first + QStringLiteral("/")));
    EXPECT_FALSE(lock.holds(second));
    EXPECT_TRUE(dblock::inUse(first));
    EXPECT_FALSE(dblock::inUse(second));

    // A lock taken for a database that then fails to open is handed over only on success.
    DatabaseLock next;
    ASSERT_EQ(next.acquire(second), std::nullopt);
    lock.swap(next);
    EXPECT_TRUE(lock.holds(second));
    EXPECT_TRUE(next.holds(first));
  }
  EXPECT_FALSE(dblock::inUse(first));
  EXPECT_FALSE(dblock::inUse(second));
  writeFile(lockIn(first), dblock::ownerBytes({getppid(), dblock::thisProcess().host}));
  EXPECT_TRUE(dblock::inUse(first));
  writeFile(lockIn(first), dblock::ownerBytes({deadPid(), dblock::thisProcess().host}));
  EXPECT_FALSE(dblock::inUse(first));
}

TEST_F(DatabaseLockTest, EndOfTheHolderReleases) {
  {
    DatabaseLock lock;
    ASSERT_EQ(lock.acquire(first), std::nullopt);
  }
  EXPECT_FALSE(QFile::exists(lockIn(first)));
}

TEST_F(DatabaseLockTest, DecidesWhoseLockMayBeTakenOver) {
  const QString host = dblock::thisProcess().host;
  const qint64 me = dblock::thisProcess().pid;
  struct Case {
    const char* what;
    QByteArray content;
    qint64 ageSeconds;
    bool takenOver;
  };
  const Case cases[] = {
      {"dead process on this machine", dblock::ownerBytes({deadPid(), host}), 0, true},
      {"running process on this machine", dblock::ownerBytes({getppid(), host}), 0, false},
      {"earlier process with our id", dblock::ownerBytes({me, host}), 0, true},
      {"process on another machine", dblock::ownerBytes({deadPid(), host + "-other"}), 0, false},
      {"unfinished lock, just created", QByteArray(), 0, false},
      {"unfinished lock, long ago", QByteArray(), 3600, true},
      {"foreign text, long ago", QByteArray("\xff\xfe garbage"), 3600, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString path = lockIn(first);
    writeFile(path, c.content);
    if (c.ageSeconds) {
      QFile file(path);
      ASSERT_TRUE(file.open(QIODevice::ReadWrite));
      ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-c.ageSeconds),
                                   QFileDevice::FileModificationTime));
    }
    DatabaseLock lock;
    const auto result = lock.acquire(first);
    EXPECT_EQ(!result, c.takenOver);
    if (c.takenOver) {
      EXPECT_EQ(fileBytes(path), dblock::ownerBytes(dblock::thisProcess()));
    } else {
      EXPECT_EQ(result->text, QStringLiteral("這個資料庫正在其他視窗使用中"));
      EXPECT_EQ(fileBytes(path), c.content);  // someone else's lock is left alone
    }
    lock.release();
    QFile::remove(path);
  }
}

TEST_F(DatabaseLockTest, ReleaseLeavesALockSomeoneTookOver) {
  DatabaseLock lock;
  ASSERT_EQ(lock.acquire(first), std::nullopt);
  const QByteArray theirs = dblock::ownerBytes({getppid(), dblock::thisProcess().host});
  writeFile(lockIn(first), theirs);
  lock.release();
  EXPECT_EQ(fileBytes(lockIn(first)), theirs);
  EXPECT_FALSE(lock.held());
}

TEST_F(DatabaseLockTest, FolderInThePlaceOfTheLockRefuses) {
  ASSERT_TRUE(QDir().mkpath(lockIn(first)));
  DatabaseLock lock;
  EXPECT_TRUE(lock.acquire(first));
  EXPECT_TRUE(QFileInfo(lockIn(first)).isDir());
  EXPECT_FALSE(lock.held());
}

}  // namespace
