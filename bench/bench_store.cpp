// Store operations on the worst-case database.
#include "worstcase.h"

#include "platform/dialogs.h"
#include "store/Module1.h"
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
    auto error = LoadDatabase(db.store);
    benchmark::DoNotOptimize(error);
  }
}
BENCHMARK(BM_LoadDatabase)->Unit(benchmark::kMicrosecond);

void BM_SaveDatabase(benchmark::State& state) {
  OpenDatabase db;
  for (auto _ : state) {
    auto error = SaveDatabase(db.store);
    benchmark::DoNotOptimize(error);
  }
}
BENCHMARK(BM_SaveDatabase)->Unit(benchmark::kMicrosecond);

// The work of a save without the file system: the bytes of both files.
void BM_DatabaseFileBytes(benchmark::State& state) {
  OpenDatabase db;
  for (auto _ : state) {
    QByteArray accounts = accountsFileBytes(db.store.AccountTable, db.store.AccountCount);
    QByteArray entries = entriesFileBytes(db.store.EntryTable, db.store.EntryCount);
    benchmark::DoNotOptimize(accounts);
    benchmark::DoNotOptimize(entries);
  }
}
BENCHMARK(BM_DatabaseFileBytes)->Unit(benchmark::kMicrosecond);

// The work of a load without the file system: both files' bytes back into tables.
void BM_ReadDatabaseBytes(benchmark::State& state) {
  OpenDatabase db;
  const QByteArray accountBytes = accountsFileBytes(db.store.AccountTable, db.store.AccountCount);
  const QByteArray entryBytes = entriesFileBytes(db.store.EntryTable, db.store.EntryCount);
  auto accounts = std::make_unique<AccountTableType>();
  auto entries = std::make_unique<EntryTableType>();
  for (auto _ : state) {
    auto a = readAccounts(accountBytes, *accounts);
    auto e = readEntries(entryBytes, *entries);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(e);
  }
}
BENCHMARK(BM_ReadDatabaseBytes)->Unit(benchmark::kMicrosecond);

void BM_LedgerOfBusiestAccount(benchmark::State& state) {
  OpenDatabase db;
  const int slot = worstcase::busiestAccount(db.store);
  for (auto _ : state) {
    auto rows = ShowLedger(db.store, slot);
    benchmark::DoNotOptimize(rows);
  }
}
BENCHMARK(BM_LedgerOfBusiestAccount)->Unit(benchmark::kMicrosecond);

void BM_AllAccountBalancesOnePass(benchmark::State& state) {
  OpenDatabase db;
  for (auto _ : state) {
    auto balances = allAccountBalances(db.store, worstcase::kStatementDate);
    benchmark::DoNotOptimize(balances);
  }
}
BENCHMARK(BM_AllAccountBalancesOnePass)->Unit(benchmark::kMicrosecond);

void BM_CompactHalf(benchmark::State& state) {
  OpenDatabase db;
  const EntryTableType original = db.store.EntryTable;
  for (auto _ : state) {
    state.PauseTiming();
    db.store.EntryTable = original;
    db.store.EntryCount = kMaxEntries + 1;
    for (int slot = 1; slot <= kMaxEntries; slot += 2) markDeleted(db.store, slot);
    state.ResumeTiming();
    CompactEntries(db.store);
  }
}
BENCHMARK(BM_CompactHalf)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
