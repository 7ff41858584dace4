// Finding and seeing on the worst-case database: a search per keystroke in one book and in
// twenty, reading the twenty, the period report with its chart series, the chart window and
// the journal as PDF.
#include "book/book.h"
#include "store/booklist.h"
#include "worstcase.h"

#include "book/workspace.h"
#include "catalogue/catalogue.h"
#include "reports/journal/document.h"
#include "reports/period/ChartsForm.h"
#include "reports/period/document.h"
#include "reports/period/period.h"
#include "search/search.h"
#include "store/database.h"

#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

constexpr int kBooks = 20;

// The open worst-case book "worst" and, beside it in the user's list, 19 copies of its files.
struct Books {
  QTemporaryDir dir;
  book::Workspace store{dir.path()};

  Books() {
    const QString folder = worstcase::writeFolder(dir.path());
    store.user().setUserName(QStringLiteral("bench"));
    store.user().setDatabaseName(QStringLiteral("worst"));
    QStringList names{store.user().databaseName()};
    for (int i = 1; i < kBooks; ++i) {
      const QString name = QStringLiteral("copy%1").arg(i);
      QDir().mkpath(store.user().userFolder() + QLatin1Char('/') + name);
      for (const QString& file : {store::kAccountsFile, store::kEntriesFile}) {
        QFile::copy(folder + QLatin1Char('/') + file,
                    store.user().userFolder() + QLatin1Char('/') + name + QLatin1Char('/') + file);
      }
      names << name;
    }
    if (store::saveDatabaseList(store.user(), names))
      throw std::runtime_error("cannot write the list");
    if (book::open(store)) throw std::runtime_error("cannot load the worst case");
  }
};

search::Criteria criteria(const QString& text, const QString& amountTo = {}) {
  return std::get<search::Criteria>(search::readCriteria({text, {}, {}, amountTo, {}, {}}));
}

// Typed texts as a person types them: one key more each time, from many hits to few.
const QString kTyped[] = {QStringLiteral("第"), QStringLiteral("第1"), QStringLiteral("第12"),
                          QStringLiteral("第123"), QStringLiteral("ＭＥＭＯ")};

void BM_SearchOneBookPerKeystroke(benchmark::State& state) {
  Books b;
  const search::Searcher searcher(b.store);
  size_t hits = 0;
  for (auto _ : state) {
    for (const QString& typed : kTyped)
      hits += searcher.run(criteria(typed, "100000"), false).hits.size();
  }
  state.SetItemsProcessed(state.iterations() * std::size(kTyped));
  state.counters["hits"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SearchOneBookPerKeystroke)->Unit(benchmark::kMillisecond);

void BM_ReadTwentyBooks(benchmark::State& state) {
  Books b;
  for (auto _ : state) {
    search::Searcher searcher(b.store);
    searcher.readOtherBooks();
    benchmark::DoNotOptimize(searcher.books().size());
  }
}
BENCHMARK(BM_ReadTwentyBooks)->Unit(benchmark::kMillisecond);

// The heap in use: unlike the resident size it falls when memory is given back, so repeated
// runs of a benchmark each see what their own books hold.
double heapMiB() { return static_cast<double>(mallinfo2().uordblks) / (1 << 20); }

void BM_SearchTwentyBooksPerKeystroke(benchmark::State& state) {
  Books b;
  const double before = heapMiB();
  search::Searcher searcher(b.store);
  searcher.readOtherBooks();
  const double after = heapMiB();
  if (searcher.books().size() != kBooks) throw std::runtime_error("a book was not read");
  size_t hits = 0;
  for (auto _ : state) {
    for (const QString& typed : kTyped)
      hits += searcher.run(criteria(typed, "100000"), true).hits.size();
  }
  state.SetItemsProcessed(state.iterations() * std::size(kTyped));
  state.counters["hits"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
  state.counters["MiB_for_books"] = after - before;
}
BENCHMARK(BM_SearchTwentyBooksPerKeystroke)->Unit(benchmark::kMillisecond);

void BM_PeriodReportAndSeries(benchmark::State& state) {
  worstcase::NoDialogs dialogs;
  book::Workspace store(QDir::tempPath());
  worstcase::fill(store);
  for (auto _ : state) {
    const period::Report report = period::buildReport(store, period::yearPeriod(2025));
    benchmark::DoNotOptimize(period::expenseSlices(report));
    benchmark::DoNotOptimize(period::netWorthByMonth(store));
  }
}
BENCHMARK(BM_PeriodReportAndSeries)->Unit(benchmark::kMillisecond);

// Built, shown and painted, each of its three charts.
void BM_ShowChartWindow(benchmark::State& state) {
  worstcase::NoDialogs dialogs;
  book::Workspace store(QDir::tempPath());
  worstcase::fill(store);
  const period::Report report = period::buildReport(store, period::yearPeriod(2025));
  const int tab = static_cast<int>(state.range(0));
  for (auto _ : state) {
    ChartsForm form(store, dialogs, report);
    form.findChild<QTabWidget*>(QStringLiteral("Charts"))->setCurrentIndex(tab);
    form.show();
    QPixmap shot = form.grab();
    benchmark::DoNotOptimize(shot);
  }
}
BENCHMARK(BM_ShowChartWindow)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_JournalPdf(benchmark::State& state) {
  QTemporaryDir dir;
  book::Workspace store(dir.path());
  worstcase::fill(store);
  store.user().setDatabaseName(QStringLiteral("worst"));
  const QString path = dir.path() + QStringLiteral("/journal.pdf");
  for (auto _ : state) {
    if (auto error = printing::journalPdf(store, path))
      throw std::runtime_error(error->toStdString());
  }
  state.counters["KiB"] = static_cast<double>(QFileInfo(path).size()) / 1024;
}
BENCHMARK(BM_JournalPdf)->Unit(benchmark::kMillisecond);

// A year's period report with its tables and three charts painted at 300 dpi.
void BM_PeriodReportPdf(benchmark::State& state) {
  QTemporaryDir dir;
  book::Workspace store(dir.path());
  worstcase::fill(store);
  const period::Report report = period::buildReport(store, period::yearPeriod(2025));
  const QString path = dir.path() + QStringLiteral("/period.pdf");
  for (auto _ : state) {
    if (auto error = printing::savePdf(printing::periodDocument(store, report), path))
      throw std::runtime_error(error->toStdString());
  }
  state.counters["KiB"] = static_cast<double>(QFileInfo(path).size()) / 1024;
}
BENCHMARK(BM_PeriodReportPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return worstcase::runWindowBenchmarks(argc, argv); }
