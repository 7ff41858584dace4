#include "platform/foldernames.h"

#include "platform/codepage.h"

#include <QStringList>

namespace foldernames {
namespace {

// Device names that Windows keeps for itself, with or without an extension.
bool isReservedDevice(const QString& name) {
  const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
  static const QStringList fixed = {QStringLiteral("CON"), QStringLiteral("PRN"),
                                    QStringLiteral("AUX"), QStringLiteral("NUL")};
  if (fixed.contains(stem)) return true;
  if (stem.size() == 4 &&
      (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT")))) {
    const QChar digit = stem.at(3);
    return digit >= QLatin1Char('1') && digit <= QLatin1Char('9');
  }
  return false;
}

}  // namespace

std::optional<QString> folderNameProblem(const QString& name, const QString& what) {
  if (name.isEmpty()) return QStringLiteral("%1不可以是空白").arg(what);
  if (name == QLatin1String(".") || name == QLatin1String("..")) {
    return QStringLiteral("%1不可以是「.」或「..」").arg(what);
  }
  static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
  for (const QChar c : name) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
      return QStringLiteral("%1不可以含有控制字元").arg(what);
    }
    if (forbidden.contains(c)) {
      return QStringLiteral("%1不可以含有下列字元：\\ / : * ? \" < > |").arg(what);
    }
  }
  if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' '))) {
    return QStringLiteral("%1的最後一個字不可以是句點或空白").arg(what);
  }
  if (isReservedDevice(name)) {
    return QStringLiteral("「%1」是系統保留的名稱，不能當作%2").arg(name, what);
  }
  if (!codepage::canEncode(name)) {
    return QStringLiteral("%1含有無法儲存的字元「%2」，請改用其他字元")
        .arg(what, codepage::firstUnencodable(name));
  }
  return std::nullopt;
}

}  // namespace foldernames
