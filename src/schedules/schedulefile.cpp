#include "schedules/schedulefile.h"

#include "platform/sidefile.h"
#include "schedules/fields.h"

#include <QFileInfo>
#include <QHash>

namespace schedules {
namespace {

const QString kTypeKey = QStringLiteral("type");
const QString kScheduleType = QStringLiteral("schedule");
const QString kOccurrenceType = QStringLiteral("occurrence");

Fields fieldsOfRecord(const sidefile::Record& record) {
  Fields fields;
  for (const auto& [key, value] : record.fields) fields.insert(key, value);
  return fields;
}

sidefile::Record recordOf(const QString& id, const QDateTime& changed, bool deleted,
                          const QString& type, const Fields& fields) {
  sidefile::Record r{id, changed, deleted, {{kTypeKey, type}}};
  for (auto it = fields.begin(); it != fields.end(); ++it)
    r.fields.emplace_back(it.key(), it.value());
  return r;
}

std::vector<sidefile::Record> recordsOf(const ScheduleBook& book) {
  std::vector<sidefile::Record> out;
  for (const Schedule& s : book.schedules)
    out.push_back(recordOf(s.id, s.changed, s.deleted, kScheduleType, fieldsOf(s)));
  for (const OccurrenceRecord& r : book.records)
    out.push_back(recordOf(recordId(r.scheduleId, r.nominal), r.changed, r.deleted, kOccurrenceType,
                           fieldsOf(r)));
  return out;
}

ScheduleBook bookOf(const std::vector<sidefile::Record>& records) {
  ScheduleBook book;
  for (const sidefile::Record& record : records) {
    const Fields fields = fieldsOfRecord(record);
    const QString type = fields.value(kTypeKey);
    if (type == kScheduleType) {
      if (auto s = scheduleFrom(fields)) {
        s->id = record.id;
        s->changed = record.changed;
        s->deleted = record.deleted;
        book.schedules.push_back(*s);
      }
    } else if (type == kOccurrenceType) {
      // The id says which occurrence it is: one that disagrees with its fields is no record.
      auto r = occurrenceFrom(fields);
      if (r && recordId(r->scheduleId, r->nominal) == record.id) {
        r->changed = record.changed;
        r->deleted = record.deleted;
        book.records.push_back(*r);
      }
    }
  }
  return book;
}

}  // namespace

QString schedulesPath(const QString& bookFolder) {
  return bookFolder + QLatin1Char('/') + kSchedulesFile;
}

std::variant<ScheduleBook, QString> schedulesFrom(const QByteArray& bytes) {
  auto parsed = sidefile::parse(bytes, kSchedulesKind, kSchedulesVersion);
  if (auto* reason = std::get_if<QString>(&parsed)) return *reason;
  return bookOf(std::get<sidefile::Contents>(parsed).records);
}

std::variant<ScheduleBook, QString> readSchedules(const QString& bookFolder) {
  auto read = sidefile::read(schedulesPath(bookFolder), kSchedulesKind, kSchedulesVersion);
  if (auto* reason = std::get_if<QString>(&read)) return *reason;
  return bookOf(std::get<sidefile::Contents>(read).records);
}

std::variant<ScheduleBook, QString> writeSchedules(const QString& bookFolder,
                                                   const ScheduleBook& book) {
  const QString path = schedulesPath(bookFolder);
  // A book that never had a schedule gets no file.
  if (book.schedules.empty() && book.records.empty() && !QFileInfo::exists(path)) return book;
  auto onDisk = sidefile::read(path, kSchedulesKind, kSchedulesVersion);
  if (auto* reason = std::get_if<QString>(&onDisk)) return *reason;
  const auto merged =
      sidefile::merge(recordsOf(book), std::get<sidefile::Contents>(onDisk).records);
  if (auto error = sidefile::write(path, kSchedulesKind, kSchedulesVersion, merged)) return *error;
  return bookOf(merged);
}

}  // namespace schedules
