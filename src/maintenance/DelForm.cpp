#include "maintenance/DelForm.h"

#include "platform/widgets/fonts.h"
#include "platform/widgets/screen.h"
#include "store/LedgerView.h"
#include "store/Module1.h"

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

template <typename W, typename... Args>
W* place(QWidget* parent, const char* name, const QRect& geometry, Args&&... args) {
  auto* w = new W(std::forward<Args>(args)..., parent);
  w->setObjectName(QLatin1String(name));
  w->setGeometry(geometry);
  return w;
}

}  // namespace

DelForm::DelForm(Module1& store, LedgerView& view, QWidget* parent)
    : FixedDialog(parent), store_(store), view_(view) {
  setObjectName(QStringLiteral("DelForm"));
  setWindowTitle(QStringLiteral("刪除多筆記錄"));
  setFont(uiFont());
  setClientSize(4455 / 15, 2535 / 15);

  onDateOption_ =
      place<QRadioButton>(this, "Option1", twips(240, 240, 1095, 375), QStringLiteral("指定日期"));
  afterOption_ =
      place<QRadioButton>(this, "Option2", twips(240, 690, 1095, 375), QStringLiteral("之後"));
  withinOption_ =
      place<QRadioButton>(this, "Option3", twips(240, 1140, 1095, 375), QStringLiteral("範圍內"));
  outsideOption_ =
      place<QRadioButton>(this, "Option4", twips(240, 1590, 1095, 375), QStringLiteral("範圍外"));
  auto* options = new QButtonGroup(this);
  for (QRadioButton* option : {onDateOption_, afterOption_, withinOption_, outsideOption_}) {
    options->addButton(option);
    connect(option, &QRadioButton::toggled, this, &DelForm::onRuleChosen);
  }

  firstDateBox_ = place<QLineEdit>(this, "Text1", twips(1800, 240, 2535, 375));
  betweenDates_ = place<QLabel>(this, "Label1", twips(1800, 720, 0, 0));
  secondDateBox_ = place<QLineEdit>(this, "Text2", twips(1800, 960, 2535, 375));
  // The options above say what the dates mean; a screen reader hears the boxes by these.
  firstDateBox_->setAccessibleName(QStringLiteral("日期"));
  secondDateBox_->setAccessibleName(QStringLiteral("第二個日期"));

  deleteButton_ =
      place<QPushButton>(this, "Cmd1", twips(3360, 1560, 975, 375), QStringLiteral("刪除(&D)"));
  closeButton_ =
      place<QPushButton>(this, "Cmd0", twips(3360, 2040, 975, 375), QStringLiteral("取消(&C)"));
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

DeleteRule DelForm::chosenRule() const {
  if (afterOption_->isChecked()) return DeleteRule::After;
  if (withinOption_->isChecked()) return DeleteRule::Within;
  if (outsideOption_->isChecked()) return DeleteRule::Outside;
  return DeleteRule::OnDate;
}

void DelForm::onRuleChosen() {
  const DeleteRule rule = chosenRule();
  const bool range = rule == DeleteRule::Within || rule == DeleteRule::Outside;
  switch (rule) {
    case DeleteRule::OnDate:
      betweenDates_->clear();
      break;
    case DeleteRule::After:
      betweenDates_->setText(QStringLiteral("之後"));
      break;
    case DeleteRule::Within:
    case DeleteRule::Outside:
      betweenDates_->setText(QStringLiteral("至"));
      break;
  }
  betweenDates_->adjustSize();
  // A hidden second date keeps its text.
  secondDateBox_->setVisible(range);
}

void DelForm::onDelete() {
  Dialogs& dialogs = store_.dialogs();
  const BulkDeleteResult result =
      deleteByDate(store_, chosenRule(), firstDateBox_->text(), secondDateBox_->text());
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

void openBulkDelete(Module1& store, LedgerView& view, QWidget* parent) {
  DelForm form(store, view, parent);
  store.dialogs().exec(form);
}
