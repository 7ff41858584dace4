#pragma once

#include "platform/message.h"
#include "reconcile/reconciliation.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace book {
class Workspace;
}

// Reconciled entries are protected: the ledger marks them, and changing or deleting one asks
// first, naming the reconciliation it belongs to. Changed anyway, that reconciliation no longer
// balances, and the next wizard of its account says so.
namespace reconcile {

// The reconciled entries among some of the open book's entries.
struct Held {
  std::vector<EntryKey> keys;  // of the entries a finished reconciliation holds
  QStringList holders;         // the ids of those reconciliations
};
Held heldAmong(const book::Workspace& store, const std::vector<Reconciliation>& all,
               const std::vector<int>& entrySlots);

// The question to ask before changing held entries; before deleting them, the one question that
// also confirms the deletion.
Message protectionQuestion(const std::vector<Reconciliation>& all, const Held& held, bool deleting);

// After the change went through: the held entries are released, and their reconciliations no
// longer balance while the book does not hold them as they were ticked.
void release(std::vector<Reconciliation>& all, const Held& held, bool deleting,
             const QDateTime& now);

// The open book's reconciled entries: slot -> the name of the reconciliation holding it.
QHash<int, QString> reconciledSlots(const book::Workspace& store,
                                    const std::vector<Reconciliation>& all);

}  // namespace reconcile
