#include "schedules/duetext.h"

#include "platform/dates.h"
#include "schedules/schedulefile.h"
#include "store/database.h"
#include "store/ledger.h"

#include <QDir>
#include <QFileInfo>

namespace schedules {

std::variant<QByteArray, QString> dueText(const QString& bookFolder, const QDate& today) {
  if (!QFileInfo(bookFolder + QLatin1Char('/') + store::kAccountsFile).isFile())
    return QStringLiteral("「%1」不是資料庫的資料夾").arg(QDir::toNativeSeparators(bookFolder));
  auto read = readSchedules(bookFolder);
  if (auto* reason = std::get_if<QString>(&read)) return *reason;
  const ScheduleBook& book = std::get<ScheduleBook>(read);
  QString out;
  for (const DueOccurrence& due : dueOccurrences(book, today)) {
    const Schedule& s = book.schedules[static_cast<size_t>(due.schedule)];
    out += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\n")
               .arg(dates::format(due.occurrence.date), QString::number(s.amount),
                    store::trimTrailingSpaces(s.increase), store::trimTrailingSpaces(s.decrease),
                    store::trimTrailingSpaces(s.memo).replace(QStringLiteral("\r\n"),
                                                              QStringLiteral(" ")),
                    due.asks ? QStringLiteral("詢問") : QStringLiteral("自動入帳"));
  }
  return out.toUtf8();
}

}  // namespace schedules
