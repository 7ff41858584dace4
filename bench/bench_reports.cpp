// Statements and journal on the worst-case database.
#include "worstcase.h"

#include "book/workspace.h"
#include "interchange/journalexport.h"
#include "interchange/journalrows.h"
#include "platform/dialogs.h"
#include "reports/journal/DiaryForm.h"
#include "reports/statements/BSForm.h"
#include "reports/statements/statements.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct WorstCase {
  QTemporaryDir dir;
  worstcase::NoDialogs dialogs;
  book::Workspace store{dir.path()};
  WorstCase() {
    worstcase::fill(store);
    store.user().setDatabaseName(QStringLiteral("worst"));
    store.clock().setToday(QDate(2025, 12, 31));
  }
};

void BM_BuildStatements(benchmark::State& state) {
  WorstCase db;
  for (auto _ : state) {
    statements::StatementTexts s = statements::buildStatements(db.store, worstcase::kStatementDate);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_BuildStatements)->Unit(benchmark::kMicrosecond);

void BM_OpenStatementsWindow(benchmark::State& state) {
  WorstCase db;
  for (auto _ : state) {
    BSForm form(db.store, db.dialogs);
    benchmark::DoNotOptimize(&form);
  }
}
BENCHMARK(BM_OpenStatementsWindow)->Unit(benchmark::kMicrosecond);

void BM_FillJournalWindow(benchmark::State& state) {
  WorstCase db;
  for (auto _ : state) {
    DiaryForm form(db.store, db.dialogs);
    benchmark::DoNotOptimize(form.rowsShown().data());
  }
}
BENCHMARK(BM_FillJournalWindow)->Unit(benchmark::kMicrosecond);

// Argument 0: the CSV export; 1: the plain-text export.
void BM_Export(benchmark::State& state) {
  WorstCase db;
  const auto rows = interchange::journalRows(db.store);
  const interchange::ExportKind kind =
      state.range(0) == 0 ? interchange::ExportKind::Csv : interchange::ExportKind::Text;
  for (auto _ : state) {
    Message m = interchange::exportJournal(db.store, rows, kind);
    if (m.title != QStringLiteral("完成")) state.SkipWithError("export failed");
  }
}
BENCHMARK(BM_Export)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return worstcase::runWindowBenchmarks(argc, argv); }
