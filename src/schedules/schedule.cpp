#include "schedules/schedule.h"

#include "platform/dates.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace schedules {
namespace {

using Dealt = QHash<QString, QSet<qint64>>;  // schedule id -> nominal dates (Julian days)

Dealt dealtWith(const std::vector<OccurrenceRecord>& records) {
  Dealt dealt;
  for (const OccurrenceRecord& r : records)
    if (!r.deleted) dealt[r.scheduleId].insert(r.nominal.toJulianDay());
  return dealt;
}

bool isDealt(const Dealt& dealt, const QString& id, const QDate& nominal) {
  const auto found = dealt.constFind(id);
  return found != dealt.constEnd() && found->contains(nominal.toJulianDay());
}

bool hasAccount(const std::vector<QString>& names, const QString& name) {
  const QString wanted = store::nameField(name);
  return std::any_of(names.begin(), names.end(), [&](const QString& n) {
    return store::sameField(store::nameField(n), wanted);
  });
}

}  // namespace

QString recordId(const QString& scheduleId, const QDate& nominal) {
  return scheduleId + QLatin1Char('-') + nominal.toString(QStringLiteral("yyyyMMdd"));
}

QString limitText(int fit) {
  return QStringLiteral(
             "入帳後資料筆數會超過3000筆上限，目前最多還能入帳 %1 筆；"
             "這次沒有入帳任何記錄")
      .arg(fit);
}

std::vector<DueOccurrence> dueOccurrences(const ScheduleBook& book, const QDate& today) {
  const Dealt dealt = dealtWith(book.records);
  std::vector<DueOccurrence> due;
  for (int i = 0; i < static_cast<int>(book.schedules.size()); ++i) {
    const Schedule& s = book.schedules[static_cast<size_t>(i)];
    if (s.deleted) continue;
    const bool asks = s.mode == Mode::Ask || s.estimate;
    // More than the book can hold could never be posted: the list stops there.
    int listed = 0;
    for (const Occurrence& o : occurrencesThrough(s.rule, today)) {
      if (isDealt(dealt, s.id, o.nominal)) continue;
      due.push_back({i, o, asks});
      if (++listed == store::kMaxEntries) break;
    }
  }
  std::stable_sort(due.begin(), due.end(), [](const DueOccurrence& a, const DueOccurrence& b) {
    return a.occurrence.date < b.occurrence.date;
  });
  return due;
}

std::variant<Batch, QString> planBatch(const ScheduleBook& book,
                                       const std::vector<Decision>& decisions,
                                       const std::vector<QString>& accountNames, int entriesInUse,
                                       const QDateTime& now) {
  Dealt dealt = dealtWith(book.records);
  Batch batch;
  for (const Decision& d : decisions) {
    if (d.action == Action::Postpone) continue;
    if (d.due.schedule < 0 || d.due.schedule >= static_cast<int>(book.schedules.size())) continue;
    const Schedule& s = book.schedules[static_cast<size_t>(d.due.schedule)];
    const QDate nominal = d.due.occurrence.nominal;
    // Another window or computer may have dealt with it meanwhile: at most once, always.
    if (s.deleted || isDealt(dealt, s.id, nominal)) continue;
    dealt[s.id].insert(nominal.toJulianDay());
    const Outcome outcome = d.action == Action::Post ? Outcome::Posted : Outcome::Skipped;
    batch.records.push_back({s.id, nominal, outcome, now.toUTC(), false});
    if (outcome == Outcome::Skipped) continue;
    for (const QString& account : {s.increase, s.decrease})
      if (!hasAccount(accountNames, account))
        return QStringLiteral("帳戶「%1」已經不存在，請先修改定期記錄「%2」")
            .arg(account.trimmed(), s.memo.trimmed());
    batch.entries.push_back(store::makeEntry(dates::format(d.due.occurrence.date), s.increase,
                                             s.decrease, d.amount, s.memo));
  }
  const int room = std::max(0, store::kMaxEntries - entriesInUse);
  if (static_cast<int>(batch.entries.size()) > room) return limitText(room);
  return batch;
}

void keepRecords(ScheduleBook& book, const std::vector<OccurrenceRecord>& records) {
  QHash<QString, size_t> at;
  at.reserve(static_cast<qsizetype>(book.records.size()));
  for (size_t i = 0; i < book.records.size(); ++i)
    at.insert(recordId(book.records[i].scheduleId, book.records[i].nominal), i);
  for (const OccurrenceRecord& r : records) {
    const QString id = recordId(r.scheduleId, r.nominal);
    const auto found = at.constFind(id);
    if (found != at.constEnd()) {
      book.records[*found] = r;
    } else {
      at.insert(id, book.records.size());
      book.records.push_back(r);
    }
  }
}

}  // namespace schedules
