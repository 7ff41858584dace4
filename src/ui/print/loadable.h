#pragma once

#include "ui/print/pages.h"

#include <QString>

#include <functional>
#include <vector>

namespace book {
class Workspace;
}
namespace budget {
class Budget;
}
namespace period {
struct Report;
}
class Dialogs;
class QWidget;

// The windows and pages that draw charts or talk to a printer need Qt Charts, Qt OpenGL and Qt
// Print Support: libraries that would cost every start some milliseconds, though most sessions
// never draw a chart. The program keeps that part in a module of its own, varnix-charts.so
// (beside the program, or in ../lib/varnix/plugins), loaded the first time it is wanted and kept
// for the rest of the session. Tests and benchmarks link the same code in; it registers itself.
namespace loadable {

struct Entries {
  void (*openCharts)(book::Workspace&, Dialogs&, const period::Report&, QWidget*);
  std::vector<printing::Picture> (*chartPictures)(const book::Workspace&, const period::Report&);
  void (*openBudgetReport)(book::Workspace&, Dialogs&, const budget::Budget&, QWidget*);
  void (*print)(Dialogs&, const printing::Document&, QWidget*);
};

// Called by the module's code as it is loaded (or, linked in, as the process starts).
void registerEntries(const Entries& entries);

// The module's entries, loaded on first use; nullptr, with the reason in `why`, when the module
// is missing or unsound.
const Entries* entries(QString& why);

// Looks for the module at `file` instead of beside the program and in ../lib/varnix/plugins
// (a test's build folder).
void useModuleFile(const QString& file);

// Hands the module's entries to `use`, or says through `dialogs` why the module cannot be had.
void withModule(Dialogs& dialogs, const std::function<void(const Entries&)>& use);

// Each opens its window, or says why it cannot.
void openCharts(book::Workspace& store, Dialogs& dialogs, const period::Report& report,
                QWidget* parent);
void openBudgetReport(book::Workspace& store, Dialogs& dialogs, const budget::Budget& plans,
                      QWidget* parent);

}  // namespace loadable
