#include "Books.h"
#include "backup/backups.h"
#include "book/book.h"
#include "book/recovery.h"
#include "catalogue/catalogue.h"
#include "platform/safefile.h"
#include "platform/textfile.h"
#include "states.h"
#include "store/booklist.h"
#include "store/dblock.h"
#include "users/users.h"

#include <QProcess>
#include <QThread>

#include <algorithm>
#include <array>
#include <memory>
#include <random>

// A folder where a file belongs, a path through a plain file, a name too long, a disk full in
// the middle of a write, a save or a session killed at any moment, programs racing for one
// database: nothing on disk is left half-written, nothing in memory changes, nothing is lost,
// and the person is told why.
namespace {

using namespace reliability;
using testbooks::bookBytes;

void block(const QString& path, bool withFolder) {  // a folder or a plain file takes the place
  QDir(path).removeRecursively();
  QFile::remove(path);
  withFolder ? void(QDir().mkpath(path)) : putFile(path, "plain");
}

// A session: its user with a password, and the tables of a database.
struct Session : testbooks::Books {
  Session() {
    signIn("Test", "2003-11");
    store.user().setPasswordLine("839");
    putFile(store.user().userFolder() + "/DataBase.pwd", "003800330039\r\n");
    fillState(store, 0);
  }
};

TEST(SaveFaultTest, FailedSaveKeepsTheEarlierFilesAndTheTables) {
  // What goes wrong, and the bytes the disk takes (-1, the seam's own resting value: room enough).
  const std::tuple<const char*, std::function<void(book::Workspace&)>, qint64> faults[] = {
      {"folder for Main.dat",
       [](book::Workspace& s) { block(s.user().databaseFolder() + "/Main.dat", true); }, -1},
      {"database folder a plain file",
       [](book::Workspace& s) { block(s.user().databaseFolder(), false); }, -1},
      {"database name too long",
       [](book::Workspace& s) { s.user().setDatabaseName(QString(100, u'中')); }, -1},
      {"disk full in Main.dat", {}, 10000},
  };
  for (const auto& [what, fault, cut] : faults) {
    SCOPED_TRACE(what);
    Session s;
    ASSERT_EQ(book::save(s.store).refusal, std::nullopt);
    fillState(s.store, 1);  // the changes of a session, not yet saved
    const auto changed = bookBytes(s.store);
    if (fault) fault(s.store);
    const auto before = treeOf(s.dir.path());
    const safefile::FailAfterBytes full(cut);
    const auto refusal = book::save(s.store).refusal;
    EXPECT_TRUE(warns(refusal, QStringLiteral("資料庫沒有存好：")));
    EXPECT_EQ(treeOf(s.dir.path()), before);
    EXPECT_EQ(bookBytes(s.store), changed);
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
    const safefile::FailAfterBytes full(cut);
    const auto error = textfile::writeLines(path, {"家計"});
    ASSERT_TRUE(error) << path.toStdString();
    EXPECT_TRUE(error->startsWith(QStringLiteral("無法寫入"))) << error->toStdString();
    EXPECT_EQ(treeOf(dir.path()), before);
  }
}

// A password that cannot be written is not changed, and the person is told why.
TEST(TextWriteFaultTest, FailedPasswordWriteChangesNothingAndSaysWhy) {
  Session s;
  const auto before = treeOf(s.dir.path());
  const safefile::FailAfterBytes full(4);
  const auto refused = users::setPassword(s.store, "839", "abcd");
  EXPECT_EQ(s.store.user().passwordLine(), QStringLiteral("839"));
  EXPECT_TRUE(warns(refused, QStringLiteral("密碼沒有變更：")));
  EXPECT_EQ(treeOf(s.dir.path()), before);
}

TEST(GroupWriteTest, CrashAtEveryStepIsFinishedOrUndone) {
  // The two files as the crash left them, what lies beside them, the generation that wins.
  const std::tuple<QByteArray, QByteArray, QStringList, bool> moments[] = {
      {"old A", "old B", {"A.new"}, false},                  // writing the new files
      {"new A", "old B", {"B.new", "Varnix.saving"}, true},  // one file replaced
      {"new A", "new B", {"Varnix.saving"}, true},           // the marker not yet gone
  };
  for (const auto& [a, b, left, newGeneration] : moments) {
    SCOPED_TRACE(left.join(u',').toStdString());
    QTemporaryDir dir;
    putFile(dir.filePath("A"), a);
    putFile(dir.filePath("B"), b);
    for (const QString& name : left) {
      putFile(dir.filePath(name),
              name.endsWith(".new") ? "new " + name.left(1).toLatin1() : "A\r\nB\r\n");
    }
    ASSERT_EQ(safefile::finishGroup(dir.path(), {"A", "B"}), std::nullopt);
    const QByteArray generation = newGeneration ? "new " : "old ";
    EXPECT_EQ(fileBytes(dir.filePath("A")) + fileBytes(dir.filePath("B")),
              generation + "A" + generation + "B");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"A", "B"}));
  }
}

TEST(KilledSaveTest, FilesAfterAKillAreOneOfTheSavedStates) {
  const int asked = qEnvironmentVariableIntValue("VARNIX_KILL_ROUNDS");  // scripts/fuzz: more
  const int rounds = asked > 0 ? asked : 30;
  const unsigned seed = qEnvironmentVariableIsSet("VARNIX_KILL_SEED")
                            ? unsigned(qEnvironmentVariableIntValue("VARNIX_KILL_SEED"))
                            : std::random_device{}();
  std::mt19937 random(seed);
  testbooks::Books b;
  book::Workspace& reader = b.store;
  std::vector<QByteArray> saved;
  for (int k = 0; k < 3; ++k) {
    fillState(reader, k);
    saved.push_back(bookBytes(reader));
  }
  b.signIn("Test", "2003-11");
  const QString folder = reader.user().databaseFolder();

  size_t backupsSeen = 0;
  for (int round = 0; round < rounds; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round << ", seed " << seed);
    QProcess child;
    child.start(QStringLiteral(VARNIX_HELPER),
                {"save-loop", b.dir.path(), QString::number(saved.size())});
    ASSERT_TRUE(child.waitForReadyRead(30000)) << child.readAllStandardError().toStdString();
    QThread::usleep(random() % 20000);
    child.kill();  // SIGKILL: no handler runs, nothing is flushed
    ASSERT_TRUE(child.waitForFinished(10000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "the save loop ended by itself";

    ASSERT_EQ(book::open(reader), std::nullopt);
    const QByteArray onDisk = filesIn(folder);
    EXPECT_NE(std::find(saved.begin(), saved.end(), onDisk), saved.end())
        << "the files are no single save";
    EXPECT_EQ(bookBytes(reader), onDisk);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"Accounts.dat", "Main.dat"}));
    // Every backup listed is whole: one of the saved states.
    const auto backups = backup::list(folder);
    EXPECT_LE(backups.size(), size_t(backup::kKeepLatest + 1));
    for (const backup::BackupInfo& kept : backups) {
      EXPECT_NE(std::find(saved.begin(), saved.end(), filesIn(kept.folder)), saved.end())
          << "backup " << kept.folder.toStdString() << " is no single save";
    }
    backupsSeen += backups.size();
  }
  EXPECT_GT(backupsSeen, 0u);
}

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
  // A running owner is never overruled (one of this machine: the race below and
  // DatabaseLockFlowTest); another computer's, of a process number unknown here, is named with
  // the time its lock was taken. Taking another folder lets the first one go.
  QTemporaryDir next;
  EXPECT_EQ(lock.acquire(next.path()), std::nullopt);
  EXPECT_FALSE(QFile::exists(lockFile));
  const QByteArray other("4194000\nvarnix\nsome-other-computer\n");
  putFile(lockFile, other);
  EXPECT_TRUE(store::dblock::inUse(dir.path()));
  EXPECT_EQ(lock.acquire(dir.path()),
            refusal(QStringLiteral("這個資料庫正由另一台電腦「some-other-computer」使用中（%1 起）")
                        .arg(QFileInfo(lockFile).lastModified().toString("yyyy/MM/dd HH:mm"))));
  EXPECT_EQ(fileBytes(lockFile), other);
}

TEST(DatabaseLockTest, OfProcessesOpeningOneDatabaseAtOnceOnlyOneWins) {
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    QTemporaryDir dir;
    const QString start = dir.filePath("start"), book = dir.filePath("book");
    ASSERT_TRUE(QDir().mkpath(book));
    // Odd rounds race over a lock left by a dead process, which each wants to take over.
    if (round % 2 == 1) dieHoldingTheLock(book);
    std::array<QProcess, 2> helpers;
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

// One database is open in one window at most, whichever copy of the program shows it.
TEST(DatabaseLockFlowTest, OneWindowPerDatabaseUntilItMovesOnOrEnds) {
  QTemporaryDir dir;
  const QString user = dir.path() + "/DataBase/Test/";
  auto first = std::make_unique<Window>(dir.path());
  Window second(dir.path());
  ASSERT_TRUE(QDir().mkpath(user + "2003-11") && QDir().mkpath(user + "2003-12"));
  ASSERT_EQ(store::saveDatabaseList(second.store.user(), {"2003-11", "2003-12"}), std::nullopt);

  ASSERT_EQ(first->open(0).result, catalogue::Catalogue::Result::Opened);
  EXPECT_EQ(second.open(0).refusal, refusal(QStringLiteral("這個資料庫正在其他視窗使用中")));

  ASSERT_EQ(first->open(1).result,
            catalogue::Catalogue::Result::Opened);  // moving on frees the earlier one
  EXPECT_FALSE(store::dblock::inUse(user + "2003-11"));
  first.reset();  // the program ends
  EXPECT_FALSE(store::dblock::inUse(user + "2003-12"));
  EXPECT_EQ(second.open(1).result, catalogue::Catalogue::Result::Opened);
}

// A real session killed with SIGKILL after its changes: the next opening finds them whole in
// the recovery file (Main.dat in several of its parts), byte for byte. (A damaged file:
// book/recovery_test.cpp.)
TEST(RecoveryKillTest, RestartBringsTheChangesBackByteForByte) {
  testbooks::Books b;
  b.signIn("Test", "2003-11");
  const QString folder = b.store.user().databaseFolder();
  fillState(b.store, 0);
  ASSERT_TRUE(b.writeTo(folder));
  const QByteArray saved = bookBytes(b.store);  // the book's files before the session
  sessionChanges(b.store);
  const QByteArray expected = bookBytes(b.store);  // the session's tables when it was killed

  QProcess child;
  child.start(QStringLiteral(VARNIX_HELPER), {"session", b.dir.path()});
  ASSERT_TRUE(child.waitForReadyRead(30000)) << child.readAllStandardError().toStdString();
  EXPECT_EQ(child.readAllStandardOutput(), "written\n");
  child.kill();  // SIGKILL: no handler runs, nothing is flushed
  ASSERT_TRUE(child.waitForFinished(10000) && child.exitStatus() == QProcess::CrashExit);
  // The next program opens the book as its files hold it, and finds the session's changes.
  ASSERT_FALSE(b.store.lock().acquire(folder) || book::open(b.store));
  EXPECT_EQ(filesIn(folder), saved);
  EXPECT_EQ(bookBytes(b.store), saved);
  const auto found = recovery::find(b.store);
  ASSERT_TRUE(std::holds_alternative<recovery::Snapshot>(found));
  // Its bytes are the session's (taken back and saved: tst_mainform's recovery question).
  const recovery::Snapshot& kept = std::get<recovery::Snapshot>(found);
  EXPECT_EQ(kept.accounts + "|" + kept.entries, expected);
  EXPECT_GT(kept.entries.size(), 2 * 32 * 1024);
}

}  // namespace
