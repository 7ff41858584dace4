#include "schedules/posting.h"

#include "book/workspace.h"
#include "history/History.h"
#include "history/sidechange.h"
#include "platform/dates.h"

#include <QHash>

namespace schedules {

std::vector<QString> accountNamesOf(const book::Workspace& store) {
  std::vector<QString> names;
  for (int slot = 1; slot < store.tables().accountCount; ++slot)
    names.push_back(store.tables().accounts[slot].AccountName);
  return names;
}

std::optional<QString> postDecisions(book::Workspace& store, ScheduleBook& book,
                                     const std::vector<Decision>& decisions,
                                     const Changed& changed) {
  auto planned = planBatch(book, decisions, accountNamesOf(store), store.tables().entriesInUse(),
                           store.clock().now());
  if (auto* refused = std::get_if<QString>(&planned)) return *refused;
  const Batch& batch = std::get<Batch>(planned);
  const ScheduleBook before = changed ? book : ScheduleBook{};
  if (batch.entries.empty()) {
    // Only skips: a step of the side file alone.
    keepRecords(book, batch.records);
    if (changed && !batch.records.empty()) changed(stepnames::kSkipOccurrences, before);
    return std::nullopt;
  }
  const HistoryStep step(store.history(), store.tables(), stepnames::kPostSchedules);
  for (const store::LedgerEntry& e : batch.entries)
    store.tables().entries[store.tables().entryCount++] = e;
  store.showEntryCount();
  keepRecords(book, batch.records);
  if (changed) changed(stepnames::kPostSchedules, before);
  return std::nullopt;
}

void recogniseBookedOccurrences(const book::Workspace& store, ScheduleBook& book) {
  const std::vector<DueOccurrence> due = dueOccurrences(book, store.clock().today());
  if (due.empty()) return;
  // Each entry of the book stands for one occurrence at most.
  QHash<QString, int> booked;
  const auto keyOf = [](const QString& date, const QString& increase, const QString& decrease,
                        const QString& memo) {
    return date + QChar(0) + store::nameField(increase) + QChar(0) + store::nameField(decrease) +
           QChar(0) + store::memoField(memo);
  };
  for (int slot = 1; slot < store.tables().entryCount; ++slot) {
    const store::LedgerEntry& e = store.tables().entries[slot];
    ++booked[keyOf(e.EntryDate, e.IncreaseAccount, e.DecreaseAccount, e.Memo)];
  }
  std::vector<OccurrenceRecord> found;
  for (const DueOccurrence& d : due) {
    const Schedule& s = book.schedules[static_cast<size_t>(d.schedule)];
    auto at = booked.find(keyOf(dates::format(d.occurrence.date), s.increase, s.decrease, s.memo));
    if (at == booked.end() || *at == 0) continue;
    --*at;
    found.push_back(
        {s.id, d.occurrence.nominal, Outcome::Posted, store.clock().now().toUTC(), false});
  }
  keepRecords(book, found);
}

AutoPosted postByThemselves(book::Workspace& store, ScheduleBook& book, const Changed& changed) {
  AutoPosted out;
  std::vector<Decision> decisions;
  for (const DueOccurrence& due : dueOccurrences(book, store.clock().today())) {
    if (due.asks) continue;
    decisions.push_back(
        {due, Action::Post, book.schedules[static_cast<size_t>(due.schedule)].amount});
    out.posted.push_back(due);
  }
  if (decisions.empty()) return out;
  out.refusal = postDecisions(store, book, decisions, changed);
  if (out.refusal) out.posted.clear();
  return out;
}

Changed stepsOf(book::Workspace& store, ScheduleBook& book, std::weak_ptr<const void> alive) {
  return
      [&store, &book, alive = std::move(alive)](const QString& name, const ScheduleBook& before) {
        const auto put = [&store, &book](const ScheduleBook& target) -> std::optional<QString> {
          const QDateTime now = store.clock().now().toUTC();
          book.schedules = history::putBack(
              target.schedules, book.schedules, [](const Schedule& s) { return s.id; }, now);
          book.records = history::putBack(
              target.records, book.records,
              [](const OccurrenceRecord& r) { return recordId(r.scheduleId, r.nominal); }, now);
          return std::nullopt;
        };
        store.history().recordSide(
            name, std::make_unique<history::SideRecords<ScheduleBook>>(alive, before, book, put));
      };
}

}  // namespace schedules
