#pragma once

#include "schedules/rule.h"
#include "store/records.h"

#include <QDateTime>
#include <QString>

#include <variant>
#include <vector>

// Recurring entries: what a schedule posts, and which of its occurrences have been dealt with.
// An occurrence is known by its schedule's id and its nominal date, so skipping one keeps
// working whatever the weekend rule moves it to, and each is posted at most once.
namespace schedules {

enum class Mode { Ask, PostByItself };

struct Schedule {
  QString id;  // stable for good; the side file merges by it
  QDateTime changed;
  bool deleted = false;
  QString increase;  // account names as the book holds them
  QString decrease;
  qint32 amount = 0;
  QString memo;
  bool estimate = false;  // the amount is only an estimate: always asked for
  Mode mode = Mode::Ask;
  Rule rule;

  bool operator==(const Schedule&) const = default;
};

enum class Outcome { Posted, Skipped };

struct OccurrenceRecord {
  QString scheduleId;
  QDate nominal;
  Outcome outcome = Outcome::Posted;
  QDateTime changed;
  bool deleted = false;  // undone: the occurrence is due again

  bool operator==(const OccurrenceRecord&) const = default;
};

// The record's id in the side file: the same occurrence has the same id on every computer, so
// two copies that both dealt with it merge into one record.
QString recordId(const QString& scheduleId, const QDate& nominal);

// One occurrence that is due and not yet dealt with.
struct DueOccurrence {
  int schedule = 0;  // position in the schedules handed in
  Occurrence occurrence;
  bool asks = true;  // listed for a decision; false: posted by itself

  bool operator==(const DueOccurrence&) const = default;
};

// The schedules with the record of their occurrences. Plain values: the open book keeps one,
// the side file reads and writes it, and undo keeps copies of it.
struct ScheduleBook {
  std::vector<Schedule> schedules;
  std::vector<OccurrenceRecord> records;

  bool operator==(const ScheduleBook&) const = default;
};

// Every occurrence due on or before `today` that no live record covers, by date, then by
// schedule. Each stays on its own date; none are merged.
std::vector<DueOccurrence> dueOccurrences(const ScheduleBook& book, const QDate& today);

// What the person decided for one listed occurrence.
enum class Action { Post, Skip, Postpone };

struct Decision {
  DueOccurrence due;
  Action action = Action::Post;
  qint32 amount = 0;  // the amount to post (changed or the schedule's own)
};

// A batch ready to go into the book: the entries to append, in order, and the records that say
// their occurrences were dealt with. Postponed occurrences leave neither and stay due.
struct Batch {
  std::vector<store::LedgerEntry> entries;
  std::vector<OccurrenceRecord> records;
};

// The batch for these decisions, or why it cannot be posted: nothing goes in when the book
// would pass its limit (the text says how many fit) or a schedule's account is gone.
// `accountNames` are the book's account names in use, `entriesInUse` its entry count.
std::variant<Batch, QString> planBatch(const ScheduleBook& book,
                                       const std::vector<Decision>& decisions,
                                       const std::vector<QString>& accountNames, int entriesInUse,
                                       const QDateTime& now);

// Adds the batch's records to the book (replacing an undone record of the same occurrence).
void keepRecords(ScheduleBook& book, const std::vector<OccurrenceRecord>& records);

// The batch's text when it would take the book past its limit.
QString limitText(int fit);

}  // namespace schedules
