// The safety net of a save on the worst-case database: the backup and the change check beside
// the bare group write that saving was before them, and the backup list a window would show.
#include "book/book.h"
#include "worstcase.h"

#include "backup/backups.h"
#include "book/workspace.h"
#include "platform/safefile.h"
#include "store/database.h"

#include <QDirIterator>
#include <QTemporaryDir>

#include <cstdio>

#include <benchmark/benchmark.h>

namespace {

struct OpenDatabase : worstcase::OpenBook {
  // Every save changes one amount, so every save keeps a backup.
  void change(int i) { store.tables().entries[1 + i % 100].Amount += 1; }
};

// Saving as it was: both files written as a group, nothing read, nothing kept.
void BM_SaveBareGroupWrite(benchmark::State& state) {
  OpenDatabase db;
  int i = 0;
  for (auto _ : state) {
    db.change(i++);
    auto error = safefile::writeGroup(
        db.store.user().databaseFolder(),
        {{store::kAccountsFile,
          store::accountsFileBytes(db.store.tables().accounts, db.store.tables().accountCount)},
         {store::kEntriesFile,
          store::entriesFileBytes(db.store.tables().entries, db.store.tables().entryCount)}});
    benchmark::DoNotOptimize(error);
  }
}
BENCHMARK(BM_SaveBareGroupWrite)->Unit(benchmark::kMicrosecond);

// SaveDatabase now: the change check, the backup with its keeping rule, the group write.
void BM_SaveWithBackupAndCheck(benchmark::State& state) {
  OpenDatabase db;
  int i = 0;
  for (auto _ : state) {
    db.change(i++);
    auto result = book::save(db.store);
    if (!result.saved() || result.notice) state.SkipWithError("the save did not go as planned");
    benchmark::DoNotOptimize(result);
  }
  // What twenty kept backups of the worst-case book take on disk.
  qint64 bytes = 0;
  QDirIterator it(backup::backupsOf(db.store.user().databaseFolder()), QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) bytes += QFileInfo(it.next()).size();
  state.counters["backups"] = double(backup::list(db.store.user().databaseFolder()).size());
  state.counters["backup_KiB"] = double(bytes) / 1024.0;
}
BENCHMARK(BM_SaveWithBackupAndCheck)->Unit(benchmark::kMicrosecond);

// The list of a book with fifty backups (a month of daily saves and twenty more).
void BM_ListFiftyBackups(benchmark::State& state) {
  OpenDatabase db;
  const QDateTime start = QDateTime::currentDateTime();
  const QString backups = backup::backupsOf(db.store.user().databaseFolder());
  QDir().mkpath(backups);
  const QByteArray accounts =
      store::accountsFileBytes(db.store.tables().accounts, db.store.tables().accountCount);
  const QByteArray entries =
      store::entriesFileBytes(db.store.tables().entries, db.store.tables().entryCount);
  for (int i = 0; i < 50; ++i) {
    const QString folder =
        backups + '/' + start.addSecs(-3600 * i).toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    QDir().mkpath(folder);
    safefile::write(folder + '/' + store::kAccountsFile, accounts);
    safefile::write(folder + '/' + store::kEntriesFile, entries);
  }
  for (auto _ : state) {
    auto listed = backup::list(db.store.user().databaseFolder());
    if (listed.size() != 50) state.SkipWithError("not fifty backups");
    benchmark::DoNotOptimize(listed);
  }
}
BENCHMARK(BM_ListFiftyBackups)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
