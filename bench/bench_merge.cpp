// Merging two full copies of a book (100 accounts, 3000 entries on each side).
#include "book/book.h"
#include "book/workspace.h"
#include "merge/merge.h"
#include "platform/safefile.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <random>

namespace {

QString dateOf(std::mt19937& rng) {
  std::uniform_int_distribution<int> month(1, 12), day(1, 28);
  return QStringLiteral("2025/%1/%2")
      .arg(month(rng), 2, 10, QChar('0'))
      .arg(day(rng), 2, 10, QChar('0'));
}

store::BookTables fullBase() {
  store::BookTables b;
  b.accounts[b.accountCount++] = store::makeAccount(QStringLiteral("Equity"), store::kEquity);
  for (int i = 1; i < store::kMaxAccounts; ++i) {
    const qint16 kind = qint16(store::kAsset + i % 4);
    b.accounts[b.accountCount++] = store::makeAccount(
        QStringLiteral("%1-帳戶%2").arg(QStringLiteral("ALIE")[kind - 1]).arg(i), kind);
  }
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> account(1, store::kMaxAccounts), amount(1, 99999);
  for (int i = 0; i < store::kMaxEntries; ++i) {
    b.entries[b.entryCount++] = store::makeEntry(dateOf(rng), b.accounts[account(rng)].AccountName,
                                                 b.accounts[account(rng)].AccountName, amount(rng),
                                                 QStringLiteral("記錄%1").arg(i));
  }
  return b;
}

// One computer's month: every `stride`-th entry from `first` changed, one in a hundred deleted, new
// ones up to a full book, two accounts renamed.
store::BookTables edited(const store::BookTables& base, int first, int stride,
                         const QString& mark) {
  store::BookTables b = base;
  std::mt19937 rng(static_cast<unsigned>(first) + 1);
  for (int slot = first; slot < b.entryCount; slot += stride) b.entries[slot].Amount += 1;
  int kept = 1;
  for (int slot = 1; slot < b.entryCount; ++slot) {
    if (slot % 100 != first + 50) b.entries[kept++] = b.entries[slot];
  }
  b.entryCount = kept;
  while (b.entryCount <= store::kMaxEntries) {
    const qint32 amount = b.entryCount;
    b.entries[b.entryCount++] = store::makeEntry(dateOf(rng), b.accounts[2].AccountName,
                                                 b.accounts[3].AccountName, amount, mark);
  }
  for (const int slot : {first + 10, first + 20}) {
    const QString was = b.accounts[slot].AccountName;
    const QString now = store::nameField(was.left(2) + mark + QString::number(slot));
    b.accounts[slot].AccountName = now;
    for (int e = 1; e < b.entryCount; ++e) {
      if (b.entries[e].IncreaseAccount == was) b.entries[e].IncreaseAccount = now;
      if (b.entries[e].DecreaseAccount == was) b.entries[e].DecreaseAccount = now;
    }
  }
  return b;
}

void BM_MergeTwoFullBooks(benchmark::State& state) {
  const store::BookTables base = fullBase();
  const store::BookTables ours = edited(base, 1, 10, QStringLiteral("甲"));
  const store::BookTables theirs = edited(base, 6, 10, QStringLiteral("乙"));
  for (auto _ : state) {
    auto planned = merge::plan(base, ours, theirs);
    const merge::Plan& plan = std::get<merge::Plan>(planned);
    const std::vector<merge::Choice> mine(plan.conflicts.size(), merge::Choice::Mine);
    auto merged = merge::apply(plan, mine);
    if (!std::holds_alternative<merge::Merged>(merged)) state.SkipWithError("refused");
    state.counters["conflicts"] = static_cast<double>(plan.conflicts.size());
    benchmark::DoNotOptimize(merged);
  }
}
BENCHMARK(BM_MergeTwoFullBooks)->Unit(benchmark::kMillisecond);

// Both sides changed every entry differently: 3000 questions.
void BM_PlanEveryEntryInConflict(benchmark::State& state) {
  const store::BookTables base = fullBase();
  const store::BookTables ours = edited(base, 1, 1, QStringLiteral("甲"));
  store::BookTables theirs = ours;
  for (int slot = 1; slot < theirs.entryCount; ++slot) theirs.entries[slot].Amount += 1;
  for (auto _ : state) {
    auto planned = merge::plan(base, ours, theirs);
    benchmark::DoNotOptimize(planned);
  }
}
BENCHMARK(BM_PlanEveryEntryInConflict)->Unit(benchmark::kMillisecond);

// The whole save of an open full book whose files the other computer rewrote: the files read,
// the base found, the merge planned and applied, both sides kept as backups, the merge written,
// and the next base kept. Each round starts from the book as opened, with theirs on disk.
void BM_SaveWithMerge(benchmark::State& state) {
  QTemporaryDir data;
  qputenv("XDG_STATE_HOME", (data.path() + "/state").toUtf8());
  const store::BookTables base = fullBase();
  const store::BookTables ours = edited(base, 1, 10, QStringLiteral("甲"));
  const store::BookTables theirs = edited(base, 6, 10, QStringLiteral("乙"));
  auto store = std::make_unique<book::Workspace>(data.path());
  store->user().setUserName(QStringLiteral("bench"));
  store->user().setDatabaseName(QStringLiteral("book"));
  const QString folder = store->user().databaseFolder();
  QDir().mkpath(folder);
  const auto put = [&](const store::BookTables& b) {
    return !safefile::writeGroup(
        folder, {{store::kAccountsFile, store::accountsFileBytes(b.accounts, b.accountCount)},
                 {store::kEntriesFile, store::entriesFileBytes(b.entries, b.entryCount)}});
  };
  const book::MergeQuestions mine = [](const std::vector<merge::Conflict>& conflicts) {
    return std::optional(std::vector<merge::Choice>(conflicts.size(), merge::Choice::Mine));
  };
  for (auto _ : state) {
    state.PauseTiming();
    if (!put(base) || book::open(*store)) state.SkipWithError("cannot open");
    store->tables() = ours;
    if (!put(theirs)) state.SkipWithError("cannot write theirs");
    state.ResumeTiming();
    const book::SaveResult saved = book::save(*store, mine);
    if (!saved.saved() || store->user().databaseName() != QStringLiteral("book"))
      state.SkipWithError("not merged");
  }
}
BENCHMARK(BM_SaveWithMerge)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
