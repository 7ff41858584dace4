#pragma once

#include "platform/widgets/FixedDialog.h"

class Dialogs;
namespace book {
class Workspace;
}
class QLineEdit;
class QPushButton;

// "建立新用戶": creates a user; the login window then holds the new name and password.
class NewUserForm : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr char kUserNameCaption[] = "Label1";
  static constexpr char kUserName[] = "Text1";
  static constexpr char kPasswordCaption[] = "Label2";
  static constexpr char kPassword[] = "Text2";
  static constexpr char kPasswordRule[] = "Label3";
  static constexpr char kOk[] = "Cmd1";
  static constexpr char kCancel[] = "Cmd2";

  NewUserForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent = nullptr);

  bool created() const { return created_; }
  QString userName() const;
  QString password() const;

 private:
  void onOk();

  book::Workspace& store_;
  Dialogs& dialogs_;
  QLineEdit* nameBox_;
  QLineEdit* passwordBox_;
  bool created_ = false;
};
