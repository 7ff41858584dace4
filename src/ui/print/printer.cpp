#include "ui/print/printer.h"

#include "platform/dialogs.h"

#include <QPrintDialog>
#include <QPrinter>

namespace printing {

void printOnPrinter(Dialogs& dialogs, const Document& document, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(document.title + QLatin1Char(' ') + document.bookName);
  QPrintDialog dialog(&printer, parent);
  if (dialogs.exec(dialog) != QDialog::Accepted) return;
  if (render(document, printer) == 0) {
    dialogs.message(refusal(QStringLiteral("無法列印：找不到可用的印表機")));
  }
}

}  // namespace printing
