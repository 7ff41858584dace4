#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

// When a recurring entry falls due. Every date is computed from the first date and the
// occurrence's number, never from the previous occurrence, so a 31st clamped to 02/28 comes
// back to 03/31 and no month is ever skipped.
namespace schedules {

enum class Unit { Days, Weeks, Months, Years };

// For a monthly rule: which day of the month.
enum class MonthDay { Fixed, LastDay, LastBusinessDay };

// Where an occurrence that falls on a Saturday or Sunday is moved.
enum class WeekendRule { None, FridayBefore, MondayAfter };

struct Rule {
  Unit unit = Unit::Months;
  int every = 1;  // 1 and up
  MonthDay monthDay = MonthDay::Fixed;
  int dayOfMonth = 1;  // 1 to 31, for Fixed months; shorter months take their last day
  QDate first;
  QDate end;      // the last nominal date allowed; invalid for none
  int count = 0;  // how many times at most; 0 for no limit
  WeekendRule weekend = WeekendRule::None;

  bool operator==(const Rule&) const = default;
};

inline constexpr int kMaxEvery = 999;

// Why a rule cannot be kept, in the words the schedules window shows; nothing when it can.
std::optional<QString> checkRule(const Rule& rule);

// The nominal date of occurrence `index` (0 is the first) before the weekend rule, with no
// regard to the end; invalid when it lies beyond the calendar's range.
QDate nominalDate(const Rule& rule, int index);

// The date an occurrence is posted on: the nominal date moved off the weekend.
QDate postingDate(const Rule& rule, const QDate& nominal);

// One occurrence: `nominal` identifies it for good (the record of posting and skipping keeps
// it, whatever the weekend rule makes of it); `date` is when it is due.
struct Occurrence {
  QDate nominal;
  QDate date;

  bool operator==(const Occurrence&) const = default;
};

// The occurrences whose due date is on or before `through`, in order, at most `limit`.
// Occurrences before the first date are not counted (a fixed day earlier in the first
// month) and neither are those past the end or the count.
std::vector<Occurrence> occurrencesThrough(const Rule& rule, const QDate& through,
                                           int limit = 1 << 20);

// The next `n` occurrences due after `after` (the schedules window shows five).
std::vector<Occurrence> nextOccurrences(const Rule& rule, const QDate& after, int n);

}  // namespace schedules
