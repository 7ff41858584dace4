#pragma once

#include "reconcile/reconciliation.h"

#include <vector>

namespace book {
class Workspace;
}

namespace reconcile {

// The open book's entries of the account in `accountSlot`, slot order, signed as its ledger
// signs them, each with its key.
std::vector<Line> accountLines(const book::Workspace& store, int accountSlot);

// The key of the entry in `entrySlot` as the book holds it now.
EntryKey keyOfSlot(const book::Workspace& store, int entrySlot);

}  // namespace reconcile
