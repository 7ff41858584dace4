#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <variant>

namespace schedules {

// What is due in the book's folder on `today`, one occurrence a line ("yyyy/mm/dd", amount,
// the two accounts, the memo, whether it asks), for the command line. Reads the side file
// only and writes nothing; the reason in words when the folder is no book or the file unreadable.
std::variant<QByteArray, QString> dueText(const QString& bookFolder, const QDate& today);

}  // namespace schedules
