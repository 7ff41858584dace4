#include "users/settings.h"

#include "platform/textfile.h"

namespace settings {
namespace {

QString lineFor(const QString& userName) { return QStringLiteral("[UserName]=") + userName; }

}  // namespace

QString readLastUser(const QString& settingsPath) {
  const auto lines = textfile::readLines(settingsPath);
  if (!lines || lines->isEmpty()) return {};
  const QString head = lines->first().section(QLatin1Char(','), 0, 0);
  if (!head.contains(QLatin1Char('='))) return {};
  return head.section(QLatin1Char('='), 1, 1);
}

std::optional<QString> writeLastUser(const QString& settingsPath, const QString& userName) {
  return textfile::writeLines(settingsPath, {lineFor(userName)});
}

}  // namespace settings
