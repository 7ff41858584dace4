#include "interchange/statementvalues.h"

#include "platform/numbers.h"

#include <QRegularExpression>

#include <algorithm>

namespace statementvalues {
namespace {

// Full-width digits, signs and marks become their plain forms.
QString plain(const QString& text) {
  return text.normalized(QString::NormalizationForm_KC).trimmed();
}

std::optional<QDate> dateOf(int year, int month, int day) {
  const QDate date(year, month, day);
  if (!date.isValid() || year < 1000) return std::nullopt;
  return date;
}

}  // namespace

std::optional<QDate> parseDate(const QString& text, DateOrder order) {
  QString t = plain(text);
  const qsizetype blank = t.indexOf(QLatin1Char(' '));
  if (blank > 0) t.truncate(blank);
  if (order != DateOrder::YearFirst) {
    static const QRegularExpression yearLast(
        QStringLiteral("^(\\d{1,2})([/.-])(\\d{1,2})\\2(\\d{4})$"));
    const auto m = yearLast.match(t);
    if (!m.hasMatch()) return std::nullopt;
    const int first = m.capturedView(1).toInt(), second = m.capturedView(3).toInt();
    const int year = m.capturedView(4).toInt();
    return order == DateOrder::DayFirst ? dateOf(year, second, first) : dateOf(year, first, second);
  }
  static const QRegularExpression separated(
      QStringLiteral("^(\\d{2,4})([/.-])(\\d{1,2})\\2(\\d{1,2})$"));
  if (const auto m = separated.match(t); m.hasMatch()) {
    int year = m.capturedView(1).toInt();
    // Two or three digits: a year of the Republic of China.
    if (m.capturedLength(1) < 4) year += 1911;
    return dateOf(year, m.capturedView(3).toInt(), m.capturedView(4).toInt());
  }
  static const QRegularExpression packed(QStringLiteral("^\\d{7,8}$"));
  if (packed.match(t).hasMatch()) {
    const int yearDigits = static_cast<int>(t.size()) - 4;
    int year = t.left(yearDigits).toInt();
    if (yearDigits == 3) year += 1911;
    return dateOf(year, t.mid(yearDigits, 2).toInt(), t.right(2).toInt());
  }
  return std::nullopt;
}

QString dateOrderName(DateOrder order) {
  switch (order) {
    case DateOrder::DayFirst:
      return QStringLiteral("日/月/年");
    case DateOrder::MonthFirst:
      return QStringLiteral("月/日/年");
    case DateOrder::YearFirst:
      break;
  }
  return QStringLiteral("年/月/日");
}

DateOrder detectDateOrder(const QStringList& cells) {
  int yearFirst = 0, dayFirst = 0, monthFirst = 0;
  for (const QString& cell : cells) {
    yearFirst += parseDate(cell, DateOrder::YearFirst) ? 1 : 0;
    dayFirst += parseDate(cell, DateOrder::DayFirst) ? 1 : 0;
    monthFirst += parseDate(cell, DateOrder::MonthFirst) ? 1 : 0;
  }
  if (yearFirst >= std::max(dayFirst, monthFirst)) return DateOrder::YearFirst;
  return monthFirst > dayFirst ? DateOrder::MonthFirst : DateOrder::DayFirst;
}

bool isDate(const QString& text) {
  return parseDate(text, DateOrder::YearFirst) || parseDate(text, DateOrder::DayFirst) ||
         parseDate(text, DateOrder::MonthFirst);
}

std::optional<qint32> parseAmount(const QString& text) {
  QString t = plain(text);
  bool negative = false;
  if (t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
    negative = true;
    t = t.mid(1, t.size() - 2).trimmed();
  }
  for (const char* mark : {"NTD", "NT$", "NT", "TWD", "$", "元"}) {
    t.remove(QString::fromUtf8(mark), Qt::CaseInsensitive);
  }
  t.remove(QLatin1Char(' '));
  // A sign may stand before or after the currency mark, or after the number.
  if (t.endsWith(QLatin1Char('-'))) {
    negative = !negative;
    t.chop(1);
  }
  if (t.startsWith(QLatin1Char('-'))) {
    negative = !negative;
    t.remove(0, 1);
  } else if (t.startsWith(QLatin1Char('+'))) {
    t.remove(0, 1);
  }
  static const QRegularExpression grouped(QStringLiteral("^\\d{1,3}(,\\d{3})+(\\.\\d*)?$"));
  if (grouped.match(t).hasMatch()) t.remove(QLatin1Char(','));
  static const QRegularExpression number(QStringLiteral("^\\d+(\\.\\d*)?$|^\\.\\d+$"));
  if (!number.match(t).hasMatch()) return std::nullopt;
  const numbers::Amount amount = numbers::parseAmount(negative ? QLatin1Char('-') + t : t);
  if (!amount.ok()) return std::nullopt;
  return amount.value;
}

}  // namespace statementvalues
