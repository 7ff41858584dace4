#include "platform/widgets/QtDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QMessageBox>

Answer QtDialogs::message(const Message& message) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(message.title);
  box.setText(message.text);
  switch (message.icon) {
    case MessageIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::Exclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case MessageIcon::None:
      break;
  }
  if (message.buttons == MessageButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return Answer::Ok;
}

QString QtDialogs::input(const QString& prompt, const QString& title, const QString& defaultText) {
  bool ok = false;
  const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                             QLineEdit::Normal, defaultText, &ok);
  return ok ? text : QString();
}

int QtDialogs::exec(QDialog& dialog) { return dialog.exec(); }
