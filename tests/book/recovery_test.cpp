#include "book/recovery.h"
#include "Books.h"
#include "TestFiles.h"
#include "backup/backups.h"
#include "book/book.h"
#include "book/recoverykeeper.h"
#include "platform/safefile.h"

// The recovery file: its bytes, what a damaged one does to the book (nothing), and both answers
// to the question at opening, neither of which loses the session.
namespace {

using recovery::Snapshot;

const QDateTime kWritten(QDate(2026, 12, 7), QTime(15, 0), Qt::UTC);

// A book open and locked in its folder, its files saved, then changed in memory: entries
// enough that Main.dat takes several parts of the file.
struct OpenBook : testbooks::Books {
  OpenBook() : Books({"A-現金", "E-餐費", "I-薪資"}) {
    signIn("Test", "2003-11");
    for (int i = 0; i < 600; ++i) entry("2003/11/02", "E-餐費", "A-現金", 100 + i, "午餐");
    EXPECT_TRUE(writeTo(folder()));
    EXPECT_FALSE(store.lock().acquire(folder()));
    EXPECT_FALSE(book::open(store));
    saved = testbooks::bookBytes(store);
    store.clock().setNow(kWritten);
  }
  QString folder() const { return store.user().databaseFolder(); }
  QString file() const { return recovery::pathIn(folder()); }
  void change() {
    HistoryStep step(store.history(), store.tables(), stepnames::kEditEntry);
    store.tables().entries[7].Amount = 777777;
  }
  QByteArray saved;
};

TEST(RecoveryFileTest, BytesAreTheSideFileFormWithTablesInBase64) {
  const Snapshot snapshot{"Test", "2003-11", "abc", "", kWritten};
  const QByteArray expected =
      "varnix-recovery 1\n"
      "book\t2026-12-07T15:00:00.000Z\tlive\tuser=Test\tname=2003-11\taccounts-size=3\t"
      "accounts-sha256=ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\t"
      "entries-size=0\t"
      "entries-sha256=e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\n"
      "accounts-1\t2026-12-07T15:00:00.000Z\tlive\tdata=YWJj\n";
  EXPECT_EQ(std::get<QByteArray>(recovery::serialize(snapshot)), expected);
}

TEST(RecoveryFileTest, DamagedOrForeignFileIsRefusedAndSetAside) {
  const std::pair<const char*, std::function<QByteArray(QByteArray)>> damages[] = {
      {"cut short", [](QByteArray b) { return b.left(b.size() - 100); }},
      {"a part changed",
       [](QByteArray b) {
         char& c = b[b.lastIndexOf("data=") + 40];
         c = c == 'A' ? 'B' : 'A';
         return b;
       }},
      {"a part missing",
       [](QByteArray b) {
         const qsizetype at = b.indexOf("\nentries-2\t");
         return b.left(at + 1) + b.mid(b.indexOf('\n', at + 1) + 1);
       }},
      {"size changed", [](QByteArray b) { return b.replace("accounts-size=", "accounts-size=1"); }},
      {"not base64", [](QByteArray b) { return b.replace(b.lastIndexOf("data=") + 5, 1, "*"); }},
      {"book deleted", [](QByteArray b) { return b.replace("Z\tlive\tuser", "Z\tdeleted\tuser"); }},
      {"another book", [](QByteArray b) { return b.replace("name=2003-11", "name=2004-01"); }},
      {"another kind", [](QByteArray b) { return b.replace("varnix-recovery", "varnix-budget"); }},
      {"foreign bytes", [](QByteArray) { return QByteArray("\x89PNG\r\n\x1a\n", 8); }},
  };
  for (const auto& [what, damage] : damages) {
    SCOPED_TRACE(what);
    OpenBook book;
    book.change();
    ASSERT_FALSE(recovery::write(book.folder(), recovery::snapshotOf(book.store)));
    const QByteArray damaged = damage(fileBytes(book.file()));
    putFile(book.file(), damaged);
    ASSERT_FALSE(book::open(book.store));  // the book as last saved

    const auto found = recovery::find(book.store);
    ASSERT_TRUE(std::holds_alternative<recovery::Damaged>(found));
    const Message message = recovery::setAside(book.store, std::get<recovery::Damaged>(found));
    EXPECT_TRUE(message.text.contains(std::get<recovery::Damaged>(found).reason));
    EXPECT_TRUE(message.text.startsWith("找回檔") && message.text.contains("上次存檔"));
    EXPECT_EQ(testbooks::bookBytes(book.store), book.saved);
    EXPECT_FALSE(QFile::exists(book.file()));
    const QStringList aside = QDir(book.folder()).entryList({"Varnix.recovery.damaged-*"});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(fileBytes(book.folder() + "/" + aside.first()), damaged);
  }
}

// The session, declined, kept as a backup. (Read back whole, Main.dat in parts: reliability's
// RecoveryKillTest; its time, in the question: tst_mainform.)
TEST(RecoveryAnswerTest, DecliningKeepsTheSessionAsABackup) {
  OpenBook book;
  book.change();
  const Snapshot snapshot = recovery::snapshotOf(book.store);
  ASSERT_FALSE(recovery::write(book.folder(), snapshot));
  ASSERT_FALSE(book::open(book.store));
  EXPECT_TRUE(recovery::timeInWords(kWritten).contains(
      QString::number(kWritten.toLocalTime().date().year()) + "年12月"));

  {
    safefile::FailAfterBytes full(0);  // no room for the backup: the file stays
    const auto refused = recovery::decline(book.store, snapshot);
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->text.contains("下次開啟時會再詢問"));
    EXPECT_TRUE(QFile::exists(book.file()));
    EXPECT_TRUE(backup::list(book.folder()).empty());
  }
  EXPECT_FALSE(recovery::decline(book.store, snapshot));
  EXPECT_FALSE(QFile::exists(book.file()));
  const auto backups = backup::list(book.folder());
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(fileBytes(backups[0].folder + "/Accounts.dat"), snapshot.accounts);
  EXPECT_EQ(fileBytes(backups[0].folder + "/Main.dat"), snapshot.entries);
  EXPECT_EQ(testbooks::bookBytes(book.store), book.saved);
}

TEST(RecoveryKeeperTest, WritesOnlyWhatDiffersFromTheSavedFilesAndOnlyWithTheLock) {
  OpenBook book;
  Snapshot crashed = recovery::snapshotOf(book.store);
  crashed.entries += QByteArray(128, 'x');
  ASSERT_FALSE(recovery::write(book.folder(), crashed));
  const QByteArray waiting = fileBytes(book.file());
  RecoveryKeeper keeper(book.store);
  keeper.writeNow();
  keeper.discard();
  EXPECT_EQ(fileBytes(book.file()), waiting) << "a crashed session's file waits for its answer";
  QFile::remove(book.file());

  book.change();
  keeper.writeNow();
  EXPECT_TRUE(QFile::exists(book.file()));
  ASSERT_FALSE(book.store.undo());
  keeper.writeNow();
  EXPECT_FALSE(QFile::exists(book.file())) << "undone back to the saved files";

  ASSERT_FALSE(book.store.redo());
  book.store.lock().release();
  keeper.writeNow();
  EXPECT_FALSE(QFile::exists(book.file())) << "another program may hold the book";

  ASSERT_FALSE(book.store.lock().acquire(book.folder()));
  book.store.setReadOnly(true);
  keeper.writeNow();
  EXPECT_FALSE(QFile::exists(book.file())) << "read-only, nothing of the session is its own";
  book.store.setReadOnly(false);
  keeper.writeNow();
  ASSERT_TRUE(QFile::exists(book.file()));
  keeper.discard();
  EXPECT_FALSE(QFile::exists(book.file()));
}

}  // namespace
