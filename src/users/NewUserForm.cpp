#include "users/NewUserForm.h"

#include "book/workspace.h"
#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "users/LoginForm.h"
#include "users/users.h"

#include <QLineEdit>
#include <QPushButton>

NewUserForm::NewUserForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent)
    : FixedDialog(parent), store_(store), dialogs_(dialogs) {
  setObjectName(QStringLiteral("NewUserForm"));
  setWindowTitle(QStringLiteral("建立新用戶"));
  setFont(uiFont(9.5));
  setClientSize(328, 118);

  nameBox_ = build::addLabelledBox(this, kUserNameCaption, QStringLiteral("名稱"), {16, 16, 40, 26},
                                   kUserName, {60, 16, 150, 26})
                 .box;
  passwordBox_ = build::addLabelledBox(this, kPasswordCaption, QStringLiteral("密碼"),
                                       {16, 52, 40, 26}, kPassword, {60, 52, 150, 26})
                     .box;
  maskWithAsterisks(passwordBox_);
  build::label(this, kPasswordRule, QStringLiteral("請輸入3-8個字元的密碼"), {60, 84, 160, 22});

  auto* ok = build::button(this, kOk, QStringLiteral("確定"), {228, 16, 84, 30});
  ok->setDefault(true);
  auto* cancel = build::button(this, kCancel, QStringLiteral("取消"), {228, 52, 84, 30});

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
  if (auto refused = users::createUser(store_, nameBox_->text(), passwordBox_->text())) {
    dialogs_.message(*refused);
    return;
  }
  created_ = true;
  leave(QDialog::Accepted);
}
