#include "catalogue/LockedForm.h"

#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

LockedForm::LockedForm(const QString& database, const store::dblock::ForeignHolder& holder,
                       QWidget* parent)
    : FixedDialog(parent) {
  setObjectName(QStringLiteral("LockedForm"));
  setWindowTitle(QStringLiteral("資料庫使用中"));
  setFont(uiFont(9.5));
  auto* layout = new QVBoxLayout(this);
  QLabel* text = build::label(
      this, "lockedText",
      QStringLiteral("「%1」：%2。\n\n"
                     "唯讀開啟：只能查看，不能修改，也不會存檔。\n"
                     "仍要開啟：照常使用，存檔時把兩台電腦的變更合併。")
          .arg(database, store::dblock::heldElsewhereText(holder.computer, holder.since)));
  text->setWordWrap(true);
  layout->addWidget(text);
  auto* readOnly = build::button(this, kReadOnlyName, QStringLiteral("唯讀開啟(&R)"));
  auto* anyway = build::button(this, kAnywayName, QStringLiteral("仍要開啟(&A)"));
  auto* cancel = build::button(this, kCancelName, QStringLiteral("取消"));
  readOnly->setDefault(true);
  setCancelButton(cancel);
  layout->addLayout(build::buttonRow({readOnly, anyway, cancel}));
  connect(readOnly, &QPushButton::clicked, this,
          [this] { choose(catalogue::Catalogue::ForeignLock::ReadOnly); });
  connect(anyway, &QPushButton::clicked, this,
          [this] { choose(catalogue::Catalogue::ForeignLock::OpenAnyway); });
  connect(cancel, &QPushButton::clicked, this,
          [this] { choose(catalogue::Catalogue::ForeignLock::Refuse); });
  setClientSize(460, 170);
}

void LockedForm::choose(catalogue::Catalogue::ForeignLock choice) {
  choice_ = choice;
  leave(choice == catalogue::Catalogue::ForeignLock::Refuse ? QDialog::Rejected
                                                            : QDialog::Accepted);
}

std::optional<catalogue::Catalogue::ForeignLock> askPastForeignLock(
    const catalogue::Catalogue& list, Dialogs& dialogs, QWidget* parent) {
  const auto holder = list.selectedHeldElsewhere();
  if (!holder) return catalogue::Catalogue::ForeignLock::Refuse;
  LockedForm locked(list.entries().at(list.selected()), *holder, parent);
  dialogs.exec(locked);
  if (locked.choice() == catalogue::Catalogue::ForeignLock::Refuse) return std::nullopt;
  return locked.choice();
}
