#include "maintenance/DelForm.h"

#include "store/LedgerView.h"
#include "store/Module1.h"

#include <QButtonGroup>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

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
  setFont(QFont(QStringLiteral("Noto Sans CJK TC"), 9));
  setClientSize(4455 / 15, 2535 / 15);

  Option1 =
      place<QRadioButton>(this, "Option1", twips(240, 240, 1095, 375), QStringLiteral("指定日期"));
  Option2 =
      place<QRadioButton>(this, "Option2", twips(240, 690, 1095, 375), QStringLiteral("之後"));
  Option3 =
      place<QRadioButton>(this, "Option3", twips(240, 1140, 1095, 375), QStringLiteral("範圍內"));
  Option4 =
      place<QRadioButton>(this, "Option4", twips(240, 1590, 1095, 375), QStringLiteral("範圍外"));
  auto* options = new QButtonGroup(this);
  for (QRadioButton* option : {Option1, Option2, Option3, Option4}) {
    options->addButton(option);
    connect(option, &QRadioButton::toggled, this, &DelForm::onOptionToggled);
  }

  Text1 = place<QLineEdit>(this, "Text1", twips(1800, 240, 2535, 375));
  Label1 = place<QLabel>(this, "Label1", twips(1800, 720, 0, 0));
  Text2 = place<QLineEdit>(this, "Text2", twips(1800, 960, 2535, 375));

  Cmd1 = place<QPushButton>(this, "Cmd1", twips(3360, 1560, 975, 375), QStringLiteral("刪除(&D)"));
  Cmd0 = place<QPushButton>(this, "Cmd0", twips(3360, 2040, 975, 375), QStringLiteral("取消(&C)"));
  Cmd1->setDefault(true);
  setCancelButton(Cmd0);
  connect(Cmd1, &QPushButton::clicked, this, &DelForm::onCmd1Clicked);
  connect(Cmd0, &QPushButton::clicked, this, [this] { leave(QDialog::Rejected); });

  // The first date takes the focus, with its text selected for typing over.
  setTabOrder(Text1, Text2);
  setTabOrder(Text2, Cmd1);
  setTabOrder(Cmd1, Cmd0);
  setTabOrder(Cmd0, Option1);
  Text1->setFocus();

  const QString today = store_.today();
  Text1->setText(today);
  Text2->setText(today);
  Option1->setChecked(true);
  onOptionToggled();
}

void DelForm::showEvent(QShowEvent* event) {
  FixedDialog::showEvent(event);
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
  }
  Text1->selectAll();
}

DeleteRule DelForm::selectedRule() const {
  if (Option2->isChecked()) return DeleteRule::After;
  if (Option3->isChecked()) return DeleteRule::Within;
  if (Option4->isChecked()) return DeleteRule::Outside;
  return DeleteRule::OnDate;
}

void DelForm::onOptionToggled() {
  const DeleteRule rule = selectedRule();
  const bool range = rule == DeleteRule::Within || rule == DeleteRule::Outside;
  switch (rule) {
    case DeleteRule::OnDate:
      Label1->clear();
      break;
    case DeleteRule::After:
      Label1->setText(QStringLiteral("之後"));
      break;
    case DeleteRule::Within:
    case DeleteRule::Outside:
      Label1->setText(QStringLiteral("至"));
      break;
  }
  Label1->adjustSize();
  // A hidden second date keeps its text.
  Text2->setVisible(range);
}

void DelForm::onCmd1Clicked() {
  Dialogs& dialogs = store_.dialogs();
  const BulkDeleteResult result =
      deleteByDate(store_, selectedRule(), Text1->text(), Text2->text());
  if (result.refused) {
    dialogs.message(*result.refused);
    return;
  }
  Text1->setText(result.first);
  Text2->setText(result.second);
  store_.showEntryCount();
  dialogs.message(completion(QStringLiteral("資料刪除完成")));
  view_.redrawLedger(true);
}

void openBulkDelete(Module1& store, LedgerView& view, QWidget* parent) {
  DelForm form(store, view, parent);
  store.dialogs().exec(form);
}
