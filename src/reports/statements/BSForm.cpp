#include "ui/forms.h"

#include <QString>

// Placeholder until this window is built.
void openStatements(Module1&, QWidget*) {}
