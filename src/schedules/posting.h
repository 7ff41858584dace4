#pragma once

#include "schedules/schedule.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace book {
class Workspace;
}

namespace stepnames {
inline const QString kPostSchedules = QStringLiteral("定期記錄入帳");
inline const QString kSkipOccurrences = QStringLiteral("略過定期記錄");
inline const QString kSaveSchedule = QStringLiteral("儲存定期記錄");
inline const QString kDeleteSchedule = QStringLiteral("刪除定期記錄");
inline const QString kKeepEntryAsSchedule = QStringLiteral("存成定期");
}  // namespace stepnames

namespace schedules {

// The account names the open book has in use, as the book holds them.
std::vector<QString> accountNamesOf(const book::Workspace& store);

// Told of each change a person makes to the schedules or their records, with the schedules as
// they were before. Called while a posting's own step is still under way, so that a step made
// there joins the posting's: its entries and its records are undone together.
using Changed = std::function<void(const QString& stepName, const ScheduleBook& before)>;

// The usual one: each change is a step of the open book's history. 復原 puts `book` back as it
// was, 重做 as it became (see history::putBack); the side file follows at the next save of the
// book, as every change to it does. `alive` is held by whoever owns `book`.
Changed stepsOf(book::Workspace& store, ScheduleBook& book, std::weak_ptr<const void> alive);

// Posts the decided occurrences into the open book as one undo step and keeps their records in
// `book` (`changed`, when given, is told within the step). The refusal's text, with nothing posted
// and nothing kept, when the batch cannot go in.
std::optional<QString> postDecisions(book::Workspace& store, ScheduleBook& book,
                                     const std::vector<Decision>& decisions,
                                     const Changed& changed = {});

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
AutoPosted postByThemselves(book::Workspace& store, ScheduleBook& book,
                            const Changed& changed = {});

}  // namespace schedules
