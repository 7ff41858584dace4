#pragma once

// Schedules for the tests: paid from the bank every month on their first date's day.

#include "schedules/schedule.h"

namespace testschedules {

inline schedules::Schedule monthly(const char* id, const QString& category, qint32 amount,
                                   QDate first, schedules::Mode mode = schedules::Mode::Ask) {
  schedules::Schedule s;
  s.id = id;
  s.increase = category;
  s.decrease = "A-銀行";
  s.amount = amount;
  s.memo = category.mid(2);
  s.mode = mode;
  s.rule.first = first;
  s.rule.dayOfMonth = first.day();
  return s;
}

// Every occurrence due on `day`, each to be posted at its schedule's own amount.
inline std::vector<schedules::Decision> postingAllDue(const schedules::ScheduleBook& plan,
                                                      QDate day) {
  std::vector<schedules::Decision> all;
  for (const schedules::DueOccurrence& due : schedules::dueOccurrences(plan, day))
    all.push_back({due, schedules::Action::Post, plan.schedules[size_t(due.schedule)].amount});
  return all;
}

}  // namespace testschedules
