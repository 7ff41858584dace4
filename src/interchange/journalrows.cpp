#include "interchange/journalrows.h"

#include "store/Module1.h"
#include "store/ledger.h"

std::vector<JournalRow> journalRows(const Module1& store) {
  std::vector<JournalRow> rows;
  rows.reserve(static_cast<size_t>(std::max(store.EntryCount - 1, 0)));
  for (int slot = 1; slot < store.EntryCount; ++slot) {
    const LedgerEntry& e = store.EntryTable[slot];
    rows.push_back({e.EntryDate, e.IncreaseAccount, e.DecreaseAccount, QString::number(e.Amount),
                    TrimTrailingSpaces(e.Memo)});
  }
  return rows;
}
