// 預算與實際 and the budget's grid on the worst-case database, a plan for every income and
// expense account.
#include "worstcase.h"

#include "book/workspace.h"
#include "budget/BudgetForm.h"
#include "budget/BudgetReportForm.h"
#include "budget/actuals.h"
#include "budget/budget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct PlannedBook {
  QTemporaryDir dir;
  worstcase::NoDialogs dialogs;
  book::Workspace store{dir.path()};
  budget::Budget plans{dir.path()};
  PlannedBook() {
    worstcase::fill(store);
    store.user().setDatabaseName(QStringLiteral("worst"));
    store.clock().setToday(QDate(2025, 12, 31));
    const auto accounts = budget::accountsOf(store);
    for (const budget::Account& a : accounts) {
      (void)plans.setRule(accounts, a, 2025, budget::Rule::SameEachMonth, QStringLiteral("5000"));
      (void)plans.setCarryForward(accounts, a, 2025, a.slot % 2 == 0);
    }
  }
};

void BM_BudgetReportFigures(benchmark::State& state) {
  PlannedBook book;
  for (auto _ : state) {
    const auto figures = budget::figuresOfYear(book.store, 2025);
    auto report = budget::buildReport(figures.accounts, book.plans.bind(figures.accounts, 2025),
                                      figures.actuals, 2025, 12, budget::Span::Month);
    benchmark::DoNotOptimize(report);
  }
}
BENCHMARK(BM_BudgetReportFigures)->Unit(benchmark::kMicrosecond);

void BM_OpenBudgetReportWindow(benchmark::State& state) {
  PlannedBook book;
  for (auto _ : state) {
    BudgetReportForm form(book.store, book.dialogs, book.plans);
    benchmark::DoNotOptimize(&form);
  }
}
BENCHMARK(BM_OpenBudgetReportWindow)->Unit(benchmark::kMicrosecond);

// Made and shown: the chart is laid out once, for the size it is shown at.
void BM_OpenAndShowBudgetReportWindow(benchmark::State& state) {
  PlannedBook book;
  for (auto _ : state) {
    BudgetReportForm form(book.store, book.dialogs, book.plans);
    form.show();
    benchmark::DoNotOptimize(&form);
  }
}
BENCHMARK(BM_OpenAndShowBudgetReportWindow)->Unit(benchmark::kMicrosecond);

// One key typed into a month's cell: the editor open, as a person types.
void BM_KeystrokeInTheGrid(benchmark::State& state) {
  PlannedBook book;
  BudgetForm form(book.store, book.dialogs, book.plans);
  form.show();
  auto* grid = form.findChild<QTableWidget*>(QLatin1String(BudgetForm::kGrid));
  grid->setCurrentCell(3, BudgetForm::kFirstMonthColumn + 5);
  grid->editItem(grid->currentItem());
  auto* editor = grid->findChild<QLineEdit*>();
  for (auto _ : state) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
    QCoreApplication::sendEvent(editor, &press);
    QCoreApplication::sendEvent(editor, &release);
    if (editor->text().size() > 6) editor->clear();
  }
}
BENCHMARK(BM_KeystrokeInTheGrid)->Unit(benchmark::kMicrosecond);

// Enter on a typed amount: checked, kept in the plan, the file written, the row redrawn.
void BM_CommitACell(benchmark::State& state) {
  PlannedBook book;
  BudgetForm form(book.store, book.dialogs, book.plans);
  form.show();
  auto* grid = form.findChild<QTableWidget*>(QLatin1String(BudgetForm::kGrid));
  int amount = 1000;
  for (auto _ : state) {
    grid->setCurrentCell(3, BudgetForm::kFirstMonthColumn + 5);
    grid->currentItem()->setText(QString::number(++amount));
  }
}
BENCHMARK(BM_CommitACell)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return worstcase::runWindowBenchmarks(argc, argv); }
