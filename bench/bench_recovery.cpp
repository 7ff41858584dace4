// The recovery write that follows a change to the worst-case database (3000 entries, 100
// accounts): the tables as file bytes, the side file, the safe write. It runs on a timer after
// the typing, at most every two seconds; this is what each of those writes costs.
#include "worstcase.h"

#include "book/recovery.h"
#include "book/workspace.h"
#include "store/database.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using OpenDatabase = worstcase::OpenBook;

void BM_RecoveryWrite(benchmark::State& state) {
  OpenDatabase db;
  int i = 0;
  for (auto _ : state) {
    db.store.tables().entries[1 + i++ % 100].Amount += 1;
    if (auto error =
            recovery::write(db.store.user().databaseFolder(), recovery::snapshotOf(db.store))) {
      state.SkipWithError(qPrintable(*error));
      return;
    }
  }
}
BENCHMARK(BM_RecoveryWrite)->Unit(benchmark::kMillisecond);

// Reading it back at the next opening, checks and all.
void BM_RecoveryRead(benchmark::State& state) {
  OpenDatabase db;
  recovery::write(db.store.user().databaseFolder(), recovery::snapshotOf(db.store));
  for (auto _ : state) benchmark::DoNotOptimize(recovery::find(db.store));
}
BENCHMARK(BM_RecoveryRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
