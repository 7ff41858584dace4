#include "ui/forms.h"

#include <QString>

// Placeholder until this window is built.
void openBulkDelete(Module1&, LedgerView&, QWidget*) {}
