#include "Books.h"
#include "book/book.h"
#include "book/recovery.h"
#include "states.h"

#include <QProcess>

// A real session killed with SIGKILL after its changes: the next opening finds them whole in
// the recovery file, byte for byte. (A damaged file: book/recovery_test.cpp.)
namespace {

using namespace reliability;

struct KilledSession : testbooks::Books {
  Files saved;     // the book's files before the session
  Files expected;  // the session's tables when it was killed

  KilledSession() {
    signIn("Test", "2003-11");
    fillState(store, 0);
    EXPECT_TRUE(writeTo(store.user().databaseFolder()));
    saved = filesOf(store);
    sessionChanges(store);
    expected = filesOf(store);

    QProcess child;
    child.start(QStringLiteral(VARNIX_HELPER), {"session", dir.path()});
    EXPECT_TRUE(child.waitForReadyRead(30000)) << child.readAllStandardError().toStdString();
    EXPECT_EQ(child.readAllStandardOutput(), "written\n");
    child.kill();  // SIGKILL: no handler runs, nothing is flushed
    EXPECT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    // The next program opens the book as its files hold it.
    EXPECT_FALSE(store.lock().acquire(store.user().databaseFolder()));
    EXPECT_FALSE(book::open(store));
  }
};

TEST(RecoveryKillTest, RestartBringsTheChangesBackByteForByte) {
  KilledSession killed;
  EXPECT_EQ(filesIn(killed.store.user().databaseFolder()), killed.saved);
  EXPECT_EQ(filesOf(killed.store), killed.saved);
  const auto found = recovery::find(killed.store);
  ASSERT_TRUE(std::holds_alternative<recovery::Snapshot>(found));
  recovery::restore(killed.store, std::get<recovery::Snapshot>(found));
  EXPECT_EQ(filesOf(killed.store), killed.expected);
  ASSERT_FALSE(book::save(killed.store).refusal);
  EXPECT_EQ(filesIn(killed.store.user().databaseFolder()), killed.expected);
}

}  // namespace
