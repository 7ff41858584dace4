#include "interchange/journalrows.h"

#include "book/workspace.h"
#include "store/ledger.h"

namespace interchange {

std::vector<JournalRow> journalRows(const book::Workspace& store) {
  std::vector<JournalRow> rows;
  rows.reserve(static_cast<size_t>(std::max(store.tables().entryCount - 1, 0)));
  for (int slot = 1; slot < store.tables().entryCount; ++slot) {
    const store::LedgerEntry& e = store.tables().entries[slot];
    rows.push_back({e.EntryDate, e.IncreaseAccount, e.DecreaseAccount, QString::number(e.Amount),
                    store::trimTrailingSpaces(e.Memo)});
  }
  return rows;
}

}  // namespace interchange
