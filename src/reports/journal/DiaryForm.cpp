#include "ui/forms.h"

#include <QString>

// Placeholder until this window is built.
void openJournal(Module1&, QWidget*) {}
