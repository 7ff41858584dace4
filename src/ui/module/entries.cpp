// The entries of the module that draws charts and prints (see ui/print/loadable.h). Whether the
// module is loaded into the program or linked into a test, they register as it starts.
#include "budget/BudgetReportForm.h"
#include "reports/period/ChartsForm.h"
#include "ui/print/loadable.h"
#include "ui/print/printer.h"

namespace {

[[maybe_unused]] const bool registered = [] {
  loadable::registerEntries(
      {&openCharts, &chartPictures, &openBudgetReport, &printing::printOnPrinter});
  return true;
}();

}  // namespace
