#include "ui/forms.h"

#include <QString>

// Placeholder until this window is built.
void showLogin(Module1&, const QString&, QWidget*) {}
void changePassword(Module1&) {}
void logOutFromMenu(Module1&, QWidget*) {}
