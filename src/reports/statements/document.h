#pragma once

#include "ui/print/pages.h"

class Module1;

namespace printing {

// The balance sheet and the income statement as of `date` ("yyyy/mm/dd"), as the window shows
// them.
Document statementsDocument(const Module1& store, const QString& date);

}  // namespace printing
