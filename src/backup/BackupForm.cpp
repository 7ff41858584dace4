#include "backup/BackupForm.h"

#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

BackupForm::BackupForm(Dialogs& dialogs, const QString& book,
                       std::vector<backup::BackupInfo> backups, Restore restore, QWidget* parent)
    : FixedDialog(parent),
      dialogs_(dialogs),
      restore_(std::move(restore)),
      backups_(std::move(backups)) {
  setObjectName(QStringLiteral("BackupForm"));
  setWindowTitle(QStringLiteral("備份與還原：%1").arg(book));
  setFont(uiFont(9.5));
  setClientSize(420, 300);

  auto* caption = new QLabel(QStringLiteral("備份(&B)："), this);
  caption->setGeometry(14, 10, 392, 20);
  list_ = new QTreeWidget(this);
  list_->setObjectName(QLatin1String(kBackups));
  list_->setGeometry(14, 32, 392, 216);
  list_->setRootIsDecorated(false);
  list_->setAllColumnsShowFocus(true);
  list_->setHeaderLabels(
      {QStringLiteral("備份時間"), QStringLiteral("資料筆數"), QStringLiteral("帳戶數量")});
  list_->setColumnWidth(0, 190);
  list_->setColumnWidth(1, 90);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  caption->setBuddy(list_);
  for (const backup::BackupInfo& info : backups_) {
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, info.taken.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    item->setText(1, QString::number(info.entries));
    item->setText(2, QString::number(info.accounts));
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  }
  if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));

  restoreButton_ =
      build::button(this, kRestore, QStringLiteral("還原成新的資料庫(&R)"), {14, 260, 180, 28});
  restoreButton_->setEnabled(!backups_.empty());
  restoreButton_->setDefault(true);
  QPushButton* close = build::button(this, kClose, QStringLiteral("關閉(&C)"), {326, 260, 80, 28});
  setCancelButton(close);
  if (backups_.empty()) {
    auto* none = new QLabel(QStringLiteral("這個資料庫還沒有備份"), list_->viewport());
    none->setGeometry(12, 12, 300, 22);
  }

  connect(restoreButton_, &QPushButton::clicked, this, &BackupForm::onRestore);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &BackupForm::onRestore);
  connect(close, &QPushButton::clicked, this, [this] { leave(QDialog::Rejected); });
}

void BackupForm::onRestore() {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  if (row < 0 || row >= static_cast<int>(backups_.size())) return;
  auto restored = restore_(backups_[static_cast<size_t>(row)]);
  if (const Message* refused = std::get_if<Message>(&restored)) {
    dialogs_.show(*refused);
    return;
  }
  restored_ = std::get<QString>(restored);
  dialogs_.show(completion(QStringLiteral("已還原成新的資料庫「%1」").arg(restored_)));
  leave(QDialog::Accepted);
}
