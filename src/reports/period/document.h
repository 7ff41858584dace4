#pragma once

#include "ui/print/pages.h"

namespace book {
class Workspace;
}

namespace period {
struct Report;
}

namespace printing {

// The table and the net worth of the period, then its charts.
Document periodDocument(const book::Workspace& store, const period::Report& report);

}  // namespace printing
