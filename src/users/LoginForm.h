#pragma once

#include "platform/widgets/FixedDialog.h"

class Module1;
class QLabel;
class QLineEdit;
class QPushButton;

// Makes a password box show "*" for every typed character, whatever the style's own mask.
void maskWithAsterisks(QLineEdit* box);

// "登入": the user's name and password. Left only by a successful login or by "結束", which
// ends the program.
class LoginForm : public FixedDialog {
  Q_OBJECT

 public:
  LoginForm(Module1& store, QWidget* parent = nullptr);

  void setUserName(const QString& name);
  bool loggedIn() const { return loggedIn_; }

 private:
  void onOk();
  void onEnd();
  void onCreate();

  Module1& store_;
  QLabel* nameLabel_;
  QLineEdit* name_;
  QLabel* passwordLabel_;
  QLineEdit* password_;
  QLabel* hint_;
  QPushButton* ok_;
  QPushButton* end_;
  QPushButton* create_;
  bool loggedIn_ = false;
};
