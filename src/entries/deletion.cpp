#include "entries/deletion.h"

#include "book/workspace.h"
#include "history/History.h"
#include "store/ledger.h"

namespace entries {

namespace {

// A row whose number names no entry in use cannot be deleted; it does not count as ticked.
std::vector<int> entriesInUse(const book::Workspace& store, const std::vector<int>& tickedSlots) {
  std::vector<int> chosen;
  for (int slot : tickedSlots) {
    if (slot >= 1 && slot < store.tables().entryCount) chosen.push_back(slot);
  }
  return chosen;
}

}  // namespace

std::optional<Message> tickedEntriesRefusal(const book::Workspace& store,
                                            const std::vector<int>& tickedSlots) {
  if (entriesInUse(store, tickedSlots).empty()) {
    return refusal(QStringLiteral("請先勾選要刪除的記錄"));
  }
  return std::nullopt;
}

std::optional<Message> deleteTickedEntries(book::Workspace& store,
                                           const std::vector<int>& tickedSlots) {
  if (auto refused = tickedEntriesRefusal(store, tickedSlots)) return refused;
  const HistoryStep step(store.history(), store.tables(), stepnames::kDeleteEntries);
  // Marking twice is harmless: the two rows of one entry leave one marked slot.
  for (int slot : entriesInUse(store, tickedSlots)) store::markDeleted(store.tables(), slot);
  store::compactEntries(store.tables());
  store.showEntryCount();
  return std::nullopt;
}

}  // namespace entries
