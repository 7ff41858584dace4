#pragma once

#include "entries/entrycommands.h"
#include "schedules/schedule.h"

#include <QString>

#include <variant>

namespace book {
class Workspace;
}

namespace schedules {

// The schedules window's controls as its 儲存 reads them. The entry's part is checked as the
// entry dialog checks it (the first date standing for the entry's date); the end date is text.
struct ScheduleInput {
  entries::EntryInput entry;
  bool estimate = false;
  bool postByItself = false;
  Rule rule;        // all but the first date and the end date
  QString endDate;  // empty: no end date
};

// The schedule these controls describe, or the refusal to show; nothing is changed.
std::variant<Schedule, Message> checkSchedule(const book::Workspace& store,
                                              const ScheduleInput& input);

// Keeps a new or changed schedule (by id), stamped with the time of the change.
void keepSchedule(ScheduleBook& book, Schedule schedule, const QDateTime& now);
// Marks the schedule deleted; its occurrence records stay, so nothing is posted twice if it
// comes back from another copy.
void deleteSchedule(ScheduleBook& book, const QString& id, const QDateTime& now);

// 存成定期: the entry just made becomes a schedule, monthly on its day from its date, asking
// each time; the entry itself is its first occurrence, already posted. What the person is told:
// the rule and the next date, with the question whether to edit it now; or, when the entry's
// date gives no rule, why nothing was kept.
Message keepEntryAsSchedule(ScheduleBook& book, const store::LedgerEntry& entry, const QString& id,
                            const QDateTime& now);

}  // namespace schedules
