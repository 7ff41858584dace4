#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>

#include <QStringList>

#include <optional>

// The values of a bank's statement as Taiwanese banks and card issuers write them.
namespace statementvalues {

// The order of a date's parts. Taiwanese banks put the year first; banks abroad write the day
// or the month first, and "03/04/2021" means either.
enum class DateOrder { YearFirst, DayFirst, MonthFirst };

// Year first: y/m/d, y-m-d, y.m.d, yyyymmdd, and Republic-of-China years ("112/01/05" and
// "1120105" are 2023/01/05). Day or month first: d/m/yyyy or m/d/yyyy with the same separators.
// A time after the date is ignored. Calendar-checked.
std::optional<QDate> parseDate(const QString& text, DateOrder order = DateOrder::YearFirst);

// The order as a person reads it: "年/月/日", "日/月/年", "月/日/年".
QString dateOrderName(DateOrder order);

// The order under which most of the cells read as dates; on a tie year first, then day first.
DateOrder detectDateOrder(const QStringList& cells);

// Whether the text is a date in any of the orders.
bool isDate(const QString& text);

// A whole amount: thousands separators, a currency mark (NT$, $, 元, NTD), parentheses or a
// minus for negatives, full-width digits; a decimal part rounds halves to even. Nothing when
// the text is no amount or does not fit 32 bits.
std::optional<qint32> parseAmount(const QString& text);

}  // namespace statementvalues
