#pragma once

#include "reconcile/reconciliation.h"
#include "ui/print/pages.h"

namespace book {
class Workspace;
}

namespace printing {

// A finished reconciliation on paper: the account, the statement's date and balances, and
// every entry it ticked as the book holds it now (an entry closing the books folded away keeps
// the amount it was ticked with).
Document reconciliationDocument(const book::Workspace& store,
                                const reconcile::Reconciliation& done);

// The file name offered for its PDF.
QString reconciliationPdfName(const book::Workspace& store, const reconcile::Reconciliation& done);

}  // namespace printing
