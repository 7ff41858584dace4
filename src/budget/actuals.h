#pragma once

#include "budget/report.h"

#include <QDate>
#include <QStringList>

#include <map>

#include <vector>

namespace book {
class Workspace;
}

// What the budget needs of the open book, as plain values: its income and expense accounts
// and their figures as the period report counts them.
namespace budget {

std::vector<Account> accountsOf(const book::Workspace& store);

// The year's figures by account slot, month by month.
Actuals actualsOf(const book::Workspace& store, int year);

// One account's figures for the `count` months before `month` (its first day), oldest first.
std::vector<qint64> monthsBefore(const book::Workspace& store, int slot, const QDate& month,
                                 int count);

// Everything the report needs for a year, gathered once.
struct YearFigures {
  int year = 0;
  std::vector<Account> accounts;
  Actuals actuals;
};
YearFigures figuresOfYear(const book::Workspace& store, int year);

class Budget;

// Watches the book's spending so that a change which takes an expense month past 80% or 100%
// of its budget is told once, whatever command made it (a new entry, an edit, an import).
class OverrunWatch {
 public:
  // Remembers the spending as it is now, with nothing to tell.
  void reset(const book::Workspace& store);
  // The notices for the months that crossed a mark since the last look.
  QStringList look(const book::Workspace& store, const Budget& budget);

 private:
  // Spending of each expense account, by year and month.
  using Spent = std::map<int, std::map<int, Months>>;  // slot -> year -> months
  static Spent spending(const book::Workspace& store);
  Spent spent_;
};

}  // namespace budget
