#include "ui/forms.h"

#include <QString>

// Placeholder until this window is built.
void openAccountEditor(Module1&, QWidget*) {}
