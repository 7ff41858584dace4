#pragma once

#include "store/records.h"

#include <QString>

namespace store {

// A book's two tables as its files hold them, or as the open book holds them in memory: slots
// from 1, each count the first free slot.
struct BookTables {
  AccountTableType accounts;
  EntryTableType entries;
  int accountCount = 1;  // first free slot
  int entryCount = 1;    // first free slot

  int accountsInUse() const { return accountCount - 1; }
  int entriesInUse() const { return entryCount - 1; }
  // Slot of the account with exactly this (padded) name, 0 when there is none.
  int accountSlot(const QString& name) const {
    for (int slot = 1; slot < accountCount; ++slot) {
      if (sameField(accounts[slot].AccountName, name)) return slot;
    }
    return 0;
  }
};

}  // namespace store
