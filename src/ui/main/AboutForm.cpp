#include "ui/forms.h"

#include <QString>

// Placeholder until this window is built.
void openAbout(Module1&, QWidget*) {}
