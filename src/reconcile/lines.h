#pragma once

#include "reconcile/reconciliation.h"

#include <vector>

class Module1;

namespace reconcile {

// The open book's entries of the account in `accountSlot`, slot order, signed as its ledger
// signs them, each with its key.
std::vector<Line> accountLines(const Module1& store, int accountSlot);

// The key of the entry in `entrySlot` as the book holds it now.
EntryKey keyOfSlot(const Module1& store, int entrySlot);

}  // namespace reconcile
