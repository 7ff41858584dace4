#include "platform/dates.h"

#include <QLocale>
#include <QRegularExpression>

namespace dates {
namespace {

std::optional<QDate> fromParts(int year, int month, int day) {
  const QDate date(year, month, day);
  if (!date.isValid()) return std::nullopt;
  return date;
}

}  // namespace

std::optional<QDate> parse(const QString& typed) {
  const QString text = typed.trimmed();
  if (text.isEmpty()) return std::nullopt;

  static const QRegularExpression ymd(QStringLiteral("^(\\d{4})[/-](\\d{1,2})[/-](\\d{1,2})$"));
  if (const auto m = ymd.match(text); m.hasMatch()) {
    return fromParts(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
  }

  const QLocale locale = QLocale::system();
  const QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
  QDate date = locale.toDate(text, shortFormat);
  if (!date.isValid()) return std::nullopt;
  if (!shortFormat.contains(QLatin1String("yyyy"))) {
    // Qt reads a two-digit year as 19yy; a household's dates belong to this century.
    const int currentCentury = QDate::currentDate().year() / 100 * 100;
    const QDate moved(currentCentury + date.year() % 100, date.month(), date.day());
    if (!moved.isValid()) return std::nullopt;
    date = moved;
  }
  return date;
}

QString format(const QDate& date) { return date.toString(QStringLiteral("yyyy/MM/dd")); }

QString formatShort(const QDate& date) {
  return QLocale::system().toString(date, QLocale::ShortFormat);
}

std::optional<QString> normalise(const QString& text) {
  const auto date = parse(text);
  if (!date) return std::nullopt;
  return format(*date);
}

}  // namespace dates
