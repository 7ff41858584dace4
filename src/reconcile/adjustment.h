#pragma once

#include "reconcile/reconciliation.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace book {
class Workspace;
}

namespace stepnames {
inline const QString kReconcileAdjustment = QStringLiteral("對帳調整");
inline const QString kFinishReconciliation = QStringLiteral("完成對帳");
inline const QString kPutOffReconciliation = QStringLiteral("延後對帳");
}  // namespace stepnames

namespace reconcile {

// 建立調整記錄: an entry dated on the statement day between the reconciled account and the one
// the person picked, of the amount that brings the difference to 0, as one undo step; it joins
// the wizard's lines ticked. The refusal, with nothing changed, when the book is full or the
// picked account cannot take the other side.
std::optional<QString> makeAdjustment(book::Workspace& store, Wizard& wizard, int accountSlot,
                                      int otherSlot, const QDate& statementDate);

// Told of each reconciliation kept (finished or put off), with all of them as they were before.
using Changed =
    std::function<void(const QString& stepName, const std::vector<Reconciliation>& before)>;

// The usual one: each change is a step of the open book's history that puts `all` back as it
// was (復原) or as it became (重做); the side file follows at the next save of the book.
// `alive` is held by whoever owns `all`.
Changed stepsOf(book::Workspace& store, std::vector<Reconciliation>& all,
                std::weak_ptr<const void> alive);

}  // namespace reconcile
