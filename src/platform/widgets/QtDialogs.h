#pragma once

#include "platform/dialogs.h"

// The dialog seam of the running program: QMessageBox, QInputDialog and QDialog::exec.
class QtDialogs : public Dialogs {
 public:
  Answer message(const Message& message) override;
  QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
  int exec(QDialog& dialog) override;

 protected:
  QString askFile(const FileRequest& request, const QString& start) override;
};
