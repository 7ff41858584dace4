#pragma once

#include "budget/report.h"

#include <QByteArray>
#include <QString>

// 預算與實際 as text for the command line and as CSV for the window and the command line.
namespace budget {

// "2026/03" for a month, "2026/01 至 2026/12" for a year to date.
QString spanLabel(const Report& report);

// "122.0%", or "—" when there was no budget.
QString percentText(const std::optional<double>& percent);

// Columns lined up by their width on screen (a Chinese character counts two), amounts with
// thousands separators; UTF-8, LF line ends.
QByteArray reportText(const Report& report);

// One row per account: 類別,帳戶,預算,實際,差額,百分比, bare numbers; UTF-8 with CR LF, as the
// spreadsheet exports are.
QByteArray reportCsv(const Report& report);

}  // namespace budget
