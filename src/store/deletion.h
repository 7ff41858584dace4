#pragma once

#include <vector>

class Module1;

// Deleting the entries whose ledger rows the user has ticked.
enum class DeletionOutcome {
  NothingTicked,  // told to tick rows first; nothing changed
  Declined,       // the question was answered No; nothing changed
  Deleted,        // the entries are gone, the entry count panel shows the new count
};

// `tickedSlots`: the 編號 of every ticked row, first row first. An entry that names the shown
// account on both sides has two rows and may appear twice; it is deleted once. Asks for
// confirmation through the store's dialogs. Nothing is saved.
DeletionOutcome deleteTickedEntries(Module1& store, const std::vector<int>& tickedSlots);
