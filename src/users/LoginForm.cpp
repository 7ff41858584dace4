#include "users/LoginForm.h"

#include "book/workspace.h"
#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "users/password.h"
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

// The sample user that a first start lays out beside the program.
const QString kSampleUser = QStringLiteral("Test");
const QString kSamplePassword = QStringLiteral("839");

// The hint sends a person to the sample user only while it is there as laid out: a data folder
// made without the defaults, or a sample whose password was changed, would meet a refusal.
bool sampleUserWaits(const QString& usersFolder) {
  const password::FileRead stored = password::readPasswordFile(
      usersFolder + kSampleUser + QLatin1Char('/') + password::kPasswordFile);
  return !stored.error && stored.password == kSamplePassword;
}

}  // namespace

LoginForm::LoginForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent)
    : FixedDialog(parent), store_(store), dialogs_(dialogs) {
  setObjectName(QStringLiteral("LoginForm"));
  setWindowTitle(QStringLiteral("登入"));
  setFont(uiFont(9.5));
  setClientSize(344, 168);

  nameBox_ = build::addLabelledBox(this, kUserNameCaption, QStringLiteral("使用者名稱(&U):"),
                                   {16, 18, 104, 26}, kUserName, {124, 18, 204, 26})
                 .box;
  passwordBox_ = build::addLabelledBox(this, kPasswordCaption, QStringLiteral("密碼(&P):"),
                                       {16, 54, 104, 26}, kPassword, {124, 54, 204, 26})
                     .box;
  maskWithAsterisks(passwordBox_);

  QLabel* hint =
      build::label(this, kSampleUserHint,
                   QStringLiteral("測試帳號：%1   密碼：%2").arg(kSampleUser, kSamplePassword),
                   {16, 90, 312, 24});
  hint->setVisible(sampleUserWaits(store_.user().usersFolder()));

  createButton_ = build::button(this, kCreate, QStringLiteral("建立"), {16, 124, 88, 30});
  okButton_ = build::button(this, kOk, QStringLiteral("確定"), {144, 124, 88, 30});
  okButton_->setDefault(true);
  endButton_ = build::button(this, kEnd, QStringLiteral("結束"), {240, 124, 88, 30});
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
  const users::LoginOutcome login = users::logIn(store_, nameBox_->text(), passwordBox_->text());
  if (login.message) dialogs_.show(*login.message);
  if (!login.loggedIn) return;
  outcome_ = Outcome::LoggedIn;
  leave(QDialog::Accepted);
}

void LoginForm::onEnd() {
  outcome_ = Outcome::End;
  leave(QDialog::Rejected);
}
