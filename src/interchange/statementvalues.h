#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>

#include <optional>

// The values of a bank's statement as Taiwanese banks and card issuers write them.
namespace statementvalues {

// y/m/d, y-m-d, y.m.d, yyyymmdd, and Republic-of-China years: "112/01/05" and "1120105" are
// 2023/01/05. A time after the date is ignored. Calendar-checked.
std::optional<QDate> parseDate(const QString& text);

// A whole amount: thousands separators, a currency mark (NT$, $, 元, NTD), parentheses or a
// minus for negatives, full-width digits; a decimal part rounds halves to even. Nothing when
// the text is no amount or does not fit 32 bits.
std::optional<qint32> parseAmount(const QString& text);

}  // namespace statementvalues
