#include "schedules/SinceLastRunForm.h"

#include "book/workspace.h"
#include "platform/dates.h"
#include "platform/dialogs.h"
#include "platform/numbers.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "schedules/posting.h"
#include "store/ledger.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace schedules;

namespace {

enum Column { DateColumn, AccountColumn, PayingColumn, AmountColumn, MemoColumn, ActionColumn };

QString actionText(Action action) {
  switch (action) {
    case Action::Post:
      return QStringLiteral("入帳");
    case Action::Skip:
      return QStringLiteral("略過");
    case Action::Postpone:
      return QStringLiteral("延後");
  }
  return {};
}

const QString kTitle = QStringLiteral("自上次執行");

}  // namespace

SinceLastRunForm::SinceLastRunForm(book::Workspace& store, Dialogs& dialogs, ScheduleBook& book,
                                   std::vector<DueOccurrence> asked,
                                   std::vector<DueOccurrence> autoPosted, QWidget* parent,
                                   Changed changed)
    : QDialog(parent), store_(store), dialogs_(dialogs), book_(book), changed_(std::move(changed)) {
  setObjectName(QStringLiteral("SinceLastRunForm"));
  setWindowTitle(kTitle);
  setFont(uiFont());
  resize(720, 420);

  table_ = new QTableWidget(0, 6, this);
  table_->setObjectName(QLatin1String(kOccurrences));
  table_->setHorizontalHeaderLabels({QStringLiteral("日期"), QStringLiteral("帳戶"),
                                     QStringLiteral("付款帳戶"), QStringLiteral("金額"),
                                     QStringLiteral("備註"), QStringLiteral("處理")});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);

  for (const DueOccurrence& due : asked) {
    decisions_.push_back({due, Action::Post, book_.schedules[size_t(due.schedule)].amount});
    amountConfirmed_.push_back(!book_.schedules[size_t(due.schedule)].estimate);
  }
  table_->setRowCount(static_cast<int>(asked.size() + autoPosted.size()));
  for (int row = 0; row < static_cast<int>(decisions_.size()); ++row) showRow(row);
  int row = static_cast<int>(decisions_.size());
  for (const DueOccurrence& due : autoPosted) {
    const Schedule& s = book_.schedules[size_t(due.schedule)];
    const QStringList cells = {
        dates::format(due.occurrence.date),    store::trimTrailingSpaces(s.increase),
        store::trimTrailingSpaces(s.decrease), QString::number(s.amount),
        store::trimTrailingSpaces(s.memo),     QStringLiteral("已自動入帳")};
    for (int c = 0; c < cells.size(); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setFlags(Qt::ItemIsEnabled);
      table_->setItem(row, c, item);
    }
    ++row;
  }
  table_->resizeColumnsToContents();

  summary_ = build::label(this, kSummary, {});
  summary_->setText(
      autoPosted.empty()
          ? QStringLiteral("有 %1 筆定期記錄到期，請選擇如何處理").arg(decisions_.size())
          : QStringLiteral("有 %1 筆定期記錄到期，另有 %2 筆已自動入帳")
                .arg(decisions_.size())
                .arg(autoPosted.size()));

  auto* postButton =
      build::button(this, kPostButton, QStringLiteral("入帳(&P)"), {}, build::Enter::Ignored);
  auto* skipButton =
      build::button(this, kSkipButton, QStringLiteral("略過(&S)"), {}, build::Enter::Ignored);
  auto* laterButton =
      build::button(this, kPostponeButton, QStringLiteral("延後(&L)"), {}, build::Enter::Ignored);
  auto* amountButton =
      build::button(this, kAmountButton, QStringLiteral("改金額(&A)"), {}, build::Enter::Ignored);
  okButton_ = build::button(this, kOkButton, QStringLiteral("確定(&O)"));
  auto* cancelButton = build::button(this, kCancelButton, QStringLiteral("稍後處理(&C)"));
  okButton_->setDefault(true);
  okButton_->setEnabled(!decisions_.empty());
  for (QPushButton* b : {postButton, skipButton, laterButton, amountButton})
    b->setEnabled(!decisions_.empty());
  connect(postButton, &QPushButton::clicked, this, [this] { setChosen(Action::Post); });
  connect(skipButton, &QPushButton::clicked, this, [this] { setChosen(Action::Skip); });
  connect(laterButton, &QPushButton::clicked, this, [this] { setChosen(Action::Postpone); });
  connect(amountButton, &QPushButton::clicked, this, &SinceLastRunForm::onChangeAmount);
  connect(okButton_, &QPushButton::clicked, this, &SinceLastRunForm::onPost);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(summary_);
  layout->addWidget(table_);
  auto* actions = build::buttonRow({postButton, skipButton, laterButton, amountButton});
  actions->addSpacing(24);
  actions->addWidget(okButton_);
  actions->addWidget(cancelButton);
  layout->addLayout(actions);
  if (!decisions_.empty()) table_->selectRow(0);
}

void SinceLastRunForm::showRow(int row) {
  const Decision& d = decisions_[size_t(row)];
  const Schedule& s = book_.schedules[size_t(d.due.schedule)];
  QString amount = QString::number(d.amount);
  if (!amountConfirmed_[size_t(row)]) amount += QStringLiteral("（估計）");
  const QStringList cells = {
      dates::format(d.due.occurrence.date),  store::trimTrailingSpaces(s.increase),
      store::trimTrailingSpaces(s.decrease), amount,
      store::trimTrailingSpaces(s.memo),     actionText(d.action)};
  for (int c = 0; c < cells.size(); ++c) {
    if (auto* item = table_->item(row, c))
      item->setText(cells[c]);
    else
      table_->setItem(row, c, new QTableWidgetItem(cells[c]));
  }
}

std::vector<int> SinceLastRunForm::chosenRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : table_->selectionModel()->selectedRows())
    if (index.row() < static_cast<int>(decisions_.size())) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void SinceLastRunForm::setChosen(Action action) {
  for (int row : chosenRows()) {
    decisions_[size_t(row)].action = action;
    showRow(row);
  }
}

void SinceLastRunForm::onChangeAmount() {
  for (int row : chosenRows()) {
    Decision& d = decisions_[size_t(row)];
    const QString typed =
        dialogs_.input(QStringLiteral("%1 的金額").arg(dates::format(d.due.occurrence.date)),
                       QStringLiteral("改金額"), QString::number(d.amount));
    if (typed.isEmpty()) return;
    const numbers::Amount amount = numbers::parseAmount(typed);
    if (!amount.ok()) {
      dialogs_.show(refusal(numbers::amountErrorText(amount.error)));
      return;
    }
    d.amount = amount.value;
    d.action = Action::Post;
    amountConfirmed_[size_t(row)] = true;
    showRow(row);
  }
}

// An estimate is posted only with an amount the person gave; a cancelled box posts nothing.
bool SinceLastRunForm::askEstimates() {
  for (int row = 0; row < static_cast<int>(decisions_.size()); ++row) {
    if (amountConfirmed_[size_t(row)] || decisions_[size_t(row)].action != Action::Post) continue;
    table_->selectRow(row);
    onChangeAmount();
    if (!amountConfirmed_[size_t(row)]) return false;
  }
  return true;
}

void SinceLastRunForm::onPost() {
  if (!askEstimates()) return;
  if (auto refused = postDecisions(store_, book_, decisions_, changed_)) {
    dialogs_.show(refusal(*refused));
    return;
  }
  accept();
}

void openSinceLastRun(book::Workspace& store, Dialogs& dialogs, ScheduleBook& book, QWidget* parent,
                      const Changed& changed) {
  recogniseBookedOccurrences(store, book);
  const AutoPosted autoPosted = postByThemselves(store, book, changed);
  if (autoPosted.refusal) dialogs.show(refusal(*autoPosted.refusal));
  std::vector<DueOccurrence> asked;
  for (const DueOccurrence& due : dueOccurrences(book, store.clock().today()))
    if (due.asks || autoPosted.refusal) asked.push_back(due);
  if (asked.empty() && autoPosted.posted.empty()) return;
  SinceLastRunForm form(store, dialogs, book, asked, autoPosted.posted, parent, changed);
  dialogs.exec(form);
}
