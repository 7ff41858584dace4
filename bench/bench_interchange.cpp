// The exports for other programs and the statement import's preview on the worst-case book.
#include "worstcase.h"

#include "book/workspace.h"
#include "interchange/csvtext.h"
#include "interchange/exports.h"
#include "interchange/statementimport.h"
#include "platform/codepage.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct WorstCase {
  QTemporaryDir dir;
  book::Workspace store{dir.path()};
  WorstCase() {
    worstcase::fill(store);
    store.user().setDatabaseName(QStringLiteral("worst"));
  }
};

// Argument 0: the spreadsheet CSV; 1: the ledger journal.
void BM_ExportForOthers(benchmark::State& state) {
  WorstCase db;
  for (auto _ : state) {
    const QByteArray bytes = state.range(0) == 0 ? interchange::spreadsheetCsvBytes(db.store)
                                                 : interchange::ledgerJournalBytes(db.store);
    benchmark::DoNotOptimize(bytes.constData());
  }
}
BENCHMARK(BM_ExportForOthers)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A bank's file of 3000 rows in code page 950: read, laid out and previewed against the full
// book (every row looked up among the statement account's entries).
void BM_PreviewStatement(benchmark::State& state) {
  WorstCase db;
  QString text = QStringLiteral("交易日期,摘要,支出金額,存入金額,餘額,備註\r\n");
  for (int i = 0; i < 3000; ++i) {
    const bool out = i % 3 != 0;
    text += QStringLiteral("114/%1/%2,轉帳提款第%3筆,%4,%5,\"1,234,567\",網路銀行 跨行轉帳\r\n")
                .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                .arg(i)
                .arg(out ? QStringLiteral("\"1,%1\"").arg(100 + i % 900) : QString())
                .arg(out ? QString() : QString::number(500 + i));
  }
  const QByteArray bytes = codepage::encode(text);
  const interchange::ImportAccounts accounts{db.store.tables().accounts[1].AccountName,
                                             db.store.tables().accounts[5].AccountName,
                                             db.store.tables().accounts[6].AccountName};
  for (auto _ : state) {
    const auto file = csvtext::readBytes(bytes);
    const auto& rows = std::get<csvtext::File>(file).rows;
    const auto preview =
        interchange::buildPreview(db.store, rows, interchange::guessLayout(rows), accounts);
    benchmark::DoNotOptimize(preview.data());
  }
}
BENCHMARK(BM_PreviewStatement)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
