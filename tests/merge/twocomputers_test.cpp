// Two computers on one book, each running the program (merge_computer) with a state folder of its
// own: both sides' changes end in one book, and no "-衝突-" book is made. (A version a sync tool
// puts under the open book: tst_mergesession and mergesave_test.)
#include "SharedBook.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace {

// A data folder with the user "Test" and the book "家計簿" with a breakfast.
struct DataFolder {
  QTemporaryDir dir;
  QString book =
      sharedbook::make(dir.path(), store::makeEntry("2024/01/10", "E-餐飲", "A-現金", 60, "早餐"));
  // The memos of the book's entries, sorted (the merge may place new ones either way), and the
  // books of the user.
  std::string memosAndBooks() const {
    QStringList found;
    const auto read = store::readBookFolder(book);
    if (const auto* t = std::get_if<store::BookTables>(&read))
      for (int slot = 1; slot < t->entryCount; ++slot) found << t->entries[slot].Memo.trimmed();
    found.sort();
    return (found + QDir(QFileInfo(book).path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        .join(' ')
        .toStdString();
  }
};

// One computer's program: started, its change entered; what it said when left.
struct Computer {
  QTemporaryDir state;
  QProcess program;
  Computer(const QString& data, const QString& memo, const QStringList& wrapper = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_STATE_HOME", state.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    QStringList args = wrapper + QStringList{VARNIX_COMPUTER, data, memo};
    if (!wrapper.isEmpty()) args << "anyway";
    program.start(args.takeFirst(), args);
  }
  bool changed() {
    while (!program.canReadLine())
      if (!program.waitForReadyRead(20000)) return false;
    return program.readLine().trimmed() == "changed";
  }
  QString leave() {
    program.write("\n");
    program.closeWriteChannel();
    program.waitForFinished(20000);
    return QString::fromUtf8(program.readAll() + program.readAllStandardError());
  }
};

}  // namespace

// Both computers work in one shared folder (the other one under a name of its own, so that it
// meets this one's lock and opens the book anyway); the one that leaves last merges.
TEST(TwoComputers, TwoProgramsOverOneFolderEndInOneBook) {
  DataFolder shared;
  Computer mine(shared.dir.path(), "甲的午餐");
  ASSERT_TRUE(mine.changed()) << mine.leave().toStdString();
  Computer other(shared.dir.path(), "乙的午餐",
                 {"unshare", "--user", "--map-root-user", "--uts", "sh", "-c",
                  "hostname other-computer && exec \"$@\"", "sh"});
  if (!other.changed()) {
    const QString why = other.leave();
    if (other.program.error() == QProcess::FailedToStart || why.contains("unshare") ||
        why.contains("hostname"))
      GTEST_SKIP() << "no computer name of its own here: " << why.toStdString();
    FAIL() << why.toStdString();
  }
  const QString otherSaid = other.leave();
  EXPECT_FALSE(otherSaid.contains("said:")) << otherSaid.toStdString();
  const QString said = mine.leave();
  EXPECT_FALSE(said.contains("unscripted")) << said.toStdString();
  EXPECT_EQ(shared.memosAndBooks(), "乙的午餐 早餐 甲的午餐 家計簿");
}
