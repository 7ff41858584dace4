// Opening the worst-case database into the main window, as the user waits for it.
#include "book/book.h"
#include "worstcase.h"

#include "book/workspace.h"
#include "platform/dialogs.h"
#include "store/database.h"
#include "ui/main/MainForm.h"

#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

namespace {

struct Program {
  QTemporaryDir dir;
  worstcase::NoDialogs dialogs;
  book::Workspace store{dir.path()};
  MainForm window{store, dialogs};
  int busiest = 1;

  Program() {
    worstcase::writeFolder(dir.path());
    store.user().setUserName(QStringLiteral("bench"));
    store.user().setDatabaseName(QStringLiteral("worst"));
    window.show();
    if (book::open(store)) throw std::runtime_error("cannot load the worst case");
    busiest = worstcase::busiestAccount(store);
  }

  // What opening a database does: load, refill the lists (the first ledger shows), then the
  // user's choice of the busiest account.
  void open() {
    if (book::open(store)) throw std::runtime_error("cannot load the worst case");
    store.refillAccountLists();
    if (window.shownAccountSlot() != busiest) window.showAccount(busiest);
  }
};

void BM_OpenIntoMainWindow(benchmark::State& state) {
  Program p;
  for (auto _ : state) p.open();
  state.counters["rows"] = p.window.rowCount();
}
BENCHMARK(BM_OpenIntoMainWindow)->Unit(benchmark::kMillisecond);

// The same with the window painted, as it reaches the screen.
void BM_OpenIntoMainWindowAndPaint(benchmark::State& state) {
  Program p;
  for (auto _ : state) {
    p.open();
    QPixmap shot = p.window.grab();
    benchmark::DoNotOptimize(shot);
  }
}
BENCHMARK(BM_OpenIntoMainWindowAndPaint)->Unit(benchmark::kMillisecond);

// Redrawing the busiest ledger, as after every new entry or deletion.
void BM_RedrawBusiestLedger(benchmark::State& state) {
  Program p;
  p.open();
  for (auto _ : state) p.window.redrawLedger(true);
}
BENCHMARK(BM_RedrawBusiestLedger)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return worstcase::runWindowBenchmarks(argc, argv); }
