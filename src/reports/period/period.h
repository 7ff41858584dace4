#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <variant>
#include <vector>

class Module1;

// Income and expense over a period, month by month, and net worth at each month's end: the
// figures of the period report and of its three charts. Amounts follow the ledger's sign rule,
// so a year's figures are the difference of the statements at the ends of two years.
namespace period {

struct Period {
  QDate from;  // first day counted
  QDate to;    // last day counted
};

Period monthPeriod(int year, int month);
Period yearPeriod(int year);
// Two typed dates. Refused in words when one is no date or the first lies after the second
// (not swapped: a person who typed them the wrong way round should see which is which).
std::variant<Period, QString> customPeriod(const QString& from, const QString& to);

struct AccountLine {
  QString name;  // without the filling blanks
  int slot = 0;
  std::vector<qint64> months;  // one per month of the period
  qint64 total = 0;
};

struct Report {
  Period period;
  QStringList months;  // "2025/01", one per month the period touches
  std::vector<AccountLine> income;
  std::vector<AccountLine> expense;
  std::vector<qint64> incomeByMonth;
  std::vector<qint64> expenseByMonth;
  std::vector<qint64> netByMonth;  // income - expense
  qint64 incomeTotal = 0;
  qint64 expenseTotal = 0;
  qint64 net = 0;

  bool empty() const { return income.empty() && expense.empty(); }
};

// Accounts of the kinds income and expense that moved in the period, in slot order.
Report buildReport(const Module1& store, const Period& period);

struct MonthValue {
  QString month;  // "2025/01"
  qint64 value = 0;
};

// Assets minus liabilities at the end of each month from the book's first entry to its last.
std::vector<MonthValue> netWorthByMonth(const Module1& store);

struct Slice {
  QString label;
  qint64 value = 0;
};

inline const QString kOthers = QStringLiteral("其他");

// Where the money went: expense accounts with a positive total, largest first, the ninth and
// later ones together as "其他". Empty when nothing was spent.
std::vector<Slice> expenseSlices(const Report& report, int largest = 8);

// An amount with thousands separators, as the reports, charts and search results show it:
// "-1,234,567".
QString grouped(qint64 amount);

}  // namespace period
