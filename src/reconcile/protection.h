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

// The finished reconciliations (their ids) that hold any of the open book's entries in
// `entrySlots`.
QStringList holdersOf(const book::Workspace& store, const std::vector<Reconciliation>& all,
                      const std::vector<int>& entrySlots);

// The question to ask before changing (or deleting) entries these reconciliations hold.
Message protectionQuestion(const std::vector<Reconciliation>& all, const QStringList& holders,
                           bool deleting);

// After the change went through: the holders no longer balance, and say why.
void markBroken(std::vector<Reconciliation>& all, const QStringList& holders, bool deleting,
                const QDateTime& now);

// The open book's reconciled entries: slot -> the name of the reconciliation holding it.
QHash<int, QString> reconciledSlots(const book::Workspace& store,
                                    const std::vector<Reconciliation>& all);

}  // namespace reconcile
