#include "TestFiles.h"
#include "book/workspace.h"
#include "catalogue/catalogue.h"
#include "store/booklist.h"
#include "store/dblock.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <array>
#include <memory>

// One database is open in one window at most, whichever copy of the program shows it.
namespace {

const QString kInUseElsewhere = QStringLiteral("這個資料庫正在其他視窗使用中");

// The lock helper: takes the lock of `folder` and dies holding it.
void dieHoldingTheLock(const QString& folder) {
  QProcess helper;
  helper.start(QStringLiteral(VARNIX_HELPER), {"lock", folder});
  EXPECT_TRUE(helper.waitForFinished(30000));
}

TEST(DatabaseLockTest, TakesOverOnlyTheLockOfAProcessThatHasEnded) {
  QTemporaryDir dir;
  const QString lockFile = dir.filePath("Varnix.lock");
  dieHoldingTheLock(dir.path());
  ASSERT_TRUE(QFile::exists(lockFile));
  EXPECT_FALSE(store::dblock::inUse(dir.path()));

  store::DatabaseLock lock;
  EXPECT_EQ(lock.acquire(dir.path()), std::nullopt);
  EXPECT_TRUE(store::dblock::inUse(dir.path()));
  // A running owner, of this machine or another, is never overruled: this process's lock as
  // another process would find it, and one of a process number unknown here on another machine.
  const QByteArray mine = fileBytes(lockFile);
  lock.release();
  EXPECT_FALSE(QFile::exists(lockFile));
  for (const QByteArray& owner : {mine, QByteArray("4194000\nvarnix\nsome-other-computer\n")}) {
    putFile(lockFile, owner);
    EXPECT_TRUE(store::dblock::inUse(dir.path()));
    // Another computer is named, with the time its lock was taken.
    const QString expected =
        owner == mine
            ? kInUseElsewhere
            : QStringLiteral("這個資料庫正由另一台電腦「some-other-computer」使用中（%1 起）")
                  .arg(QFileInfo(lockFile).lastModified().toString("yyyy/MM/dd HH:mm"));
    EXPECT_EQ(lock.acquire(dir.path()), refusal(expected));
    EXPECT_EQ(fileBytes(lockFile), owner);
  }
}

TEST(DatabaseLockTest, OfProcessesOpeningOneDatabaseAtOnceOnlyOneWins) {
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    QTemporaryDir dir;
    const QString start = dir.filePath("start"), book = dir.filePath("book");
    ASSERT_TRUE(QDir().mkpath(book));
    // Odd rounds race over a lock left by a dead process, which each wants to take over.
    if (round % 2 == 1) dieHoldingTheLock(book);
    std::array<QProcess, 8> helpers;
    for (QProcess& helper : helpers) {
      helper.start(QStringLiteral(VARNIX_HELPER), {"lock", book, start});
      ASSERT_TRUE(helper.waitForStarted(10000));
    }
    QThread::msleep(300);  // all of them waiting for the start
    putFile(start, "");
    int won = 0;
    for (QProcess& helper : helpers) {
      while (!helper.canReadLine()) ASSERT_TRUE(helper.waitForReadyRead(30000));
      won += helper.readLine() == "won\n";
    }
    putFile(start + ".end", "");
    for (QProcess& helper : helpers) EXPECT_TRUE(helper.waitForFinished(10000));
    EXPECT_EQ(won, 1);
  }
}

// Two windows on one installation, as two copies of the program would be.
struct Window {
  explicit Window(const QString& install) : store(install), catalogue(store) {
    store.user().setUserName(QStringLiteral("Test"));
  }
  catalogue::Catalogue::Outcome open(int row) {
    EXPECT_EQ(catalogue.load(), std::nullopt);
    catalogue.select(row);
    return catalogue.open(1000);  // cash, should it be new
  }
  book::Workspace store;
  catalogue::Catalogue catalogue;
};

TEST(DatabaseLockFlowTest, OneWindowPerDatabaseUntilItMovesOnOrEnds) {
  QTemporaryDir dir;
  const QString user = dir.path() + "/DataBase/Test/";
  const auto locked = [&](const char* name) { return QFile::exists(user + name + "/Varnix.lock"); };
  auto first = std::make_unique<Window>(dir.path());
  Window second(dir.path());
  ASSERT_TRUE(QDir().mkpath(user + "2003-11") && QDir().mkpath(user + "2003-12"));
  ASSERT_EQ(store::saveDatabaseList(second.store.user(), {"2003-11", "2003-12"}), std::nullopt);

  ASSERT_EQ(first->open(0).result, catalogue::Catalogue::Result::Opened);
  EXPECT_EQ(second.open(0).refusal, refusal(kInUseElsewhere));

  ASSERT_EQ(first->open(1).result,
            catalogue::Catalogue::Result::Opened);  // moving on frees the earlier one
  EXPECT_FALSE(locked("2003-11"));
  first.reset();  // the program ends
  EXPECT_FALSE(locked("2003-12"));
  EXPECT_EQ(second.open(1).result, catalogue::Catalogue::Result::Opened);
}

}  // namespace
