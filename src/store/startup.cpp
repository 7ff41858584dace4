#include "store/startup.h"

#include "platform/textfile.h"
#include "store/Module1.h"

#include <QDir>

bool prepareDataBaseFolder(const Module1& store) { return QDir().mkpath(store.DataBaseFolder); }

QString lastUserName(const QString& settingsFile) {
  const auto lines = textfile::readLines(settingsFile);
  if (!lines || lines->isEmpty()) return {};
  const QString line = lines->first().section(QLatin1Char(','), 0, 0);
  const QStringList pieces = line.split(QLatin1Char('='));
  return pieces.size() >= 2 ? pieces.at(1) : QString();
}
