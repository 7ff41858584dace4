#pragma once

#include "store/userplace.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace store {

// The user's books: "DataBase.lst" in the user's folder, one name a line in the user's own
// order, and one folder per book beside it.

inline const QString kDatabaseListFile = QStringLiteral("DataBase.lst");

QString databaseListPath(const UserPlace& user);

// The names in file order. A missing file counts as an empty list; a file that cannot be read
// gives the reason in words.
std::variant<QStringList, QString> loadDatabaseList(const UserPlace& user);
std::variant<QStringList, QString> readDatabaseList(const QString& path);

// Writes the whole list safely, each name followed by CR LF; the reason in words on failure.
std::optional<QString> saveDatabaseList(const UserPlace& user, const QStringList& names);

}  // namespace store
