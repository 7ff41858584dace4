#include "ScriptedDialogs.h"
#include "states.h"
#include "store/database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <vector>

// A program killed while it saves (power cut, task manager) leaves files that open and equal,
// file by file, what one of its saves wrote.
namespace {

QByteArray bytesOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

int envOr(const char* name, int fallback) {
  bool ok = false;
  const int value = qEnvironmentVariableIntValue(name, &ok);
  return ok && value > 0 ? value : fallback;
}

int indexOf(const std::vector<QByteArray>& all, const QByteArray& bytes) {
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i] == bytes) return static_cast<int>(i);
  }
  return -1;
}

TEST(KilledSaveTest, FilesAfterAKillAreOneOfTheSavedStates) {
  const int rounds = envOr("VARNIX_KILL_ROUNDS", 30);
  const int states = 3;
  const unsigned seed = static_cast<unsigned>(envOr("VARNIX_KILL_SEED", std::random_device{}()));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delayMicroseconds(0, 20000);
  RecordProperty("seed", static_cast<int>(seed));

  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ScriptedDialogs dialogs;
  std::vector<QByteArray> accountFiles;
  std::vector<QByteArray> entryFiles;
  for (int k = 0; k < states; ++k) {
    Module1 state(dir.path(), dialogs);
    reliability::fillState(state, k);
    accountFiles.push_back(reliability::filesOf(state).accounts);
    entryFiles.push_back(reliability::filesOf(state).entries);
  }

  Module1 reader(dir.path(), dialogs);
  reader.UserName = QStringLiteral("Test");
  reader.DataBaseName = QStringLiteral("2003-11");
  const QString folder = reader.databaseFolder();
  ASSERT_TRUE(QDir().mkpath(folder));

  int killed = 0;
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
    ++killed;

    // A save cut short is completed or undone when the database is opened next.
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    if (left.size() > 2) ++interrupted;
    ASSERT_EQ(LoadDatabase(reader), std::nullopt);

    const int state = indexOf(accountFiles, bytesOf(folder + QStringLiteral("/Accounts.dat")));
    ASSERT_GE(state, 0) << "Accounts.dat is none of the saved states";
    ASSERT_EQ(bytesOf(folder + QStringLiteral("/Main.dat")), entryFiles[state])
        << "Main.dat belongs to another save than Accounts.dat";
    EXPECT_EQ(reliability::filesOf(reader).accounts, accountFiles[state]);
    EXPECT_EQ(reliability::filesOf(reader).entries, entryFiles[state]);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("Accounts.dat"), QStringLiteral("Main.dat")}));
  }
  EXPECT_TRUE(dialogs.shown().empty());
  RecordProperty("killed", killed);
  RecordProperty("interrupted", interrupted);
  std::printf("killed %d saves, %d of them left a save to finish (seed %u)\n", killed, interrupted,
              seed);
}

}  // namespace
