#include "store/booklist.h"

#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>

namespace store {

QString databaseListPath(const UserPlace& user) {
  return user.userFolder() + QLatin1Char('/') + kDatabaseListFile;
}

std::variant<QStringList, QString> loadDatabaseList(const UserPlace& user) {
  return readDatabaseList(databaseListPath(user));
}

std::variant<QStringList, QString> readDatabaseList(const QString& path) {
  const QFileInfo info(path);
  // A user folder without its list is a user without databases.
  if (!info.exists()) return QStringList();
  auto lines = info.isFile() ? textfile::readLines(path) : std::nullopt;
  if (!lines) {
    return QStringLiteral("無法讀取資料庫清單「%1」").arg(QDir::toNativeSeparators(path));
  }
  return *lines;
}

std::optional<QString> saveDatabaseList(const UserPlace& user, const QStringList& names) {
  if (auto error = textfile::writeLines(databaseListPath(user), names)) {
    return QStringLiteral("資料庫清單沒有存好：%1").arg(*error);
  }
  return std::nullopt;
}

}  // namespace store
