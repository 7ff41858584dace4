#pragma once

#include "platform/message.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace book {
class Workspace;
}

namespace interchange {

// Exports for other programs: a spreadsheet's CSV and a plain-text accounting journal that
// ledger and hledger read. The journal window's own two exports live in journalexport.h.

// UTF-8 with a byte order mark, CR LF lines, RFC 4180 quoting, a header row. One row per entry:
// date, first account and its kind, second account and its kind, the amount as a plain number,
// the memo, the entry's number. A text field that a spreadsheet would take for a formula
// (starting with = + - @) gets an apostrophe in front.
QByteArray spreadsheetCsvBytes(const book::Workspace& store);

// A journal in UTF-8. Each account is named under the top level of its kind (Assets:,
// Liabilities:, Income:, Expenses:, Equity:) and each posting carries the entry's effect on the
// account under the program's sign rule, shown as those programs show it (liabilities, income
// and equity with the opposite sign). So every account's balance there is the program's.
// Where the two effects do not cancel, a third posting to kImbalanceAccount balances the entry.
// Entries whose date is no date are written as comments only.
QByteArray ledgerJournalBytes(const book::Workspace& store);

// The account that takes what an entry's two effects leave over.
inline const QString kImbalanceAccount = QStringLiteral("Equity:Varnix:不平衡差額");

// An account's name in the journal for a chart name and kind: colons, semicolons, runs of
// blanks and line breaks replaced so that the name reads back as one account.
QString journalAccountName(const QString& name, int kind);

enum class OtherExport { SpreadsheetCsv, Journal };

// CsvFolder + DataBaseName + "-UTF8.csv" and TxtFolder + DataBaseName + ".journal".
QString otherExportPath(const book::Workspace& store, OtherExport kind);

// Writes the export of the open database safely to `path` (otherExportPath() when empty); the
// box to show ("完成" or a refusal).
Message exportForOthers(const book::Workspace& store, OtherExport kind, const QString& path = {});

// The file dialog that lets the person choose where it goes, starting from otherExportPath()'s
// name.
FileRequest otherExportRequest(const book::Workspace& store, OtherExport kind);

}  // namespace interchange
