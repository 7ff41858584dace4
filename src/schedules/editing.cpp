#include "schedules/editing.h"

#include "platform/dates.h"

#include <algorithm>

namespace schedules {

std::variant<Schedule, Message> checkSchedule(const book::Workspace& store,
                                              const ScheduleInput& input) {
  // A full book may still keep a schedule: posting it is what the limit refuses.
  auto entry = entries::checkEntryFields(store, input.entry);
  if (auto* refused = std::get_if<Message>(&entry)) return *refused;
  const store::LedgerEntry& e = std::get<store::LedgerEntry>(entry);
  Schedule s;
  s.increase = e.IncreaseAccount;
  s.decrease = e.DecreaseAccount;
  s.amount = e.Amount;
  s.memo = e.Memo;
  s.estimate = input.estimate;
  s.mode = input.postByItself ? Mode::PostByItself : Mode::Ask;
  s.rule = input.rule;
  s.rule.first = *dates::parse(e.EntryDate);
  s.rule.end = QDate();
  if (!input.endDate.trimmed().isEmpty()) {
    const auto end = dates::parse(input.endDate.trimmed());
    if (!end) return refusal(QStringLiteral("結束日期不是正確的日期格式"));
    s.rule.end = *end;
  }
  if (auto why = checkRule(s.rule)) return refusal(*why);
  return s;
}

void keepSchedule(ScheduleBook& book, Schedule schedule, const QDateTime& now) {
  schedule.changed = now.toUTC();
  auto same = std::find_if(book.schedules.begin(), book.schedules.end(),
                           [&](const Schedule& s) { return s.id == schedule.id; });
  if (same != book.schedules.end())
    *same = schedule;
  else
    book.schedules.push_back(schedule);
}

void deleteSchedule(ScheduleBook& book, const QString& id, const QDateTime& now) {
  for (Schedule& s : book.schedules)
    if (s.id == id) {
      s.deleted = true;
      s.changed = now.toUTC();
    }
}

Message keepEntryAsSchedule(ScheduleBook& book, const store::LedgerEntry& entry, const QString& id,
                            const QDateTime& now) {
  Schedule s;
  s.id = id;
  s.changed = now.toUTC();
  s.increase = entry.IncreaseAccount;
  s.decrease = entry.DecreaseAccount;
  s.amount = entry.Amount;
  s.memo = entry.Memo;
  s.rule.first = dates::parse(entry.EntryDate).value_or(QDate());
  s.rule.dayOfMonth = s.rule.first.day();
  if (auto why = checkRule(s.rule)) return refusal(*why);
  book.schedules.push_back(s);
  keepRecords(book, {{id, s.rule.first, Outcome::Posted, now.toUTC(), false}});
  const std::vector<Occurrence> next = nextOccurrences(s.rule, s.rule.first, 1);
  return {QStringLiteral("已存成定期記錄：每個月 %1 日，每次入帳前詢問，下一次是 %2。\n"
                         "要現在修改它（週期、結束日期、自動入帳）嗎？")
              .arg(s.rule.dayOfMonth)
              .arg(next.empty() ? QStringLiteral("（無）") : dates::format(next.front().date)),
          QStringLiteral("存成定期"), MessageIcon::Question, MessageButtons::YesNo};
}

}  // namespace schedules
