#include "store/userplace.h"

#include <QDir>

namespace store {

namespace {

QString withSlash(const QString& folder, const QString& name) {
  // A program at a drive's root has a path that already ends in a separator.
  if (folder.endsWith(QLatin1Char('/'))) return folder + name + QLatin1Char('/');
  return folder + QLatin1Char('/') + name + QLatin1Char('/');
}

}  // namespace

QString databaseFolderName(const QString& name) {
  qsizetype end = name.size();
  while (end > 0 &&
         (name.at(end - 1) == QLatin1Char(' ') || name.at(end - 1) == QLatin1Char('.'))) {
    --end;
  }
  return name.left(end);
}

UserPlace::UserPlace(const QString& dataFolder, const QString& programFiles)
    : dataFolder_(QDir::fromNativeSeparators(dataFolder)) {
  if (dataFolder_.endsWith(QLatin1Char('/')) && dataFolder_.size() > 1 &&
      !dataFolder_.endsWith(QLatin1String(":/")) && dataFolder_ != QLatin1String("/")) {
    dataFolder_.chop(1);
  }
  programFiles_ = programFiles.isEmpty() ? dataFolder_ : QDir::fromNativeSeparators(programFiles);
  usersFolder_ = withSlash(dataFolder_, QStringLiteral("DataBase"));
  csvFolder_ = withSlash(dataFolder_, QStringLiteral("CSV"));
  txtFolder_ = withSlash(dataFolder_, QStringLiteral("TXT"));
}

void UserPlace::logIn(const QString& userName, const QString& passwordLine) {
  userName_ = userName;
  passwordLine_ = passwordLine;
  listChanged_ = false;
}

}  // namespace store
