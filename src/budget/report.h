#pragma once

#include "budget/plan.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

// Budget against what happened: the rows of 預算與實際, its chart and the notice when a month
// runs over. Plans and actual figures come in as plain values.
namespace budget {

inline const QString kDeletedAccount = QStringLiteral("已刪除帳戶");

// An income or expense account of the book as it is now.
struct Account {
  int slot = 0;
  int kind = 0;  // 3 income, 4 expense
  QString name;  // without the filling blanks
};

// A plan bound to the account it belongs to; `slot` 0 when the account is gone.
struct BoundPlan {
  const Plan* plan = nullptr;
  int slot = 0;
};

// The year's actual figures by account slot: spent for an expense, earned for an income,
// month by month (as the period report shows them).
using Actuals = std::map<int, Months>;

// The variance is favourable when positive: spent less than planned, or earned more.
qint64 variance(int kind, qint64 budget, qint64 actual);
// Actual as a share of the budget, in percent; none for a budget of 0.
std::optional<double> percentOf(qint64 budget, qint64 actual);

struct Row {
  QString name;  // the account's name, or 已刪除帳戶 with the name it had
  int slot = 0;  // 0 for a deleted account's plan
  int kind = 0;
  qint64 budget = 0;  // available: the plan, with what carried forward
  qint64 actual = 0;
  qint64 variance = 0;
  std::optional<double> percent;
  bool planned = false;  // an account without a plan shows a budget of 0

  bool over() const { return variance < 0; }
};

enum class Span { Month, YearToDate };

struct Report {
  int year = 0;
  int month = 1;  // 1 to 12: the month shown, or the last month of the year to date
  Span span = Span::Month;
  std::vector<Row> income;
  std::vector<Row> expense;
};

// Every income and expense account with entries in the span or a plan for the year is listed;
// deleted accounts' plans follow at the end of their kind. `overOnly` keeps the rows over budget.
Report buildReport(const std::vector<Account>& accounts, const std::vector<BoundPlan>& plans,
                   const Actuals& actuals, int year, int month, Span span, bool overOnly = false);

// Budget against actual per month for the chart: the expense accounts, all twelve months.
struct MonthSeries {
  QStringList months;  // "1月" .. "12月"
  std::vector<qint64> budget;
  std::vector<qint64> actual;
};
MonthSeries expenseSeries(const std::vector<Account>& accounts,
                          const std::vector<BoundPlan>& plans, const Actuals& actuals, int year);

// The notice when an entry, saved, takes an expense month past 80% or past 100% of what was
// available: empty when it crosses neither. `before` and `after` are the month's spending.
QString overrunNotice(const QString& account, int year, int month, qint64 available,
                      qint64 before, qint64 after);

}  // namespace budget
