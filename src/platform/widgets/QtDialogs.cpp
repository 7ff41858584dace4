#include "platform/widgets/QtDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

Answer QtDialogs::message(const Message& message) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(message.title);
  box.setText(message.text);
  box.setIcon(boxIcon(message.icon));
  // The buttons speak the program's language, whatever the system's translations are.
  if (message.buttons == MessageButtons::YesNo) {
    QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
  }
  QPushButton* ok = box.addButton(QStringLiteral("確定"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.exec();
  return Answer::Ok;
}

QString QtDialogs::input(const QString& prompt, const QString& title, const QString& defaultText) {
  QInputDialog box(QApplication::activeWindow());
  box.setWindowTitle(title);
  box.setLabelText(prompt);
  box.setTextValue(defaultText);
  box.setOkButtonText(QStringLiteral("確定"));
  box.setCancelButtonText(QStringLiteral("取消"));
  // A cancelled box answers with the empty text, as an emptied one does.
  if (box.exec() != QDialog::Accepted) return {};
  return box.textValue();
}

int QtDialogs::exec(QDialog& dialog) { return dialog.exec(); }

QString QtDialogs::askFile(const FileRequest& request, const QString& start) {
  QWidget* parent = QApplication::activeWindow();
  return request.purpose == FileRequest::Purpose::Open
             ? QFileDialog::getOpenFileName(parent, request.title, start, request.filter)
             : QFileDialog::getSaveFileName(parent, request.title, start, request.filter);
}
