#include "users/LoginForm.h"

#include "platform/widgets/fonts.h"
#include "store/Module1.h"
#include "users/users.h"

#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>

namespace {

class AsteriskStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == QStyle::SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

}  // namespace

LoginForm::LoginForm(Module1& store, QWidget* parent) : FixedDialog(parent), store_(store) {
  setObjectName(QStringLiteral("LoginForm"));
  setWindowTitle(QStringLiteral("登入"));
  setFont(uiFont(9.5));
  setClientSize(344, 168);

  auto* nameLabel = new QLabel(QStringLiteral("使用者名稱(&U):"), this);
  nameLabel->setObjectName(QStringLiteral("lblLabels(0)"));
  nameLabel->setGeometry(16, 18, 104, 26);
  nameBox_ = new QLineEdit(this);
  nameBox_->setObjectName(QStringLiteral("Text1"));
  nameBox_->setGeometry(124, 18, 204, 26);
  nameLabel->setBuddy(nameBox_);

  auto* passwordLabel = new QLabel(QStringLiteral("密碼(&P):"), this);
  passwordLabel->setObjectName(QStringLiteral("lblLabels(1)"));
  passwordLabel->setGeometry(16, 54, 104, 26);
  passwordBox_ = new QLineEdit(this);
  passwordBox_->setObjectName(QStringLiteral("Text2"));
  passwordBox_->setGeometry(124, 54, 204, 26);
  maskWithAsterisks(passwordBox_);
  passwordLabel->setBuddy(passwordBox_);

  auto* hint = new QLabel(QStringLiteral("測試帳號：Test   密碼：839"), this);
  hint->setObjectName(QStringLiteral("Label1"));
  hint->setGeometry(16, 90, 312, 24);

  createButton_ = new QPushButton(QStringLiteral("建立"), this);
  createButton_->setObjectName(QStringLiteral("Cmd1"));
  createButton_->setGeometry(16, 124, 88, 30);
  okButton_ = new QPushButton(QStringLiteral("確定"), this);
  okButton_->setObjectName(QStringLiteral("cmdOK"));
  okButton_->setGeometry(144, 124, 88, 30);
  okButton_->setDefault(true);
  endButton_ = new QPushButton(QStringLiteral("結束"), this);
  endButton_->setObjectName(QStringLiteral("cmdCancel"));
  endButton_->setGeometry(240, 124, 88, 30);
  setCancelButton(endButton_);

  setTabOrder(nameBox_, passwordBox_);
  setTabOrder(passwordBox_, okButton_);
  setTabOrder(okButton_, endButton_);
  setTabOrder(endButton_, createButton_);
  nameBox_->setFocus();

  connect(okButton_, &QPushButton::clicked, this, &LoginForm::onOk);
  connect(endButton_, &QPushButton::clicked, this, &LoginForm::onEnd);
  connect(createButton_, &QPushButton::clicked, this, &LoginForm::newUserRequested);
}

void maskWithAsterisks(QLineEdit* box) {
  box->setEchoMode(QLineEdit::Password);
  auto* style = new AsteriskStyle;
  style->setParent(box);
  box->setStyle(style);
}

void LoginForm::setUserName(const QString& name) { nameBox_->setText(name); }

void LoginForm::setUser(const QString& name, const QString& password) {
  nameBox_->setText(name);
  passwordBox_->setText(password);
}

void LoginForm::onOk() {
  const LoginOutcome login = LogIn(store_, nameBox_->text(), passwordBox_->text());
  if (login.message) store_.dialogs().show(*login.message);
  if (!login.loggedIn) return;
  outcome_ = Outcome::LoggedIn;
  leave(QDialog::Accepted);
}

void LoginForm::onEnd() {
  outcome_ = Outcome::End;
  leave(QDialog::Rejected);
}
