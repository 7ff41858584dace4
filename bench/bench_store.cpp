// Store operations on the worst-case database.
#include "book/book.h"
#include "worstcase.h"

#include "platform/dialogs.h"
#include "book/workspace.h"
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
    QByteArray accounts = accountsFileBytes(db.store.tables().accounts, db.store.tables().accountCount);
    QByteArray entries = entriesFileBytes(db.store.tables().entries, db.store.tables().entryCount);
    benchmark::DoNotOptimize(accounts);
    benchmark::DoNotOptimize(entries);
  }
}
BENCHMARK(BM_DatabaseFileBytes)->Unit(benchmark::kMicrosecond);

// The work of a load without the file system: both files' bytes back into tables.
void BM_ReadDatabaseBytes(benchmark::State& state) {
  OpenDatabase db;
  const QByteArray accountBytes = accountsFileBytes(db.store.tables().accounts, db.store.tables().accountCount);
  const QByteArray entryBytes = entriesFileBytes(db.store.tables().entries, db.store.tables().entryCount);
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
    auto rows = showLedger(db.store.tables(), slot);
    benchmark::DoNotOptimize(rows);
  }
}
BENCHMARK(BM_LedgerOfBusiestAccount)->Unit(benchmark::kMicrosecond);

void BM_AllAccountBalancesOnePass(benchmark::State& state) {
  OpenDatabase db;
  for (auto _ : state) {
    auto balances = allAccountBalances(db.store.tables(), worstcase::kStatementDate);
    benchmark::DoNotOptimize(balances);
  }
}
BENCHMARK(BM_AllAccountBalancesOnePass)->Unit(benchmark::kMicrosecond);

void BM_CompactHalf(benchmark::State& state) {
  OpenDatabase db;
  const EntryTableType original = db.store.tables().entries;
  for (auto _ : state) {
    state.PauseTiming();
    db.store.tables().entries = original;
    db.store.tables().entryCount = kMaxEntries + 1;
    for (int slot = 1; slot <= kMaxEntries; slot += 2) markDeleted(db.store.tables(), slot);
    state.ResumeTiming();
    compactEntries(db.store.tables());
  }
}
BENCHMARK(BM_CompactHalf)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
