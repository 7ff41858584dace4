#include "budget/report.h"

#include "reports/period/period.h"

#include <QLocale>

#include <algorithm>

namespace budget {

qint64 variance(int kind, qint64 budget, qint64 actual) {
  // Income earns its way above the plan; expense saves its way below it.
  return kind == 3 ? actual - budget : budget - actual;
}

std::optional<double> percentOf(qint64 budget, qint64 actual) {
  if (budget == 0) return std::nullopt;
  return 100.0 * static_cast<double>(actual) / static_cast<double>(budget);
}

namespace {

const Months kNoMonths{};

const Months& actualOf(const Actuals& actuals, int slot) {
  const auto it = slot == 0 ? actuals.end() : actuals.find(slot);
  return it == actuals.end() ? kNoMonths : it->second;
}

struct Figures {
  qint64 budget = 0;
  qint64 actual = 0;
  bool moved = false;  // any entry in the span
};

Figures figures(const Plan* plan, const Months& actual, int month, Span span) {
  Figures f;
  const size_t last = static_cast<size_t>(month - 1);
  if (span == Span::Month) {
    f.actual = actual[last];
    if (plan) f.budget = availableMonths(*plan, actual)[last];
  } else {
    const Months planned = plan ? plannedMonths(*plan) : kNoMonths;
    for (size_t m = 0; m <= last; ++m) {
      f.actual += actual[m];
      f.budget += planned[m];
    }
  }
  for (size_t m = span == Span::Month ? last : 0; m <= last; ++m) f.moved |= actual[m] != 0;
  return f;
}

Row makeRow(const QString& name, int slot, int kind, const Plan* plan, const Figures& f) {
  Row row{name, slot, kind, f.budget, f.actual, variance(kind, f.budget, f.actual),
          percentOf(f.budget, f.actual), plan != nullptr};
  return row;
}

}  // namespace

Report buildReport(const std::vector<Account>& accounts, const std::vector<BoundPlan>& plans,
                   const Actuals& actuals, int year, int month, Span span, bool overOnly) {
  Report report;
  report.year = year;
  report.month = std::clamp(month, 1, 12);
  report.span = span;
  std::map<int, const Plan*> planOf;
  for (const BoundPlan& b : plans) {
    if (b.slot != 0 && b.plan->year == year && !b.plan->deleted) planOf[b.slot] = b.plan;
  }
  const auto keep = [&](Row row) {
    if (overOnly && !row.over()) return;
    (row.kind == 3 ? report.income : report.expense).push_back(std::move(row));
  };
  for (const Account& a : accounts) {
    if (a.kind != 3 && a.kind != 4) continue;
    const auto p = planOf.find(a.slot);
    const Plan* plan = p == planOf.end() ? nullptr : p->second;
    const Figures f = figures(plan, actualOf(actuals, a.slot), report.month, span);
    if (plan || f.moved) keep(makeRow(a.name, a.slot, a.kind, plan, f));
  }
  for (const BoundPlan& b : plans) {
    if (b.slot != 0 || b.plan->year != year || b.plan->deleted) continue;
    const Figures f = figures(b.plan, kNoMonths, report.month, span);
    keep(makeRow(QStringLiteral("%1（%2）").arg(kDeletedAccount, b.plan->name), 0, b.plan->kind,
                 b.plan, f));
  }
  return report;
}

MonthSeries expenseSeries(const std::vector<Account>& accounts,
                          const std::vector<BoundPlan>& plans, const Actuals& actuals, int year) {
  MonthSeries series;
  series.budget.assign(12, 0);
  series.actual.assign(12, 0);
  for (int m = 1; m <= 12; ++m) series.months << QStringLiteral("%1月").arg(m);
  for (const BoundPlan& b : plans) {
    if (b.plan->kind != 4 || b.plan->deleted || b.plan->year != year) continue;
    const Months available = availableMonths(*b.plan, actualOf(actuals, b.slot));
    for (size_t m = 0; m < 12; ++m) series.budget[m] += available[m];
  }
  for (const Account& a : accounts) {
    if (a.kind != 4) continue;
    const Months& months = actualOf(actuals, a.slot);
    for (size_t m = 0; m < 12; ++m) series.actual[m] += months[m];
  }
  return series;
}

QString overrunNotice(const QString& account, int year, int month, qint64 available,
                      qint64 before, qint64 after) {
  if (available <= 0) return {};
  const QString when = QStringLiteral("%1/%2").arg(year).arg(month, 2, 10, QLatin1Char('0'));
  // Compared in whole numbers: 80% of 5,000 is exactly 4,000, not a rounding of it.
  if (before <= available && after > available) {
    return QStringLiteral("注意：%1 %2 已超出預算 %3").arg(account, when,
                                                          period::grouped(after - available));
  }
  if (before * 5 <= available * 4 && after * 5 > available * 4 && after <= available) {
    return QStringLiteral("注意：%1 %2 已用預算的 %3%").arg(account, when).arg(
        after * 100 / available);
  }
  return {};
}

}  // namespace budget
