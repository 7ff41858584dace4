#include "users/NewUserForm.h"

#include "platform/widgets/fonts.h"
#include "store/Module1.h"
#include "users/LoginForm.h"
#include "users/users.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

NewUserForm::NewUserForm(Module1& store, QWidget* parent) : FixedDialog(parent), store_(store) {
  setObjectName(QStringLiteral("NewUserForm"));
  setWindowTitle(QStringLiteral("建立新用戶"));
  setFont(uiFont(9.5));
  setClientSize(328, 118);

  auto* nameLabel = new QLabel(QStringLiteral("名稱"), this);
  nameLabel->setObjectName(QStringLiteral("Label1"));
  nameLabel->setGeometry(16, 16, 40, 26);
  nameBox_ = new QLineEdit(this);
  nameBox_->setObjectName(QStringLiteral("Text1"));
  nameBox_->setGeometry(60, 16, 150, 26);
  nameLabel->setBuddy(nameBox_);

  auto* passwordLabel = new QLabel(QStringLiteral("密碼"), this);
  passwordLabel->setObjectName(QStringLiteral("Label2"));
  passwordLabel->setGeometry(16, 52, 40, 26);
  passwordBox_ = new QLineEdit(this);
  passwordBox_->setObjectName(QStringLiteral("Text2"));
  passwordBox_->setGeometry(60, 52, 150, 26);
  maskWithAsterisks(passwordBox_);
  passwordLabel->setBuddy(passwordBox_);

  auto* hint = new QLabel(QStringLiteral("請輸入3-8個字元的密碼"), this);
  hint->setObjectName(QStringLiteral("Label3"));
  hint->setGeometry(60, 84, 160, 22);

  auto* ok = new QPushButton(QStringLiteral("確定"), this);
  ok->setObjectName(QStringLiteral("Cmd1"));
  ok->setGeometry(228, 16, 84, 30);
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("取消"), this);
  cancel->setObjectName(QStringLiteral("Cmd2"));
  cancel->setGeometry(228, 52, 84, 30);

  setTabOrder(nameBox_, passwordBox_);
  setTabOrder(passwordBox_, ok);
  setTabOrder(ok, cancel);
  nameBox_->setFocus();

  connect(ok, &QPushButton::clicked, this, &NewUserForm::onOk);
  connect(cancel, &QPushButton::clicked, this, [this] { leave(QDialog::Rejected); });
}

QString NewUserForm::userName() const { return nameBox_->text(); }

QString NewUserForm::password() const { return passwordBox_->text(); }

void NewUserForm::onOk() {
  if (auto refused = CreateUser(store_, nameBox_->text(), passwordBox_->text())) {
    store_.dialogs().message(*refused);
    return;
  }
  created_ = true;
  leave(QDialog::Accepted);
}
