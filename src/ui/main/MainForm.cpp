#include "ui/main/MainForm.h"

#include "store/Module1.h"

MainForm::MainForm(Module1& store, QWidget* parent) : QMainWindow(parent), store_(store) {
  setWindowTitle(QStringLiteral("Varnix v1.1"));
  setFixedSize(735, 554);
}

bool MainForm::start() {
  show();
  return true;
}
