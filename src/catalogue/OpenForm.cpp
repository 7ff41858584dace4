#include "ui/forms.h"

#include <QString>

// Placeholder until this window is built.
void showDatabaseListFromMenu(Module1&, QWidget*) {}
