#pragma once

#include "platform/widgets/FixedDialog.h"

class Dialogs;
namespace book {
class Workspace;
}
class QLineEdit;
class QPushButton;

// Makes a password box show "*" for every typed character, whatever the style's own mask.
void maskWithAsterisks(QLineEdit* box);

// "登入": the user's name and password. Left only by a successful login or by "結束"; what
// follows is the session's business. "建立" asks the session for a new user while the window
// stays.
class LoginForm : public FixedDialog {
  Q_OBJECT

 public:
  enum class Outcome { Stay, LoggedIn, End };

  static constexpr char kUserNameCaption[] = "lblLabels(0)";
  static constexpr char kUserName[] = "Text1";
  static constexpr char kPasswordCaption[] = "lblLabels(1)";
  static constexpr char kPassword[] = "Text2";
  static constexpr char kSampleUserHint[] = "Label1";
  static constexpr char kCreate[] = "Cmd1";
  static constexpr char kOk[] = "cmdOK";
  static constexpr char kEnd[] = "cmdCancel";

  LoginForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent = nullptr);

  void setUserName(const QString& name);
  // Fills both boxes, as after a new user was created.
  void setUser(const QString& name, const QString& password);
  Outcome outcome() const { return outcome_; }

 signals:
  void newUserRequested();

 private:
  void onOk();
  void onEnd();

  book::Workspace& store_;
  Dialogs& dialogs_;
  QLineEdit* nameBox_;
  QLineEdit* passwordBox_;
  QPushButton* okButton_;
  QPushButton* endButton_;
  QPushButton* createButton_;
  Outcome outcome_ = Outcome::Stay;
};
