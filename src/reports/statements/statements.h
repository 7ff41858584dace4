#pragma once

#include "store/records.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace book {
class Workspace;
}

namespace statements {

// The balance sheet and the income statement as of one date, as the statements window shows
// them: six texts and the two results whose signs colour the window.
struct StatementTexts {
  QString assets;        // Text1
  QString income;        // Text2
  QString liabilities;   // Text3
  QString expenses;      // Text4
  QString netWorthLine;  // Text5, ends with CR LF
  QString balanceLine;   // Text6, no line break

  // Summed in 64 bits: a hundred accounts of 32-bit balances never overflow, and the
  // statements show the exact figures.
  qint64 netWorth = 0;  // assets total - liabilities total
  qint64 balance = 0;   // income total - expenses total
};

// Everything dated on or before `date` ("yyyy/mm/dd") counts; accounts in slot order, the
// equity account in no text. Changes nothing.
StatementTexts buildStatements(const book::Workspace& store, const QString& date);

// The same from a chart and its balances (index slot - 1) summed elsewhere.
StatementTexts buildStatements(const store::AccountTableType& accounts, int accountCount,
                               const std::vector<qint64>& balances);

}  // namespace statements
