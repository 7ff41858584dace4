// Store operations on the worst-case database.
#include "book/book.h"
#include "worstcase.h"

#include "book/workspace.h"
#include "platform/dialogs.h"
#include "store/database.h"
#include "store/ledger.h"

#include <QTemporaryDir>

#include <memory>

#include <benchmark/benchmark.h>

namespace {

using OpenDatabase = worstcase::OpenBook;

void BM_LoadDatabase(benchmark::State& state) {
  OpenDatabase db;
  for (auto _ : state) {
    auto error = book::open(db.store);
    benchmark::DoNotOptimize(error);
  }
}
BENCHMARK(BM_LoadDatabase)->Unit(benchmark::kMicrosecond);

void BM_SaveDatabase(benchmark::State& state) {
  OpenDatabase db;
  for (auto _ : state) {
    auto error = book::save(db.store);
    benchmark::DoNotOptimize(error);
  }
}
BENCHMARK(BM_SaveDatabase)->Unit(benchmark::kMicrosecond);

// The work of a save without the file system: the bytes of both files.
void BM_DatabaseFileBytes(benchmark::State& state) {
  OpenDatabase db;
  for (auto _ : state) {
    QByteArray accounts =
        store::accountsFileBytes(db.store.tables().accounts, db.store.tables().accountCount);
    QByteArray entries =
        store::entriesFileBytes(db.store.tables().entries, db.store.tables().entryCount);
    benchmark::DoNotOptimize(accounts);
    benchmark::DoNotOptimize(entries);
  }
}
BENCHMARK(BM_DatabaseFileBytes)->Unit(benchmark::kMicrosecond);

// The work of a load without the file system: both files' bytes back into tables.
void BM_ReadDatabaseBytes(benchmark::State& state) {
  OpenDatabase db;
  const QByteArray accountBytes =
      store::accountsFileBytes(db.store.tables().accounts, db.store.tables().accountCount);
  const QByteArray entryBytes =
      store::entriesFileBytes(db.store.tables().entries, db.store.tables().entryCount);
  auto accounts = std::make_unique<store::AccountTableType>();
  auto entries = std::make_unique<store::EntryTableType>();
  for (auto _ : state) {
    auto a = store::readAccounts(accountBytes, *accounts);
    auto e = store::readEntries(entryBytes, *entries);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(e);
  }
}
BENCHMARK(BM_ReadDatabaseBytes)->Unit(benchmark::kMicrosecond);

void BM_LedgerOfBusiestAccount(benchmark::State& state) {
  OpenDatabase db;
  const int slot = worstcase::busiestAccount(db.store);
  for (auto _ : state) {
    auto rows = store::showLedger(db.store.tables(), slot);
    benchmark::DoNotOptimize(rows);
  }
}
BENCHMARK(BM_LedgerOfBusiestAccount)->Unit(benchmark::kMicrosecond);

void BM_AllAccountBalancesOnePass(benchmark::State& state) {
  OpenDatabase db;
  for (auto _ : state) {
    auto balances = store::allAccountBalances(db.store.tables(), worstcase::kStatementDate);
    benchmark::DoNotOptimize(balances);
  }
}
BENCHMARK(BM_AllAccountBalancesOnePass)->Unit(benchmark::kMicrosecond);

void BM_CompactHalf(benchmark::State& state) {
  OpenDatabase db;
  const store::EntryTableType original = db.store.tables().entries;
  for (auto _ : state) {
    state.PauseTiming();
    db.store.tables().entries = original;
    db.store.tables().entryCount = store::kMaxEntries + 1;
    for (int slot = 1; slot <= store::kMaxEntries; slot += 2)
      store::markDeleted(db.store.tables(), slot);
    state.ResumeTiming();
    store::compactEntries(db.store.tables());
  }
}
BENCHMARK(BM_CompactHalf)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
