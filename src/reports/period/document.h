#pragma once

#include "ui/print/pages.h"

class Module1;

namespace period {
struct Report;
}

namespace printing {

// The table and the net worth of the period, then its charts.
Document periodDocument(const Module1& store, const period::Report& report);

}  // namespace printing
