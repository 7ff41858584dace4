#pragma once

#include "platform/message.h"

#include <optional>
#include <vector>

namespace book {
class Workspace;
}

namespace entries {

// Deleting the entries whose ledger rows the user has ticked. `tickedSlots`: the 編號 of every
// ticked row, first row first. An entry that names the shown account on both sides has two rows
// and may appear twice; it is deleted once.

// The refusal when no ticked row names an entry in use; nothing when there is one to delete
// (the window then asks whether to delete).
std::optional<Message> tickedEntriesRefusal(const book::Workspace& store,
                                            const std::vector<int>& tickedSlots);

// Deletes the ticked entries and shows the new entry count; the refusal, with nothing changed,
// when there is nothing to delete. Nothing is saved.
std::optional<Message> deleteTickedEntries(book::Workspace& store,
                                           const std::vector<int>& tickedSlots);

}  // namespace entries
