#pragma once

#include "reconcile/reconciliation.h"

#include <QString>

#include <optional>

namespace book {
class Workspace;
}

namespace stepnames {
inline const QString kReconcileAdjustment = QStringLiteral("對帳調整");
}  // namespace stepnames

namespace reconcile {

// 建立調整記錄: an entry dated on the statement day between the reconciled account and the one
// the person picked, of the amount that brings the difference to 0, as one undo step; it joins
// the wizard's lines ticked. The refusal, with nothing changed, when the book is full or the
// picked account cannot take the other side.
std::optional<QString> makeAdjustment(book::Workspace& store, Wizard& wizard, int accountSlot,
                                      int otherSlot, const QDate& statementDate);

}  // namespace reconcile
