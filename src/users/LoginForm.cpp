#include "users/LoginForm.h"

#include "catalogue/OpenForm.h"
#include "platform/widgets/fonts.h"
#include "store/Module1.h"
#include "ui/forms.h"
#include "users/NewUserForm.h"
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

  nameLabel_ = new QLabel(QStringLiteral("使用者名稱(&U):"), this);
  nameLabel_->setObjectName(QStringLiteral("lblLabels(0)"));
  nameLabel_->setGeometry(16, 18, 104, 26);
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("Text1"));
  name_->setGeometry(124, 18, 204, 26);
  nameLabel_->setBuddy(name_);

  passwordLabel_ = new QLabel(QStringLiteral("密碼(&P):"), this);
  passwordLabel_->setObjectName(QStringLiteral("lblLabels(1)"));
  passwordLabel_->setGeometry(16, 54, 104, 26);
  password_ = new QLineEdit(this);
  password_->setObjectName(QStringLiteral("Text2"));
  password_->setGeometry(124, 54, 204, 26);
  maskWithAsterisks(password_);
  passwordLabel_->setBuddy(password_);

  hint_ = new QLabel(QStringLiteral("測試帳號：Test   密碼：839"), this);
  hint_->setObjectName(QStringLiteral("Label1"));
  hint_->setGeometry(16, 90, 312, 24);

  create_ = new QPushButton(QStringLiteral("建立"), this);
  create_->setObjectName(QStringLiteral("Cmd1"));
  create_->setGeometry(16, 124, 88, 30);
  ok_ = new QPushButton(QStringLiteral("確定"), this);
  ok_->setObjectName(QStringLiteral("cmdOK"));
  ok_->setGeometry(144, 124, 88, 30);
  ok_->setDefault(true);
  end_ = new QPushButton(QStringLiteral("結束"), this);
  end_->setObjectName(QStringLiteral("cmdCancel"));
  end_->setGeometry(240, 124, 88, 30);
  setCancelButton(end_);

  setTabOrder(name_, password_);
  setTabOrder(password_, ok_);
  setTabOrder(ok_, end_);
  setTabOrder(end_, create_);
  name_->setFocus();

  connect(ok_, &QPushButton::clicked, this, &LoginForm::onOk);
  connect(end_, &QPushButton::clicked, this, &LoginForm::onEnd);
  connect(create_, &QPushButton::clicked, this, &LoginForm::onCreate);
}

void maskWithAsterisks(QLineEdit* box) {
  box->setEchoMode(QLineEdit::Password);
  auto* style = new AsteriskStyle;
  style->setParent(box);
  box->setStyle(style);
}

void LoginForm::setUserName(const QString& name) { name_->setText(name); }

void LoginForm::onOk() {
  if (auto refused = LogIn(store_, name_->text(), password_->text())) {
    store_.dialogs().message(*refused);
    return;
  }
  loggedIn_ = true;
  leave(QDialog::Accepted);
}

void LoginForm::onEnd() {
  store_.requestEnd(false);
  leave(QDialog::Rejected);
}

void LoginForm::onCreate() {
  NewUserForm form(store_, this);
  store_.dialogs().exec(form);
  if (!form.created()) return;
  name_->setText(form.userName());
  password_->setText(form.password());
}

void showLogin(Module1& store, const QString& userName, QWidget* parent) {
  // The login and the database list take turns until a database is opened, the program is to
  // end, or a window is left without either (only a test's script does that).
  QString name = userName;
  for (;;) {
    LoginForm login(store, parent);
    login.setUserName(name);
    store.dialogs().exec(login);
    if (store.endRequested() || !login.loggedIn()) return;
    const Catalogue::Result result = showDatabaseList(store, parent);
    if (result != Catalogue::Result::LoggedOut) return;
    name = store.UserName;
  }
}

void changePassword(Module1& store) { ChangePassword(store); }

void logOutFromMenu(Module1& store, QWidget* parent) {
  const SaveResult saved = LogOutFromMenu(store);
  if (saved.notice) store.dialogs().message(*saved.notice);
  if (saved.refusal) {
    store.dialogs().message(*saved.refusal);
    return;
  }
  showLogin(store, store.UserName, parent);
}
