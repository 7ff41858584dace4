#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "backup/backups.h"
#include "platform/safefile.h"
#include "states.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

// A save cut short is finished or undone at the next opening: the files are those of one save.
namespace {

QStringList namesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden);
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
    EXPECT_EQ(namesIn(dir.path()), (QStringList{"A", "B"}));
  }
}

TEST(KilledSaveTest, FilesAfterAKillAreOneOfTheSavedStates) {
  const int rounds = std::max(qEnvironmentVariableIntValue("VARNIX_KILL_ROUNDS"), 30);
  const unsigned seed = qEnvironmentVariableIsSet("VARNIX_KILL_SEED")
                            ? unsigned(qEnvironmentVariableIntValue("VARNIX_KILL_SEED"))
                            : std::random_device{}();
  std::mt19937 random(seed);
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 reader(dir.path(), dialogs);
  std::vector<reliability::Files> saved;
  for (int k = 0; k < 3; ++k) {
    reliability::fillState(reader, k);
    saved.push_back(reliability::filesOf(reader));
  }
  reader.UserName = QStringLiteral("Test");
  reader.DataBaseName = QStringLiteral("2003-11");
  const QString folder = reader.databaseFolder();
  ASSERT_TRUE(QDir().mkpath(folder));

  size_t backupsSeen = 0;
  for (int round = 0; round < rounds; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round << ", seed " << seed);
    QProcess child;
    child.start(QStringLiteral(VARNIX_SAVE_LOOP), {dir.path(), QString::number(saved.size())});
    ASSERT_TRUE(child.waitForReadyRead(30000)) << child.readAllStandardError().toStdString();
    QThread::usleep(random() % 20000);
    child.kill();  // SIGKILL: no handler runs, nothing is flushed
    ASSERT_TRUE(child.waitForFinished(10000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "the save loop ended by itself";

    ASSERT_EQ(LoadDatabase(reader), std::nullopt);
    const reliability::Files onDisk = reliability::filesIn(folder);
    EXPECT_NE(std::find(saved.begin(), saved.end(), onDisk), saved.end())
        << "the files are no single save";
    EXPECT_EQ(reliability::filesOf(reader), onDisk);
    EXPECT_EQ(namesIn(folder), (QStringList{"Accounts.dat", "Main.dat"}));
    // Every backup listed is whole: one of the saved states.
    const auto backups = backup::list(folder);
    EXPECT_LE(backups.size(), size_t(backup::kKeepLatest + 1));
    for (const backup::BackupInfo& kept : backups) {
      EXPECT_NE(std::find(saved.begin(), saved.end(), reliability::filesIn(kept.folder)),
                saved.end())
          << "backup " << kept.folder.toStdString() << " is no single save";
    }
    backupsSeen += backups.size();
  }
  EXPECT_TRUE(dialogs.shown().empty());
  EXPECT_GT(backupsSeen, 0u);
}

}  // namespace
