// Recurring entries and reconciliation on the largest inputs they meet: a book opened with 100
// schedules each missed for a year, and the reconciliation wizard's tick on a full book.
#include "worstcase.h"

#include "book/workspace.h"
#include "platform/sidefile.h"
#include "reconcile/lines.h"
#include "schedules/schedulefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace schedules;

// 100 schedules, a third daily, a third weekly, a third monthly on the 31st, set up on
// 2024/01/01 and missed since (with `history`: 2024 dealt with, 2025 missed).
QByteArray missedForAYear(bool history) {
  ScheduleBook book;
  const QDate first(2024, 1, 1);
  for (int i = 0; i < 100; ++i) {
    Schedule s;
    s.id = sidefile::newId();
    s.changed = sidefile::now();
    s.increase = QStringLiteral("E-支出%1").arg(i);
    s.decrease = QStringLiteral("A-銀行");
    s.amount = 100 + i;
    s.memo = QStringLiteral("定期%1").arg(i);
    s.rule.unit = i % 3 == 0 ? Unit::Days : i % 3 == 1 ? Unit::Weeks : Unit::Months;
    s.rule.dayOfMonth = 31;
    s.rule.weekend = WeekendRule::MondayAfter;
    s.rule.first = history ? first : first.addYears(1);
    for (const Occurrence& o : occurrencesThrough(s.rule, history ? QDate(2024, 12, 31) : QDate()))
      book.records.push_back({s.id, o.nominal, Outcome::Posted, sidefile::now(), false});
    book.schedules.push_back(s);
  }
  QTemporaryDir dir;
  const auto written = writeSchedules(dir.path(), book);
  if (!std::holds_alternative<ScheduleBook>(written)) return {};
  QFile file(schedulesPath(dir.path()));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void BM_DueAtOpening(benchmark::State& state) {
  const QByteArray bytes = missedForAYear(state.range(0) != 0);
  size_t due = 0;
  for (auto _ : state) {
    const auto read = schedulesFrom(bytes);
    due = dueOccurrences(std::get<ScheduleBook>(read), QDate(2025, 12, 31)).size();
    benchmark::DoNotOptimize(due);
  }
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
  state.counters["due"] = static_cast<double>(due);
}
BENCHMARK(BM_DueAtOpening)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DueListOnly(benchmark::State& state) {
  const ScheduleBook book = std::get<ScheduleBook>(schedulesFrom(missedForAYear(false)));
  for (auto _ : state) benchmark::DoNotOptimize(dueOccurrences(book, QDate(2025, 12, 31)));
}
BENCHMARK(BM_DueListOnly)->Unit(benchmark::kMillisecond);

void BM_SideFileParseOnly(benchmark::State& state) {
  const QByteArray bytes = missedForAYear(true);
  for (auto _ : state)
    benchmark::DoNotOptimize(sidefile::parse(bytes, kSchedulesKind, kSchedulesVersion));
}
BENCHMARK(BM_SideFileParseOnly)->Unit(benchmark::kMillisecond);

void BM_ReconcileTick(benchmark::State& state) {
  book::Workspace store{QDir::tempPath()};
  worstcase::fill(store);
  const int account = worstcase::busiestAccount(store);
  const reconcile::Wizard prepared({}, store.tables().accounts[account].AccountName,
                                   reconcile::accountLines(store, account), QDate(2025, 12, 31), 0);
  reconcile::Wizard wizard = prepared;
  const int lines = static_cast<int>(wizard.lines().size());
  int i = 0;
  for (auto _ : state) {
    wizard.setTicked(i, !wizard.isTicked(i));
    benchmark::DoNotOptimize(wizard.difference());
    benchmark::DoNotOptimize(wizard.hints());
    i = (i + 1) % lines;
  }
  state.counters["lines"] = lines;
}
BENCHMARK(BM_ReconcileTick)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
