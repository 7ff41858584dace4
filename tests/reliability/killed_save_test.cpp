#include "ScriptedDialogs.h"
#include "platform/safefile.h"
#include "states.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

// A save cut short (power cut, task manager) is finished or undone at the next opening: the
// files then equal, file by file, what one save wrote.
namespace {

using reliability::bytesOf;
using reliability::Files;
using reliability::put;

TEST(GroupWriteTest, CrashAtEveryStepIsFinishedOrUndone) {
  const struct {
    const char* what;
    QByteArray a, b;   // the two files as the crash left them
    QStringList left;  // what lies beside them
    bool newGeneration;
  } moments[] = {
      {"while writing the first new file", "old A", "old B", {"A.new"}, false},
      {"while writing the second new file", "old A", "old B", {"A.new", "B.new"}, false},
      {"after the marker", "old A", "old B", {"A.new", "B.new", "Varnix.saving"}, true},
      {"after the first replacement", "new A", "old B", {"B.new", "Varnix.saving"}, true},
      {"before the marker went", "new A", "new B", {"Varnix.saving"}, true},
  };
  for (const auto& moment : moments) {
    SCOPED_TRACE(moment.what);
    QTemporaryDir dir;
    put(dir.filePath("A"), moment.a);
    put(dir.filePath("B"), moment.b);
    for (const QString& name : moment.left) {
      put(dir.filePath(name),
          name.endsWith(".new") ? "new " + name.left(1).toLatin1() : "A\r\nB\r\n");
    }
    ASSERT_EQ(safefile::finishGroup(dir.path(), {"A", "B"}), std::nullopt);
    const QByteArray generation = moment.newGeneration ? "new " : "old ";
    EXPECT_EQ(bytesOf(dir.filePath("A")), generation + "A");
    EXPECT_EQ(bytesOf(dir.filePath("B")), generation + "B");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"A", "B"}));
  }
}

int envOr(const char* name, int fallback) {
  const int value = qEnvironmentVariableIntValue(name);
  return value > 0 ? value : fallback;
}

TEST(KilledSaveTest, FilesAfterAKillAreOneOfTheSavedStates) {
  const int rounds = envOr("VARNIX_KILL_ROUNDS", 30);
  const int states = 3;
  const unsigned seed = static_cast<unsigned>(envOr("VARNIX_KILL_SEED", std::random_device{}()));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delayMicroseconds(0, 20000);
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 reader(dir.path(), dialogs);
  std::vector<Files> saved;
  for (int k = 0; k < states; ++k) {
    reliability::fillState(reader, k);
    saved.push_back(reliability::filesOf(reader));
  }
  reader.UserName = QStringLiteral("Test");
  reader.DataBaseName = QStringLiteral("2003-11");
  const QString folder = reader.databaseFolder();
  ASSERT_TRUE(QDir().mkpath(folder));

  int interrupted = 0;
  for (int round = 0; round < rounds; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round << ", seed " << seed);
    QProcess child;
    child.start(QStringLiteral(VARNIX_SAVE_LOOP), {dir.path(), QString::number(states)});
    ASSERT_TRUE(child.waitForStarted(10000));
    ASSERT_TRUE(child.waitForReadyRead(30000)) << child.readAllStandardError().toStdString();
    ASSERT_EQ(child.readAllStandardOutput(), QByteArray("ready\n"));
    QThread::usleep(static_cast<unsigned long>(delayMicroseconds(random)));
    child.kill();  // SIGKILL: no handler runs, nothing is flushed
    ASSERT_TRUE(child.waitForFinished(10000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "the save loop ended by itself";

    // A save cut short is finished or undone when the database is opened next.
    if (QDir(folder).entryList(QDir::Files | QDir::Hidden).size() > 2) ++interrupted;
    ASSERT_EQ(LoadDatabase(reader), std::nullopt);
    const Files onDisk{bytesOf(folder + QStringLiteral("/Accounts.dat")),
                       bytesOf(folder + QStringLiteral("/Main.dat"))};
    EXPECT_NE(std::find(saved.begin(), saved.end(), onDisk), saved.end())
        << "the files are no single save";
    EXPECT_EQ(reliability::filesOf(reader), onDisk);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("Accounts.dat"), QStringLiteral("Main.dat")}));
  }
  EXPECT_TRUE(dialogs.shown().empty());
  std::printf("killed %d saves, %d of them left a save to finish (seed %u)\n", rounds, interrupted,
              seed);
}

}  // namespace
