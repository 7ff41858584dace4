#pragma once

#include "ui/print/pages.h"

class Dialogs;
class QWidget;

namespace printing {

// Asks for a printer through the desktop's print dialog and prints the document on it. Part of
// the module loaded on first use (ui/print/loadable.h); the windows call print().
void printOnPrinter(Dialogs& dialogs, const Document& document, QWidget* parent);

}  // namespace printing
