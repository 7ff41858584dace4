// Undo and redo on the worst-case database: the time of each, and the memory of a full
// history of the largest steps.
#include "worstcase.h"

#include "book/workspace.h"
#include "history/History.h"
#include "history/steps.h"
#include "maintenance/bulkdelete.h"
#include "maintenance/closing.h"

#include <QDir>

#include <malloc.h>

#include <functional>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

struct FullBook {
  book::Workspace store{QDir::tempPath()};
  FullBook() { worstcase::fill(store); }
};

// The commands whose steps are the largest: half of the book deleted, and a closing at the
// end of the year (every entry goes, each asset and liability gets its carried entry).
void halfDeleted(book::Workspace& store) {
  maintenance::deleteByDate(store, maintenance::DeleteRule::Within, QStringLiteral("2025/01/01"),
                            QStringLiteral("2025/07/01"));
}
void closedAtYearEnd(book::Workspace& store) {
  maintenance::closeBooksAt(store, worstcase::kStatementDate);
}

void timeUndo(benchmark::State& state, const std::function<void(book::Workspace&)>& command) {
  FullBook book;
  const int before = book.store.tables().entriesInUse();
  command(book.store);
  state.counters["entries_before"] = before;
  state.counters["entries_after"] = book.store.tables().entriesInUse();
  for (auto _ : state) {
    auto undone = book.store.undo();
    benchmark::DoNotOptimize(undone);
    state.PauseTiming();
    if (undone || book.store.redo()) state.SkipWithError("the step did not fit");
    state.ResumeTiming();
  }
}

void timeRedo(benchmark::State& state, const std::function<void(book::Workspace&)>& command) {
  FullBook book;
  command(book.store);
  for (auto _ : state) {
    state.PauseTiming();
    if (book.store.undo()) state.SkipWithError("the step did not fit");
    state.ResumeTiming();
    auto redone = book.store.redo();
    benchmark::DoNotOptimize(redone);
  }
}

void BM_UndoHalfDeleted(benchmark::State& state) { timeUndo(state, halfDeleted); }
void BM_RedoHalfDeleted(benchmark::State& state) { timeRedo(state, halfDeleted); }
void BM_UndoClosing(benchmark::State& state) { timeUndo(state, closedAtYearEnd); }
void BM_RedoClosing(benchmark::State& state) { timeRedo(state, closedAtYearEnd); }
BENCHMARK(BM_UndoHalfDeleted)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedoHalfDeleted)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoClosing)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedoClosing)->Unit(benchmark::kMicrosecond);

// What a command pays for its step: the tables kept before it and the script made after it.
void BM_RecordHalfDeleted(benchmark::State& state) {
  FullBook book;
  const history::Tables full = history::tablesOf(book.store.tables());
  halfDeleted(book.store);
  for (auto _ : state) {
    auto kept = history::tablesOf(book.store.tables());
    auto step = history::makeStep(full, book.store.tables(), stepnames::kBulkDelete);
    benchmark::DoNotOptimize(kept);
    benchmark::DoNotOptimize(step);
  }
}
BENCHMARK(BM_RecordHalfDeleted)->Unit(benchmark::kMicrosecond);

// A hundred of the largest steps on a full book, one after another: a closing that takes all
// 3000 entries, the book imported full again, a bulk delete of every entry, the import again,
// and so on. Reports the history's own count of its bytes and what the heap grew by.
void BM_HundredLargestSteps(benchmark::State& state) {
  for (auto _ : state) {
    FullBook book;
    book::Workspace& store = book.store;
    const history::Tables full = history::tablesOf(store.tables());
    const auto heapBefore = mallinfo2().uordblks;
    for (int step = 0; step < History::kDepth; ++step) {
      if (step % 2 == 1) {
        const HistoryStep imported(store.history(), store.tables(), stepnames::kImport);
        for (size_t k = 0; store.tables().entryCount <= store::kMaxEntries; ++k) {
          store.tables().entries[store.tables().entryCount++] = full.entries[k];
        }
      } else if (step % 4 == 0) {
        closedAtYearEnd(store);
      } else {
        maintenance::deleteByDate(store, maintenance::DeleteRule::Outside,
                                  QStringLiteral("2030/01/01"), QStringLiteral("2030/01/01"));
      }
    }
    const auto heapAfter = mallinfo2().uordblks;
    state.counters["steps"] = store.history().undoCount();
    state.counters["history_MiB"] = static_cast<double>(store.history().bytes()) / (1 << 20);
    state.counters["heap_MiB"] = static_cast<double>(heapAfter - heapBefore) / (1 << 20);
  }
}
BENCHMARK(BM_HundredLargestSteps)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
