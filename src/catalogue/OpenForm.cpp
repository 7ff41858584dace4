#include "catalogue/OpenForm.h"

#include "backup/BackupForm.h"
#include "catalogue/LockedForm.h"

#include "book/workspace.h"
#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "store/database.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

constexpr int kButtonLeft = 232;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 30;
constexpr int kButtonStep = 36;
constexpr int kTop = 14;

}  // namespace

OpenForm::OpenForm(book::Workspace& store, Dialogs& dialogs, bool openedFromMenu, QWidget* parent)
    : FixedDialog(parent), store_(store), dialogs_(dialogs), catalogue_(store, openedFromMenu) {
  setObjectName(QStringLiteral("OpenForm"));
  setWindowTitle(QStringLiteral("資料庫選單"));
  setFont(uiFont(9.5));
  setClientSize(kButtonLeft + kButtonWidth + 14, kTop * 2 + 9 * kButtonStep + kButtonHeight);

  list_ = new QListWidget(this);
  list_->setObjectName(QLatin1String(kBooks));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setAccessibleName(QStringLiteral("資料庫"));
  list_->setGeometry(14, kTop, kButtonLeft - 28, 9 * kButtonStep + kButtonHeight);

  openButton_ = addButton(kOpen, QStringLiteral("開啟(&O)"), 0);
  openButton_->setDefault(true);
  QPushButton* add = addButton(kAdd, QStringLiteral("新增(&N)"), 1);
  renameButton_ = addButton(kRename, QStringLiteral("更名(&R)"), 2);
  deleteButton_ = addButton(kDelete, QStringLiteral("刪除(&D)"), 3);
  copyButton_ = addButton(kCopy, QStringLiteral("複製(&C)"), 4);
  QPushButton* up = addButton(kUp, QStringLiteral("上移"), 5);
  QPushButton* down = addButton(kDown, QStringLiteral("下移"), 6);
  cancelButton_ = addButton(kCancel, QStringLiteral("取消"), 7);
  QPushButton* logOut = addButton(kLogOut, QStringLiteral("登出"), 8);
  backupsButton_ = addButton(kBackups, QStringLiteral("備份與還原(&B)"), 9);

  setTabOrder(list_, openButton_);
  setTabOrder(openButton_, add);
  setTabOrder(add, renameButton_);
  setTabOrder(renameButton_, deleteButton_);
  setTabOrder(deleteButton_, copyButton_);
  setTabOrder(copyButton_, cancelButton_);
  setTabOrder(cancelButton_, logOut);
  setTabOrder(logOut, up);
  setTabOrder(up, down);
  setTabOrder(down, backupsButton_);
  list_->setFocus();

  connect(list_, &QListWidget::currentRowChanged, this,
          [this](int row) { catalogue_.select(row); });
  // A double click on a name opens it, as the open button would.
  connect(list_, &QListWidget::itemDoubleClicked, this, &OpenForm::onOpen);
  connect(openButton_, &QPushButton::clicked, this, &OpenForm::onOpen);
  connect(add, &QPushButton::clicked, this, &OpenForm::onAdd);
  connect(renameButton_, &QPushButton::clicked, this, &OpenForm::onRename);
  connect(deleteButton_, &QPushButton::clicked, this, &OpenForm::onRemove);
  connect(copyButton_, &QPushButton::clicked, this, &OpenForm::onCopy);
  connect(up, &QPushButton::clicked, this, [this] {
    catalogue_.moveUp();
    refresh();
  });
  connect(down, &QPushButton::clicked, this, [this] {
    catalogue_.moveDown();
    refresh();
  });
  connect(backupsButton_, &QPushButton::clicked, this, &OpenForm::onBackups);
  connect(cancelButton_, &QPushButton::clicked, this, [this] { leaveWith(catalogue_.cancel()); });
  connect(logOut, &QPushButton::clicked, this, [this] { leaveWith(catalogue_.logOut()); });
  refresh();
}

QPushButton* OpenForm::addButton(const char* name, const QString& caption, int row) {
  return build::button(this, name, caption,
                       {kButtonLeft, kTop + row * kButtonStep, kButtonWidth, kButtonHeight});
}

std::optional<Message> OpenForm::load() {
  auto refused = catalogue_.load();
  refresh();
  return refused;
}

void OpenForm::refresh() {
  {
    const QSignalBlocker blocker(list_);
    list_->clear();
    list_->addItems(catalogue_.entries());
    list_->setCurrentRow(catalogue_.selected());
  }
  const bool any = catalogue_.selectionCommandsEnabled();
  for (QPushButton* button :
       {openButton_, renameButton_, deleteButton_, copyButton_, backupsButton_}) {
    button->setEnabled(any);
  }
  cancelButton_->setEnabled(catalogue_.cancelEnabled());
}

void OpenForm::showRefusal(const std::optional<Message>& refused) {
  if (refused) dialogs_.show(*refused);
  refresh();
}

void OpenForm::onOpen() {
  if (!catalogue_.hasSelection()) return;
  if (auto refused = catalogue_.openRefusal()) return showRefusal(refused);
  // Another computer holds the lock: opened only as the person chooses; 取消 leaves it closed.
  const auto foreignLock = askPastForeignLock(catalogue_, dialogs_, this);
  if (!foreignLock) return refresh();
  qint32 cash = 0;
  if (catalogue_.selectedIsNew()) {
    // Asked until the answer is a number; an empty answer or a cancelled box is 0.
    for (;;) {
      const QString answer = dialogs_.input(QStringLiteral("一開始有多少現金"),
                                            QStringLiteral("輸入"), QStringLiteral("0"));
      const auto read = store::readStartingCash(answer);
      if (const qint32* value = std::get_if<qint32>(&read)) {
        cash = *value;
        break;
      }
      dialogs_.show(std::get<Message>(read));
    }
  }
  leaveWith(catalogue_.open(cash, *foreignLock));
}

void OpenForm::onAdd() {
  const QString name =
      dialogs_.input(QStringLiteral("新增資料庫，建議以年份-月份為資料庫名稱，例如：2003-11"),
                     QStringLiteral("新增"), QString());
  if (name.isEmpty()) return;
  showRefusal(catalogue_.addNew(name));
}

void OpenForm::onRename() {
  if (!catalogue_.hasSelection()) return;
  if (auto refused = catalogue_.renameRefusal()) return showRefusal(refused);
  const QString prompt = QStringLiteral("請輸入新的名稱");
  const QString title = QStringLiteral("輸入");
  // A refused name is offered again for correcting; an empty answer gives up.
  QString name = dialogs_.input(prompt, title, catalogue_.entries().at(catalogue_.selected()));
  for (;;) {
    if (name.isEmpty()) return;
    const auto refused = catalogue_.newNameRefusal(name);
    if (!refused) break;
    dialogs_.show(*refused);
    name = dialogs_.input(prompt, title, name);
  }
  showRefusal(catalogue_.rename(name));
}

void OpenForm::onRemove() {
  if (!catalogue_.hasSelection()) return;
  if (auto refused = catalogue_.removeRefusal()) return showRefusal(refused);
  if (dialogs_.show(confirmDelete(QStringLiteral("確定刪除這個資料庫嗎？"))) != Answer::Yes) {
    return;
  }
  showRefusal(catalogue_.remove());
}

void OpenForm::onCopy() { showRefusal(catalogue_.copy()); }

void OpenForm::onBackups() {
  if (!catalogue_.hasSelection()) return;
  BackupForm form(
      dialogs_, catalogue_.entries().value(catalogue_.selected()), catalogue_.backupsOfSelected(),
      [this](const backup::BackupInfo& info) { return catalogue_.restoreBackup(info); }, this);
  dialogs_.exec(form);
  refresh();
}

void OpenForm::leaveWith(const catalogue::Catalogue::Outcome& outcome) {
  showRefusal(outcome.refusal);
  if (outcome.result == catalogue::Catalogue::Result::Stay) return;
  outcome_ = outcome.result;
  leave(QDialog::Accepted);
}
