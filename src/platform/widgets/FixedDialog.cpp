#include "platform/widgets/FixedDialog.h"

#include <QCloseEvent>
#include <QPushButton>

FixedDialog::FixedDialog(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(true);
}

void FixedDialog::setClientSize(int width, int height) { setFixedSize(width, height); }

void FixedDialog::leave(int result) {
  leaving_ = true;
  done(result);
  leaving_ = false;
}

void FixedDialog::closeEvent(QCloseEvent* event) {
  if (leaving_) {
    QDialog::closeEvent(event);
    return;
  }
  event->ignore();
}

void FixedDialog::reject() {
  // QDialog sends Esc and the window manager's close here.
  if (leaving_) {
    QDialog::reject();
    return;
  }
  if (cancelButton_ && cancelButton_->isVisible() && cancelButton_->isEnabled()) {
    cancelButton_->click();
  }
}
