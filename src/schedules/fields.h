#pragma once

#include "schedules/schedule.h"

#include <QMap>
#include <QString>

#include <optional>

// Schedules and occurrence records as the named text fields of side-file records, and back.
// Reading trusts nothing: a field that is missing, out of range or not of its form makes the
// record unreadable (nothing instead of a guess).
namespace schedules {

using Fields = QMap<QString, QString>;

Fields fieldsOf(const Schedule& schedule);
Fields fieldsOf(const OccurrenceRecord& record);

// The record's id, change time and deletion mark come from the side file, not the fields.
std::optional<Schedule> scheduleFrom(const Fields& fields);
std::optional<OccurrenceRecord> occurrenceFrom(const Fields& fields);

}  // namespace schedules
