#pragma once

#include "store/ledger.h"

#include <vector>

namespace store {

// What the dialogs may do to the main window's ledger (implemented by MainForm). Keeps the
// entry dialog, deletion, closing and bulk delete free of the main window's widgets.
class LedgerView {
 public:
  virtual ~LedgerView() = default;

  // Slot of the account selected in the account selector (Cob1 position + 1); 0 when none.
  virtual int shownAccountSlot() const = 0;
  // Selects the account at slot in the selector, which rebuilds its ledger and selects the
  // last row (as a click on the selector does).
  virtual void showAccount(int slot) = 0;
  // Rebuilds the ledger of the selected account; selects and shows the last row when asked.
  virtual void redrawLedger(bool selectLastRow) = 0;
  // Appends one row (no colours) and selects it and scrolls it into view.
  virtual void appendRow(const LedgerRow& row) = 0;
  // Selects the row whose 編號 is slot and scrolls it into view.
  virtual void selectEntry(int slot) = 0;
  // The running total shown in the last row ("累計"), 0 when the ledger is empty.
  virtual qint64 lastRunningTotal() const = 0;
  // Number of rows in the ledger.
  virtual int rowCount() const = 0;

  // What lies beside the entries and must hear of changes to them (the reconciliations that
  // hold entries, the schedules an entry can become). Without it, entries change freely.
  // Asks, when it must, before the entries in `entrySlots` are changed or deleted; false:
  // leave them.
  virtual bool mayChangeEntries(const std::vector<int>& /*entrySlots*/, bool /*deleting*/) {
    return true;
  }
  // The entries asked about last were changed or deleted after all.
  virtual void entriesChanged() {}
  // 存成定期 of the entry dialog for the entry in `slot`.
  virtual void keepEntryAsSchedule(int /*slot*/) {}
};

}  // namespace store
