#include "interchange/PayeeRulesForm.h"

#include "book/workspace.h"
#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "store/ledger.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

PayeeRulesForm::PayeeRulesForm(book::Workspace& store, Dialogs& dialogs, payeerules::Rules& rules,
                               QWidget* parent)
    : FixedDialog(parent), store_(store), dialogs_(dialogs), rules_(rules) {
  setWindowTitle(QStringLiteral("對方帳戶規則"));
  setFont(uiFont());
  list_ = new QTableWidget(0, 2, this);
  list_->setObjectName(QLatin1String(kList));
  list_->setHorizontalHeaderLabels({QStringLiteral("備註"), QStringLiteral("對方帳戶")});
  list_->verticalHeader()->hide();
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->setAccessibleName(QStringLiteral("對方帳戶規則"));

  account_ = new QComboBox(this);
  account_->setObjectName(QLatin1String(kAccount));
  for (int slot = 1; slot < store.tables().accountCount; ++slot) {
    account_->addItem(store::trimTrailingSpaces(store.tables().accounts[slot].AccountName));
  }
  auto* accountCaption = new QLabel(QStringLiteral("改成(&A)"), this);
  accountCaption->setBuddy(account_);
  QPushButton* change = build::button(this, kChange, QStringLiteral("修改(&C)"));
  QPushButton* remove = build::button(this, kDelete, QStringLiteral("刪除(&D)"));
  QPushButton* close = build::button(this, kClose, QStringLiteral("關閉"));
  setCancelButton(close);
  QHBoxLayout* buttons = build::buttonRow({change, remove, close});
  buttons->insertWidget(0, account_, 1);
  buttons->insertWidget(0, accountCaption);
  auto* column = new QVBoxLayout(this);
  column->addWidget(list_, 1);
  column->addLayout(buttons);
  setClientSize(520, 420);
  fillList();

  connect(change, &QPushButton::clicked, this, &PayeeRulesForm::onChange);
  connect(remove, &QPushButton::clicked, this, &PayeeRulesForm::onDelete);
  connect(close, &QPushButton::clicked, this, [this] { leave(QDialog::Accepted); });
}

void PayeeRulesForm::fillList() {
  const std::vector<payeerules::Rule> rules = rules_.listed();
  list_->setRowCount(static_cast<int>(rules.size()));
  for (int r = 0; r < static_cast<int>(rules.size()); ++r) {
    auto* memo = new QTableWidgetItem(rules[size_t(r)].memo);
    memo->setData(Qt::UserRole, rules[size_t(r)].id);
    list_->setItem(r, 0, memo);
    list_->setItem(r, 1, new QTableWidgetItem(rules[size_t(r)].account));
  }
}

QString PayeeRulesForm::selectedId() const {
  const int row = list_->currentRow();
  return row >= 0 && list_->item(row, 0) ? list_->item(row, 0)->data(Qt::UserRole).toString()
                                         : QString();
}

void PayeeRulesForm::save(const payeerules::Rules& before) {
  if (auto error = rules_.save(store_.user().userFolder())) {
    rules_ = before;  // what is shown stays what the file holds
    dialogs_.show(refusal(QStringLiteral("規則沒有存好：%1").arg(*error)));
    return;
  }
  changed_ = true;
  fillList();
}

void PayeeRulesForm::onChange() {
  const QString id = selectedId();
  if (id.isEmpty()) {
    dialogs_.show(refusal(QStringLiteral("請先選一條規則")));
    return;
  }
  const payeerules::Rules before = rules_;
  if (rules_.setAccount(id, account_->currentText(), sidefile::now())) save(before);
}

void PayeeRulesForm::onDelete() {
  const QString id = selectedId();
  if (id.isEmpty()) {
    dialogs_.show(refusal(QStringLiteral("請先選一條規則")));
    return;
  }
  const QString memo = list_->item(list_->currentRow(), 0)->text();
  if (dialogs_.show(confirmDelete(QStringLiteral("要刪除「%1」的規則嗎？").arg(memo))) !=
      Answer::Yes) {
    return;
  }
  const payeerules::Rules before = rules_;
  if (rules_.remove(id, sidefile::now())) save(before);
}

bool openPayeeRules(book::Workspace& store, Dialogs& dialogs, payeerules::Rules& rules,
                    QWidget* parent) {
  PayeeRulesForm form(store, dialogs, rules, parent);
  dialogs.exec(form);
  return form.changed();
}
