#pragma once

#include "schedules/schedule.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

// The schedules of a book and the record of their occurrences, in a side file beside the
// book's own files. The book files never hold any of it.
namespace schedules {

inline const QString kSchedulesFile = QStringLiteral("Schedules.txt");
inline const QString kSchedulesKind = QStringLiteral("varnix-schedules");
inline constexpr int kSchedulesVersion = 1;

QString schedulesPath(const QString& bookFolder);

// The side file's bytes as schedules and records. A record this version cannot read (a field
// out of form, a kind it does not know) is left out here and left as it is in the file.
std::variant<ScheduleBook, QString> schedulesFrom(const QByteArray& bytes);

// The book's schedules; none when the book has no side file yet.
std::variant<ScheduleBook, QString> readSchedules(const QString& bookFolder);

// Writes the book's schedules, merged record by record with what the file holds now (another
// program may have written it meanwhile): the later change of each record wins, so nothing
// dealt with there is forgotten here. Gives back what the file holds now. A book with no
// schedule and no file gets none.
std::variant<ScheduleBook, QString> writeSchedules(const QString& bookFolder,
                                                   const ScheduleBook& book);

}  // namespace schedules
