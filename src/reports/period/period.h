#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <variant>
#include <vector>

namespace book {
class Workspace;
}

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
Report buildReport(const book::Workspace& store, const Period& period);

// The year of the book's latest entry, where the charts open; today's year for an empty book.
Period openingYear(const book::Workspace& store);

// The report's table as the window and the page show it: a caption, one line per account and
// the total for income and for expense, then the net. A caption has no figures.
struct TableLine {
  QString label;
  std::vector<qint64> months;
  qint64 total = 0;
  bool bold = false;
};
std::vector<TableLine> tableLines(const Report& report);
// The line's cells: its label, each month's figure grouped, the total.
QStringList lineCells(const TableLine& line, size_t months);

struct MonthValue {
  QString month;  // "2025/01"
  qint64 value = 0;
};

// Assets minus liabilities at the end of each month from the book's first entry to its last.
std::vector<MonthValue> netWorthByMonth(const book::Workspace& store);
// The same for the months of a period that lie within the book's entries, counting everything
// before them; empty when the period and the entries have no month in common.
std::vector<MonthValue> netWorthByMonth(const book::Workspace& store, const Period& period);

// The month ("yyyy/mm" as a date on its first day) of the book's latest dated entry; a null date
// for a book without entries. The reports open there, not on today's date: a book kept years
// ago would otherwise open on empty months.
QDate latestMonthWithEntries(const book::Workspace& store);

// A label under the month at `index` of a period's months.
struct AxisLabel {
  int index = 0;
  QString text;
};

// Labels for a month axis with room for about `room` of them: "3月" within one year, "2024/03"
// when the months span more than one year. Thinned to every second, third, sixth, twelfth...
// month rather than crowded, so they never collapse into an ellipsis.
std::vector<AxisLabel> monthAxisLabels(const QStringList& months, int room);

struct Slice {
  QString label;
  qint64 value = 0;
};

inline const QString kOthers = QStringLiteral("其他");

// Where the money went: expense accounts with a positive total, largest first. The smallest go
// together as "其他" once there are more than `most` slices; at least eight are named, and more
// until "其他" holds less than a third of the total. Empty when nothing was spent.
inline constexpr int kMostSlices = 12;
std::vector<Slice> expenseSlices(const Report& report, int most = kMostSlices);

// An amount with thousands separators, as the reports, charts and search results show it:
// "-1,234,567".
QString grouped(qint64 amount);

}  // namespace period
