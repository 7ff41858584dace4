#include "schedules/fields.h"

#include "store/ledger.h"

#include <array>
#include <utility>

namespace schedules {
namespace {

// Each enumeration's values by the words the file holds; a word not listed is unreadable.
template <typename E, size_t N>
using Words = std::array<std::pair<E, const char*>, N>;

constexpr Words<Unit, 4> kUnits{{{Unit::Days, "days"},
                                 {Unit::Weeks, "weeks"},
                                 {Unit::Months, "months"},
                                 {Unit::Years, "years"}}};
constexpr Words<MonthDay, 3> kMonthDays{{{MonthDay::Fixed, "day"},
                                         {MonthDay::LastDay, "last"},
                                         {MonthDay::LastBusinessDay, "last-business"}}};
constexpr Words<WeekendRule, 3> kWeekends{{{WeekendRule::None, "none"},
                                           {WeekendRule::FridayBefore, "friday-before"},
                                           {WeekendRule::MondayAfter, "monday-after"}}};
constexpr Words<Mode, 2> kModes{{{Mode::Ask, "ask"}, {Mode::PostByItself, "post"}}};
constexpr Words<Outcome, 2> kOutcomes{{{Outcome::Posted, "posted"}, {Outcome::Skipped, "skipped"}}};

template <typename E, size_t N>
QString wordOf(const Words<E, N>& words, E value) {
  for (const auto& [v, word] : words)
    if (v == value) return QString::fromLatin1(word);
  return {};
}

template <typename E, size_t N>
std::optional<E> valueOf(const Words<E, N>& words, const QString& word) {
  for (const auto& [v, w] : words)
    if (word == QLatin1String(w)) return v;
  return std::nullopt;
}

QString dateText(const QDate& date) {
  return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

// A date of the form yyyy-mm-dd, or nothing at all when `optional` allows it.
std::optional<QDate> readDate(const QString& text, bool optional) {
  if (text.isEmpty()) return optional ? std::optional<QDate>(QDate()) : std::nullopt;
  if (text.size() != 10) return std::nullopt;
  const QDate date = QDate::fromString(text, Qt::ISODate);
  return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

std::optional<qint64> readInteger(const QString& text, qint64 low, qint64 high) {
  bool ok = false;
  const qint64 value = text.toLongLong(&ok);
  if (!ok || value < low || value > high || text.trimmed() != text) return std::nullopt;
  return value;
}

}  // namespace

Fields fieldsOf(const Schedule& s) {
  // Kept without the blanks that pad them in the book; posting pads them again.
  return {{"increase", store::trimTrailingSpaces(s.increase)},
          {"decrease", store::trimTrailingSpaces(s.decrease)},
          {"amount", QString::number(s.amount)},
          {"memo", store::trimTrailingSpaces(s.memo)},
          {"estimate", s.estimate ? "1" : "0"},
          {"mode", wordOf(kModes, s.mode)},
          {"unit", wordOf(kUnits, s.rule.unit)},
          {"every", QString::number(s.rule.every)},
          {"monthday", wordOf(kMonthDays, s.rule.monthDay)},
          {"day", QString::number(s.rule.dayOfMonth)},
          {"first", dateText(s.rule.first)},
          {"end", dateText(s.rule.end)},
          {"count", QString::number(s.rule.count)},
          {"weekend", wordOf(kWeekends, s.rule.weekend)}};
}

Fields fieldsOf(const OccurrenceRecord& r) {
  return {{"schedule", r.scheduleId},
          {"nominal", dateText(r.nominal)},
          {"outcome", wordOf(kOutcomes, r.outcome)}};
}

std::optional<Schedule> scheduleFrom(const Fields& f) {
  Schedule s;
  const auto amount = readInteger(f.value("amount"), INT32_MIN, INT32_MAX);
  const auto mode = valueOf(kModes, f.value("mode"));
  const auto unit = valueOf(kUnits, f.value("unit"));
  const auto every = readInteger(f.value("every"), 1, kMaxEvery);
  const auto monthDay = valueOf(kMonthDays, f.value("monthday"));
  const auto day = readInteger(f.value("day"), 1, 31);
  const auto first = readDate(f.value("first"), false);
  const auto end = readDate(f.value("end"), true);
  const auto count = readInteger(f.value("count"), 0, INT32_MAX);
  const auto weekend = valueOf(kWeekends, f.value("weekend"));
  const QString estimate = f.value("estimate");
  if (!amount || !mode || !unit || !every || !monthDay || !day || !first || !end || !count ||
      !weekend || (estimate != "0" && estimate != "1"))
    return std::nullopt;
  // Names and memo go into fixed-width fields when posted; longer ones are no schedule's.
  s.increase = f.value("increase");
  s.decrease = f.value("decrease");
  s.memo = f.value("memo");
  if (s.increase.isEmpty() || s.decrease.isEmpty() || s.increase.size() > store::kNameWidth ||
      s.decrease.size() > store::kNameWidth || s.memo.size() > store::kMemoWidth)
    return std::nullopt;
  s.amount = static_cast<qint32>(*amount);
  s.estimate = estimate == "1";
  s.mode = *mode;
  s.rule = {*unit, static_cast<int>(*every), *monthDay, static_cast<int>(*day), *first,
            *end,  static_cast<int>(*count), *weekend};
  if (checkRule(s.rule)) return std::nullopt;
  return s;
}

std::optional<OccurrenceRecord> occurrenceFrom(const Fields& f) {
  const auto nominal = readDate(f.value("nominal"), false);
  const auto outcome = valueOf(kOutcomes, f.value("outcome"));
  const QString schedule = f.value("schedule");
  if (!nominal || !outcome || schedule.isEmpty()) return std::nullopt;
  return OccurrenceRecord{schedule, *nominal, *outcome, {}, false};
}

}  // namespace schedules
