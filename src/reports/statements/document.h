#pragma once

#include "ui/print/pages.h"

namespace book {
class Workspace;
}

namespace printing {

// The balance sheet and the income statement as of `date` ("yyyy/mm/dd"), as the window shows
// them.
Document statementsDocument(const book::Workspace& store, const QString& date);

}  // namespace printing
