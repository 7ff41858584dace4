#include "maintenance/DelForm.h"

#include "book/workspace.h"
#include "history/History.h"
#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/screen.h"
#include "store/LedgerView.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Positions are given in twips; 15 twips make a pixel.
QRect twips(int left, int top, int width, int height) {
  return QRect(left / 15, top / 15, width / 15, height / 15);
}

}  // namespace

DelForm::DelForm(book::Workspace& store, Dialogs& dialogs, store::LedgerView& view, QWidget* parent)
    : FixedDialog(parent), store_(store), dialogs_(dialogs), view_(view) {
  setObjectName(QStringLiteral("DelForm"));
  setWindowTitle(QStringLiteral("刪除多筆記錄"));
  setFont(uiFont());
  setClientSize(4455 / 15, 2535 / 15);

  onDateOption_ =
      build::option(this, kOnDate, QStringLiteral("指定日期"), twips(240, 240, 1095, 375));
  afterOption_ = build::option(this, kAfter, QStringLiteral("之後"), twips(240, 690, 1095, 375));
  withinOption_ =
      build::option(this, kWithin, QStringLiteral("範圍內"), twips(240, 1140, 1095, 375));
  outsideOption_ =
      build::option(this, kOutside, QStringLiteral("範圍外"), twips(240, 1590, 1095, 375));
  auto* options = new QButtonGroup(this);
  for (QRadioButton* option : {onDateOption_, afterOption_, withinOption_, outsideOption_}) {
    options->addButton(option);
    connect(option, &QRadioButton::toggled, this, &DelForm::onRuleChosen);
  }

  firstDateBox_ = build::lineEdit(this, kFromDate, twips(1800, 240, 2535, 375));
  betweenDates_ = build::label(this, kBetweenDates, QString());
  betweenDates_->move(1800 / 15, 720 / 15);
  secondDateBox_ = build::lineEdit(this, kToDate, twips(1800, 960, 2535, 375));
  // The options above say what the dates mean; a screen reader hears the boxes by these.
  firstDateBox_->setAccessibleName(QStringLiteral("日期"));
  secondDateBox_->setAccessibleName(QStringLiteral("第二個日期"));

  deleteButton_ =
      build::button(this, kDelete, QStringLiteral("刪除(&D)"), twips(3360, 1560, 975, 375));
  closeButton_ =
      build::button(this, kCancel, QStringLiteral("取消(&C)"), twips(3360, 2040, 975, 375));
  deleteButton_->setDefault(true);
  setCancelButton(closeButton_);
  connect(deleteButton_, &QPushButton::clicked, this, &DelForm::onDelete);
  connect(closeButton_, &QPushButton::clicked, this, [this] { leave(QDialog::Rejected); });

  // The first date takes the focus, with its text selected for typing over.
  setTabOrder(firstDateBox_, secondDateBox_);
  setTabOrder(secondDateBox_, deleteButton_);
  setTabOrder(deleteButton_, closeButton_);
  setTabOrder(closeButton_, onDateOption_);
  firstDateBox_->setFocus();

  const QString today = store_.today();
  firstDateBox_->setText(today);
  secondDateBox_->setText(today);
  onDateOption_->setChecked(true);
  onRuleChosen();
}

void DelForm::showEvent(QShowEvent* event) {
  FixedDialog::showEvent(event);
  centreOnScreen(*this);
  firstDateBox_->selectAll();
}

maintenance::DeleteRule DelForm::chosenRule() const {
  if (afterOption_->isChecked()) return maintenance::DeleteRule::After;
  if (withinOption_->isChecked()) return maintenance::DeleteRule::Within;
  if (outsideOption_->isChecked()) return maintenance::DeleteRule::Outside;
  return maintenance::DeleteRule::OnDate;
}

void DelForm::onRuleChosen() {
  const maintenance::DeleteRule rule = chosenRule();
  const bool range =
      rule == maintenance::DeleteRule::Within || rule == maintenance::DeleteRule::Outside;
  switch (rule) {
    case maintenance::DeleteRule::OnDate:
      betweenDates_->clear();
      break;
    case maintenance::DeleteRule::After:
      betweenDates_->setText(QStringLiteral("之後"));
      break;
    case maintenance::DeleteRule::Within:
    case maintenance::DeleteRule::Outside:
      betweenDates_->setText(QStringLiteral("至"));
      break;
  }
  betweenDates_->adjustSize();
  // A hidden second date keeps its text.
  secondDateBox_->setVisible(range);
}

void DelForm::onDelete() {
  Dialogs& dialogs = dialogs_;
  // Reconciled entries among them go only when the person says so.
  if (!view_.mayChangeEntries(
          entriesByDate(store_, chosenRule(), firstDateBox_->text(), secondDateBox_->text()), true))
    return;
  maintenance::BulkDeleteResult result;
  {
    // The deletion and the reconciliations it releases are one step of 復原.
    const HistoryStep step(store_.history(), store_.tables(), stepnames::kBulkDelete);
    result = maintenance::deleteByDate(store_, chosenRule(), firstDateBox_->text(),
                                       secondDateBox_->text());
    if (!result.refused && result.removed > 0) view_.entriesChanged();
  }
  if (result.refused) {
    dialogs.message(*result.refused);
    return;
  }
  firstDateBox_->setText(result.first);
  secondDateBox_->setText(result.second);
  store_.showEntryCount();
  dialogs.message(completion(QStringLiteral("資料刪除完成")));
  view_.redrawLedger(true);
}

void openBulkDelete(book::Workspace& store, Dialogs& dialogs, store::LedgerView& view,
                    QWidget* parent) {
  DelForm form(store, dialogs, view, parent);
  dialogs.exec(form);
}
