#include "entries/deletion.h"

#include "history/History.h"
#include "store/Module1.h"
#include "store/ledger.h"

namespace {

// A row whose number names no entry in use cannot be deleted; it does not count as ticked.
std::vector<int> entriesInUse(const Module1& store, const std::vector<int>& tickedSlots) {
  std::vector<int> chosen;
  for (int slot : tickedSlots) {
    if (slot >= 1 && slot < store.EntryCount) chosen.push_back(slot);
  }
  return chosen;
}

}  // namespace

std::optional<Message> tickedEntriesRefusal(const Module1& store,
                                            const std::vector<int>& tickedSlots) {
  if (entriesInUse(store, tickedSlots).empty()) {
    return refusal(QStringLiteral("請先勾選要刪除的記錄"));
  }
  return std::nullopt;
}

std::optional<Message> deleteTickedEntries(Module1& store, const std::vector<int>& tickedSlots) {
  if (auto refused = tickedEntriesRefusal(store, tickedSlots)) return refused;
  const HistoryStep step(store, stepname::kDeleteEntries);
  // Marking twice is harmless: the two rows of one entry leave one marked slot.
  for (int slot : entriesInUse(store, tickedSlots)) markDeleted(store, slot);
  CompactEntries(store);
  store.showEntryCount();
  return std::nullopt;
}
