#pragma once

#include <QString>

#include <vector>

namespace book {
class Workspace;
}

namespace interchange {

// The journal: every entry of the open database in slot order, as the journal window lists it
// and its two exports (journalexport) write it.

struct JournalRow {
  QString date;      // the entry's date, ten characters
  QString increase;  // the first account, its 20 stored characters
  QString decrease;  // the second account, its 20 stored characters
  QString amount;    // decimal, "-" before negative values
  QString memo;      // without trailing blanks

  bool operator==(const JournalRow&) const = default;
};

std::vector<JournalRow> journalRows(const book::Workspace& store);

}  // namespace interchange
