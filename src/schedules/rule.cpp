#include "schedules/rule.h"

namespace schedules {
namespace {

// Books hold four-digit years; no occurrence is made beyond them.
constexpr int kLastYear = 9999;
// A first date centuries back would make every opening walk through all its days.
constexpr int kFirstYear = 1900;

QDate lastBusinessDayOf(int year, int month) {
  QDate day(year, month, QDate(year, month, 1).daysInMonth());
  const int weekday = day.dayOfWeek();  // 6 Saturday, 7 Sunday
  return weekday >= 6 ? day.addDays(5 - weekday) : day;
}

QDate monthlyDate(const Rule& rule, qint64 monthNumber) {
  const qint64 year = monthNumber / 12;
  const int month = static_cast<int>(monthNumber % 12) + 1;
  if (year > kLastYear) return {};
  const int y = static_cast<int>(year);
  switch (rule.monthDay) {
    case MonthDay::LastDay:
      return QDate(y, month, QDate(y, month, 1).daysInMonth());
    case MonthDay::LastBusinessDay:
      return lastBusinessDayOf(y, month);
    case MonthDay::Fixed:
      break;
  }
  // The 29th to 31st fall on a shorter month's last day: the month is never skipped.
  return QDate(y, month, std::min(rule.dayOfMonth, QDate(y, month, 1).daysInMonth()));
}

bool pastEnd(const Rule& rule, const QDate& nominal, int counted) {
  if (!nominal.isValid()) return true;
  if (rule.end.isValid() && nominal > rule.end) return true;
  return rule.count > 0 && counted >= rule.count;
}

// Walks the occurrences in order, handing each to `visit` until it returns false.
template <typename Visit>
void walk(const Rule& rule, Visit visit) {
  if (checkRule(rule)) return;
  int counted = 0;
  for (int index = 0;; ++index) {
    const QDate nominal = nominalDate(rule, index);
    if (nominal.isValid() && nominal < rule.first) continue;  // a fixed day before the first
    if (pastEnd(rule, nominal, counted)) return;
    ++counted;
    if (!visit(Occurrence{nominal, postingDate(rule, nominal)})) return;
  }
}

}  // namespace

std::optional<QString> checkRule(const Rule& rule) {
  if (!rule.first.isValid()) return QStringLiteral("請輸入第一次的日期");
  if (rule.first.year() < kFirstYear || rule.first.year() > kLastYear)
    return QStringLiteral("第一次的日期必須在 %1 年到 %2 年之間").arg(kFirstYear).arg(kLastYear);
  if (rule.every < 1 || rule.every > kMaxEvery)
    return QStringLiteral("間隔必須是 1 到 %1 之間的整數").arg(kMaxEvery);
  if (rule.unit == Unit::Months && rule.monthDay == MonthDay::Fixed &&
      (rule.dayOfMonth < 1 || rule.dayOfMonth > 31))
    return QStringLiteral("每月的日期必須是 1 到 31 之間的數字");
  if (rule.end.isValid() && rule.end < rule.first)
    return QStringLiteral("結束日期不可早於第一次的日期");
  if (rule.count < 0) return QStringLiteral("次數不可小於 0");
  return std::nullopt;
}

QDate nominalDate(const Rule& rule, int index) {
  const qint64 step = static_cast<qint64>(index) * rule.every;
  QDate date;
  switch (rule.unit) {
    case Unit::Days:
      date = rule.first.addDays(step);
      break;
    case Unit::Weeks:
      date = rule.first.addDays(step * 7);
      break;
    case Unit::Months:
      return monthlyDate(rule, rule.first.year() * qint64{12} + rule.first.month() - 1 + step);
    case Unit::Years:
      if (rule.first.year() + step > kLastYear) return {};
      // Qt clamps 02/29 to 02/28 in a common year and keeps it in a leap one.
      date = rule.first.addYears(static_cast<int>(step));
      break;
  }
  return date.isValid() && date.year() <= kLastYear ? date : QDate();
}

QDate postingDate(const Rule& rule, const QDate& nominal) {
  const int weekday = nominal.dayOfWeek();
  if (weekday < 6) return nominal;
  switch (rule.weekend) {
    case WeekendRule::FridayBefore:
      return nominal.addDays(5 - weekday);
    case WeekendRule::MondayAfter:
      return nominal.addDays(8 - weekday);
    case WeekendRule::None:
      break;
  }
  return nominal;
}

std::vector<Occurrence> occurrencesThrough(const Rule& rule, const QDate& through, int limit) {
  std::vector<Occurrence> due;
  walk(rule, [&](const Occurrence& o) {
    // Due dates never go back as the nominal ones advance: the first one past `through` ends it.
    if (o.date > through || static_cast<int>(due.size()) >= limit) return false;
    due.push_back(o);
    return true;
  });
  return due;
}

std::vector<Occurrence> nextOccurrences(const Rule& rule, const QDate& after, int n) {
  std::vector<Occurrence> next;
  if (n <= 0) return next;
  walk(rule, [&](const Occurrence& o) {
    if (o.date > after) next.push_back(o);
    return static_cast<int>(next.size()) < n;
  });
  return next;
}

}  // namespace schedules
