#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

// One account's plan for one year, and the rules that turn it into twelve monthly amounts.
// Nothing here knows the book: accounts come in as slot, kind and name.
namespace budget {

// A month's budget fits the book's amount field, as any amount the program stores does.
inline constexpr qint64 kMaxAmount = 2147483647;

using Months = std::array<qint64, 12>;

enum class Rule {
  SameEachMonth = 0,  // `amount` every month
  PerMonth = 1,       // `months` as typed
  YearlySpread = 2,   // `amount` is the year's total, spread evenly, the remainder to December
};

struct Plan {
  QString id;  // stable across renames and copies: how two copies of the file are merged
  int year = 0;
  int slot = 0;  // the account as last seen: slot (0 once gone) and kind, its name for display
  int kind = 0;
  QString name;
  Rule rule = Rule::SameEachMonth;
  qint64 amount = 0;
  Months months{};
  std::array<std::optional<qint64>, 12> overrides{};  // a month's own amount
  bool carryForward = false;
  QDateTime changed;  // UTC, whole milliseconds
  bool deleted = false;
  // Fields a later version wrote, kept as they were.
  std::vector<std::pair<QString, QString>> otherFields;

  bool operator==(const Plan&) const = default;
};

// The twelve amounts the rule gives, each month's own amount in its place. The year's total is
// their sum: no month counts twice.
Months plannedMonths(const Plan& plan);
qint64 yearTotal(const Months& months);

// What is available each month: the plan, and with carry-forward also what the months before
// left over (or overspent, as a negative). `actual` follows the sign of the budget's kind:
// spent for an expense, earned for an income. The year starts afresh in January.
Months availableMonths(const Plan& plan, const Months& actual);

// Reads a typed budget amount: digits with or without thousands separators ("12,500"), an
// optional decimal part rounded halves to even. An empty text is std::nullopt (the month
// follows the rule again). Refused in words: no number, a negative amount, one beyond what the
// book can hold (`limit`: a month's, or a year's total).
std::variant<std::optional<qint64>, QString> parseBudgetAmount(const QString& text,
                                                               qint64 limit = kMaxAmount);

// 預估: one amount from the account's last months of actual figures, oldest first (only the
// last `count` are used, 3, 6 or 12). Negative months (refunds) count as nothing spent.
enum class Estimate { Average, Median };
qint64 estimateFrom(const std::vector<qint64>& history, int count, Estimate how);

// Halves round to the even neighbour, as everywhere amounts are rounded.
qint64 divideRounded(qint64 numerator, qint64 denominator);

}  // namespace budget
