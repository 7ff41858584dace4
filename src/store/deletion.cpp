#include "store/deletion.h"

#include "history/History.h"
#include "platform/dialogs.h"
#include "store/Module1.h"
#include "store/ledger.h"

DeletionOutcome deleteTickedEntries(Module1& store, const std::vector<int>& tickedSlots) {
  // A row whose number names no entry in use cannot be deleted; it does not count as ticked.
  std::vector<int> chosen;
  for (int slot : tickedSlots) {
    if (slot >= 1 && slot < store.EntryCount) chosen.push_back(slot);
  }
  if (chosen.empty()) {
    store.dialogs().show(refusal(QStringLiteral("請先勾選要刪除的記錄")));
    return DeletionOutcome::NothingTicked;
  }
  if (store.dialogs().show(confirmDelete(QStringLiteral("確定刪除資料嗎？"))) != Answer::Yes) {
    return DeletionOutcome::Declined;
  }
  const HistoryStep step(store, stepname::kDeleteEntries);
  // Marking twice is harmless: the two rows of one entry leave one marked slot.
  for (int slot : chosen) markDeleted(store, slot);
  CompactEntries(store);
  store.showEntryCount();
  return DeletionOutcome::Deleted;
}
