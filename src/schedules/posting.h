#pragma once

#include "schedules/schedule.h"

#include <QString>

#include <optional>
#include <vector>

namespace book {
class Workspace;
}

namespace stepnames {
inline const QString kPostSchedules = QStringLiteral("定期記錄入帳");
}  // namespace stepnames

namespace schedules {

// The account names the open book has in use, as the book holds them.
std::vector<QString> accountNamesOf(const book::Workspace& store);

// What each posting step did to the records, so that undo and redo of the step take the
// records back and forth with the entries.
struct RecordStep {
  ScheduleBook before;
  ScheduleBook after;
};
using RecordSteps = std::vector<RecordStep>;

// Posts the decided occurrences into the open book as one undo step and keeps their records in
// `book` (the step's records go to `log` when given). The refusal's text, with nothing posted and
// nothing kept, when the batch cannot go in.
std::optional<QString> postDecisions(book::Workspace& store, ScheduleBook& book,
                                     const std::vector<Decision>& decisions,
                                     RecordSteps* log = nullptr);

// Due occurrences whose entry the book already holds (same date, accounts and memo) are
// recorded as posted: a side file restored from an older backup, or one a second computer has
// not seen the posting in, must not post them again.
void recogniseBookedOccurrences(const book::Workspace& store, ScheduleBook& book);

// Posts every due occurrence of the schedules that post by themselves; the ones it posted
// (for the list to show), or the refusal with nothing posted.
struct AutoPosted {
  std::vector<DueOccurrence> posted;
  std::optional<QString> refusal;
};
AutoPosted postByThemselves(book::Workspace& store, ScheduleBook& book, RecordSteps* log = nullptr);

}  // namespace schedules
