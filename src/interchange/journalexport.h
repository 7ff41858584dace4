#pragma once

#include "interchange/journalrows.h"
#include "platform/message.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace book {
class Workspace;
}

namespace interchange {

// The journal window's own two exports, as the journal lists the entries.

enum class ExportKind { Csv, Text };

// The export's bytes: code page 950, every line ended by CR LF. A character the code page
// cannot hold is written as "?" (as in the database files) and still takes one column.
//
// Comma-separated: date, the two account names and the memo without trailing blanks, the
// amount. A field holding a comma, a double quote or a line break is put in double quotes with
// its quotes doubled, so that every line reads back as five fields.
QByteArray csvBytes(const std::vector<JournalRow>& rows);
// Fixed columns, counted in characters: date (10), blank, first account (20), blank, second
// account (20), blank, amount left-aligned (12), blank, memo. Line breaks inside a field are
// written as one blank each, so every entry stays on its one line.
QByteArray textBytes(const std::vector<JournalRow>& rows);

// CsvFolder/TxtFolder + DataBaseName + ".csv"/".txt".
QString exportPath(const book::Workspace& store, ExportKind kind);

// Writes the export of these rows, creating its folder when missing and replacing the earlier
// export of the database only once the new one is whole. Returns the box to show: "已存成…檔"
// when written, a refusal naming the reason when not (the earlier file then stays as it was).
Message exportJournal(const book::Workspace& store, const std::vector<JournalRow>& rows,
                      ExportKind kind);

}  // namespace interchange
