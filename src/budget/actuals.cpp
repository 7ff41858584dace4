#include "budget/actuals.h"

#include "book/workspace.h"
#include "budget/budget.h"
#include "reports/period/period.h"
#include "store/ledger.h"

#include <algorithm>

namespace budget {

std::vector<Account> accountsOf(const book::Workspace& store) {
  std::vector<Account> accounts;
  for (int slot = 1; slot < store.tables().accountCount; ++slot) {
    const store::AccountRecord& a = store.tables().accounts[slot];
    if (a.AccountKind != store::kIncome && a.AccountKind != store::kExpense) continue;
    accounts.push_back({slot, a.AccountKind, store::trimTrailingSpaces(a.AccountName)});
  }
  return accounts;
}

Actuals actualsOf(const book::Workspace& store, int year) {
  // The period report's own figures: what the budget calls actual is what that report shows.
  const period::Report report = period::buildReport(store, period::yearPeriod(year));
  Actuals actuals;
  for (const auto* lines : {&report.income, &report.expense}) {
    for (const period::AccountLine& line : *lines) {
      Months& months = actuals[line.slot];
      for (size_t m = 0; m < 12 && m < line.months.size(); ++m) months[m] = line.months[m];
    }
  }
  return actuals;
}

std::vector<qint64> monthsBefore(const book::Workspace& store, int slot, const QDate& month,
                                 int count) {
  const QDate first = QDate(month.year(), month.month(), 1).addMonths(-count);
  const period::Report report =
      period::buildReport(store, {first, QDate(month.year(), month.month(), 1).addDays(-1)});
  std::vector<qint64> months(static_cast<size_t>(count), 0);
  for (const auto* lines : {&report.income, &report.expense}) {
    for (const period::AccountLine& line : *lines) {
      if (line.slot != slot) continue;
      for (size_t m = 0; m < months.size() && m < line.months.size(); ++m) {
        months[m] = line.months[m];
      }
    }
  }
  return months;
}

YearFigures figuresOfYear(const book::Workspace& store, int year) {
  return {year, accountsOf(store), actualsOf(store, year)};
}

OverrunWatch::Spent OverrunWatch::spending(const book::Workspace& store) {
  QString first;
  QString last;
  for (int i = 1; i < store.tables().entryCount; ++i) {
    const QString& date = store.tables().entries[i].EntryDate;
    if (date.size() != 10 || !date[0].isDigit()) continue;
    if (first.isEmpty() || date < first) first = date;
    if (last.isEmpty() || date > last) last = date;
  }
  Spent spent;
  const auto from = QDate::fromString(first, QStringLiteral("yyyy/MM/dd"));
  const auto to = QDate::fromString(last, QStringLiteral("yyyy/MM/dd"));
  if (!from.isValid() || !to.isValid()) return spent;
  const period::Report report =
      period::buildReport(store, {QDate(from.year(), 1, 1), QDate(to.year(), 12, 31)});
  for (const period::AccountLine& line : report.expense) {
    for (size_t m = 0; m < line.months.size(); ++m) {
      if (line.months[m] != 0)
        spent[line.slot][from.year() + static_cast<int>(m / 12)][m % 12] = line.months[m];
    }
  }
  return spent;
}

void OverrunWatch::reset(const book::Workspace& store) { spent_ = spending(store); }

QStringList OverrunWatch::look(const book::Workspace& store, const Budget& budget) {
  Spent now = spending(store);
  QStringList notices;
  const std::vector<Account> accounts = accountsOf(store);
  for (const auto& [slot, years] : now) {
    for (const auto& [year, months] : years) {
      const Months& before = spent_[slot][year];
      if (before == months) continue;
      // A copy: a lambda may not capture a structured binding before C++20's later compilers.
      const auto wanted = slot;
      const auto account = std::find_if(accounts.begin(), accounts.end(),
                                        [wanted](const Account& a) { return a.slot == wanted; });
      if (account == accounts.end()) continue;
      const Plan* plan = budget.planOf(accounts, *account, year);
      if (!plan) continue;
      const Months available = availableMonths(*plan, months);
      for (size_t m = 0; m < 12; ++m) {
        const QString notice = overrunNotice(account->name, year, static_cast<int>(m) + 1,
                                             available[m], before[m], months[m]);
        if (!notice.isEmpty()) notices << notice;
      }
    }
  }
  spent_ = std::move(now);
  return notices;
}

}  // namespace budget
