#include "reconcile/lines.h"

#include "book/workspace.h"
#include "store/ledger.h"

namespace reconcile {
namespace {

std::vector<store::LedgerEntry> entriesInUse(const book::Workspace& store) {
  std::vector<store::LedgerEntry> entries;
  entries.reserve(static_cast<size_t>(store.tables().entriesInUse()));
  for (int slot = 1; slot < store.tables().entryCount; ++slot)
    entries.push_back(store.tables().entries[slot]);
  return entries;
}

}  // namespace

std::vector<Line> accountLines(const book::Workspace& store, int accountSlot) {
  std::vector<Line> lines;
  if (accountSlot < 1 || accountSlot >= store.tables().accountCount) return lines;
  const QString& name = store.tables().accounts[accountSlot].AccountName;
  const std::vector<EntryKey> keys = entryKeys(entriesInUse(store));
  for (int slot = 1; slot < store.tables().entryCount; ++slot) {
    const store::LedgerEntry& e = store.tables().entries[slot];
    const bool first = store::sameField(e.IncreaseAccount, name);
    if (!first && !store::sameField(e.DecreaseAccount, name)) continue;
    const store::LedgerRow row = store::ledgerRowOf(store.tables(), slot, first);
    const QString& other = first ? e.DecreaseAccount : e.IncreaseAccount;
    lines.push_back({slot, e.EntryDate, row.other, store::trimTrailingSpaces(e.Memo),
                     row.runningTotal, keys[static_cast<size_t>(slot - 1)],
                     store::sameField(other, store::nameField(store::kEquityName)) &&
                         store::sameField(e.Memo, store::memoField(store::kInitialMemo))});
  }
  return lines;
}

EntryKey keyOfSlot(const book::Workspace& store, int entrySlot) {
  const std::vector<EntryKey> keys = entryKeys(entriesInUse(store));
  if (entrySlot < 1 || entrySlot > static_cast<int>(keys.size())) return {};
  return keys[static_cast<size_t>(entrySlot - 1)];
}

}  // namespace reconcile
