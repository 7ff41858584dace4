#include "reconcile/ReconcileForm.h"

#include "platform/dates.h"
#include "platform/dialogs.h"
#include "platform/numbers.h"
#include "platform/sidefile.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "reconcile/adjustment.h"
#include "reconcile/lines.h"
#include "book/workspace.h"
#include "store/ledger.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace reconcile;

ReconcileForm::ReconcileForm(book::Workspace& store, Dialogs& dialogs,
                             std::vector<Reconciliation>& all, QWidget* parent, Changed changed)
    : QDialog(parent), store_(store), dialogs_(dialogs), all_(all), changed_(std::move(changed)) {
  setObjectName(QStringLiteral("ReconcileForm"));
  setWindowTitle(QStringLiteral("對帳"));
  setFont(uiFont());
  resize(760, 520);

  accountPicker_ = new QComboBox(this);
  accountPicker_->setObjectName(QStringLiteral("AccountPicker"));
  adjustPicker_ = new QComboBox(this);
  adjustPicker_->setObjectName(QStringLiteral("AdjustAccountPicker"));
  for (const QString& name : store::accountListNames(store_.tables())) {
    accountPicker_->addItem(store::trimTrailingSpaces(name));
    adjustPicker_->addItem(store::trimTrailingSpaces(name));
  }
  dateBox_ = build::lineEdit(this, "StatementDateBox");
  dateBox_->setText(store_.today());
  endingBox_ = build::lineEdit(this, "EndingBox");
  auto* startButton = build::button(this, "StartButton", QStringLiteral("開始(&G)"));
  starting_ = build::label(this, "StartingLabel", {});
  difference_ = build::label(this, "DifferenceLabel", {});
  hints_ = build::label(this, "HintsLabel", {});
  hints_->setWordWrap(true);

  lines_ = new QTableWidget(0, 4, this);
  lines_->setObjectName(QStringLiteral("Lines"));
  lines_->setHorizontalHeaderLabels({QStringLiteral("日期"), QStringLiteral("類別"),
                                     QStringLiteral("金額"), QStringLiteral("備註")});
  lines_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lines_->verticalHeader()->hide();
  lines_->horizontalHeader()->setStretchLastSection(true);

  adjustButton_ = build::button(this, "AdjustButton", QStringLiteral("建立調整記錄(&A)"), {},
                                build::Enter::Ignored);
  postponeButton_ =
      build::button(this, "PostponeButton", QStringLiteral("延後(&L)"), {}, build::Enter::Ignored);
  finishButton_ =
      build::button(this, "FinishButton", QStringLiteral("完成(&F)"), {}, build::Enter::Ignored);
  auto* closeButton =
      build::button(this, "CloseButton", QStringLiteral("關閉(&C)"), {}, build::Enter::Ignored);
  for (QPushButton* b : {adjustButton_, postponeButton_, finishButton_}) b->setEnabled(false);

  connect(startButton, &QPushButton::clicked, this, &ReconcileForm::onStart);
  connect(lines_, &QTableWidget::cellChanged, this, &ReconcileForm::onTicked);
  connect(adjustButton_, &QPushButton::clicked, this, &ReconcileForm::onAdjust);
  connect(postponeButton_, &QPushButton::clicked, this, &ReconcileForm::onPostpone);
  connect(finishButton_, &QPushButton::clicked, this, &ReconcileForm::onFinish);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("帳戶"), this));
  top->addWidget(accountPicker_);
  top->addWidget(new QLabel(QStringLiteral("對帳單日期"), this));
  top->addWidget(dateBox_);
  top->addWidget(new QLabel(QStringLiteral("對帳單餘額"), this));
  top->addWidget(endingBox_);
  top->addWidget(startButton);
  auto* figures = new QHBoxLayout;
  figures->addWidget(starting_);
  figures->addStretch();
  figures->addWidget(difference_);
  auto* adjust = build::buttonRow({});
  adjust->addWidget(new QLabel(QStringLiteral("調整對象"), this));
  adjust->addWidget(adjustPicker_);
  adjust->addWidget(adjustButton_);
  adjust->addSpacing(24);
  adjust->addWidget(postponeButton_);
  adjust->addWidget(finishButton_);
  adjust->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(figures);
  layout->addWidget(lines_, 1);
  layout->addWidget(hints_);
  layout->addLayout(adjust);
}

void ReconcileForm::onStart() {
  const auto date = dates::parse(dateBox_->text().trimmed());
  if (!date) {
    dialogs_.show(refusal(QStringLiteral("不是正確的日期格式")));
    return;
  }
  const numbers::Amount ending = numbers::parseAmount(endingBox_->text().trimmed());
  if (!ending.ok()) {
    dialogs_.show(refusal(numbers::amountErrorText(ending.error)));
    return;
  }
  accountSlot_ = accountPicker_->currentIndex() + 1;
  statementDate_ = *date;
  adjusted_ = false;
  const QString name = store_.tables().accounts[accountSlot_].AccountName;
  wizard_ =
      std::make_unique<Wizard>(all_, name, accountLines(store_, accountSlot_), *date, ending.value);
  const QStringList broken = brokenReconciliations(all_, name);
  if (!broken.isEmpty()) dialogs_.show(refusal(broken.join(QLatin1Char('\n'))));
  const QSignalBlocker quiet(lines_);
  lines_->setRowCount(static_cast<int>(wizard_->lines().size()));
  for (int row = 0; row < lines_->rowCount(); ++row) {
    const Line& line = wizard_->lines()[size_t(row)];
    const QStringList cells = {line.date, line.other, QString::number(line.amount), line.memo};
    for (int c = 0; c < cells.size(); ++c) lines_->setItem(row, c, new QTableWidgetItem(cells[c]));
    lines_->item(row, 0)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    lines_->item(row, 0)->setCheckState(wizard_->isTicked(row) ? Qt::Checked : Qt::Unchecked);
  }
  lines_->resizeColumnsToContents();
  starting_->setText(QStringLiteral("期初餘額：%1").arg(wizard_->starting()));
  postponeButton_->setEnabled(true);
  showDifference();
}

void ReconcileForm::offerStatement(int accountSlot, const QDate& date, qint64 ending,
                                   const std::vector<int>& matchedSlots) {
  accountPicker_->setCurrentIndex(accountSlot - 1);
  dateBox_->setText(dates::format(date));
  endingBox_->setText(QString::number(ending));
  onStart();
  if (!wizard_) return;
  for (int row = 0; row < lines_->rowCount(); ++row)
    for (int slot : matchedSlots)
      if (wizard_->lines()[size_t(row)].slot == slot)
        lines_->item(row, 0)->setCheckState(Qt::Checked);
}

void ReconcileForm::onTicked(int row, int column) {
  if (!wizard_ || column != 0) return;
  wizard_->setTicked(row, lines_->item(row, 0)->checkState() == Qt::Checked);
  showDifference();
}

void ReconcileForm::showDifference() {
  const qint64 difference = wizard_->difference();
  difference_->setText(QStringLiteral("差額：%1").arg(difference));
  hints_->setText(wizard_->hints().join(QLatin1Char('\n')));
  adjustButton_->setEnabled(difference != 0);
  finishButton_->setEnabled(difference == 0 || adjusted_);
}

void ReconcileForm::onAdjust() {
  const Answer sure = dialogs_.show(
      {QStringLiteral("將以「%1」建立一筆 %2 元的調整記錄，使差額成為 0。確定嗎？")
           .arg(adjustPicker_->currentText())
           .arg(wizard_->difference()),
       QStringLiteral("建立調整記錄"), MessageIcon::Question, MessageButtons::YesNo});
  if (sure != Answer::Yes) return;
  if (auto refused = makeAdjustment(store_, *wizard_, accountSlot_,
                                    adjustPicker_->currentIndex() + 1, statementDate_)) {
    dialogs_.show(refusal(*refused));
    return;
  }
  adjusted_ = true;
  const Line& line = wizard_->lines().back();
  const QSignalBlocker quiet(lines_);
  const int row = lines_->rowCount();
  lines_->insertRow(row);
  const QStringList cells = {line.date, line.other, QString::number(line.amount), line.memo};
  for (int c = 0; c < cells.size(); ++c) lines_->setItem(row, c, new QTableWidgetItem(cells[c]));
  lines_->item(row, 0)->setFlags(Qt::ItemIsEnabled);
  lines_->item(row, 0)->setCheckState(Qt::Checked);
  showDifference();
}

void ReconcileForm::keep(bool finished) {
  const QString account = store_.tables().accounts[accountSlot_].AccountName;
  // One put-off reconciliation of an account at a time: its ticks are taken up again.
  QString id = sidefile::newId();
  if (const Reconciliation* earlier = putOff(all_, account)) id = earlier->id;
  Reconciliation r = wizard_->result(id, store_.clock().now(), finished);
  const std::vector<Reconciliation> before = all_;
  bool replaced = false;
  for (Reconciliation& old : all_)
    if (old.id == id) {
      old = r;
      replaced = true;
    }
  if (!replaced) all_.push_back(r);
  if (changed_) {
    changed_(finished ? stepnames::kFinishReconciliation : stepnames::kPutOffReconciliation,
             before);
  }
}

void ReconcileForm::onPostpone() {
  keep(false);
  accept();
}

void ReconcileForm::onFinish() {
  keep(true);
  dialogs_.show(completion(QStringLiteral("對帳完成")));
  accept();
}

void openReconcile(book::Workspace& store, Dialogs& dialogs, std::vector<Reconciliation>& all,
                   QWidget* parent, const Changed& changed) {
  ReconcileForm form(store, dialogs, all, parent, changed);
  dialogs.exec(form);
}
