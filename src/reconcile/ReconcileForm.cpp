#include "reconcile/ReconcileForm.h"

#include "book/workspace.h"
#include "platform/dates.h"
#include "platform/dialogs.h"
#include "platform/numbers.h"
#include "platform/sidefile.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "reconcile/adjustment.h"
#include "reconcile/document.h"
#include "reconcile/lines.h"
#include "store/ledger.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace reconcile;

ReconcileForm::ReconcileForm(book::Workspace& store, Dialogs& dialogs,
                             std::vector<Reconciliation>& all, QWidget* parent, Changed changed)
    : QDialog(parent), store_(store), dialogs_(dialogs), all_(all), changed_(std::move(changed)) {
  setObjectName(QStringLiteral("ReconcileForm"));
  setWindowTitle(QStringLiteral("對帳"));
  setFont(uiFont());
  resize(760, 520);

  accountPicker_ = new QComboBox(this);
  accountPicker_->setObjectName(QLatin1String(kAccountPicker));
  adjustPicker_ = new QComboBox(this);
  adjustPicker_->setObjectName(QLatin1String(kAdjustAccountPicker));
  for (const QString& name : store::accountListNames(store_.tables())) {
    accountPicker_->addItem(store::trimTrailingSpaces(name));
    adjustPicker_->addItem(store::trimTrailingSpaces(name));
  }
  dateBox_ = build::lineEdit(this, kStatementDateBox);
  dateBox_->setText(store_.today());
  endingBox_ = build::lineEdit(this, kEndingBox);
  auto* startButton = build::button(this, kStartButton, QStringLiteral("開始(&G)"));
  starting_ = build::label(this, kStartingLabel, {});
  difference_ = build::label(this, kDifferenceLabel, {});
  hints_ = build::label(this, kHintsLabel, {});
  hints_->setWordWrap(true);

  lines_ = new QTableWidget(0, 4, this);
  lines_->setObjectName(QLatin1String(kLines));
  lines_->setHorizontalHeaderLabels({QStringLiteral("日期"), QStringLiteral("類別"),
                                     QStringLiteral("金額"), QStringLiteral("備註")});
  lines_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  build::nameForListeners({{accountPicker_, QStringLiteral("對帳的帳戶")},
                           {adjustPicker_, QStringLiteral("調整記錄的帳戶")},
                           {dateBox_, QStringLiteral("對帳單日期")},
                           {endingBox_, QStringLiteral("對帳單餘額")},
                           {lines_, QStringLiteral("未對帳的記錄")}});
  lines_->verticalHeader()->hide();
  lines_->horizontalHeader()->setStretchLastSection(true);

  adjustButton_ = build::button(this, kAdjustButton, QStringLiteral("建立調整記錄(&A)"), {},
                                build::Enter::Ignored);
  postponeButton_ =
      build::button(this, kPostponeButton, QStringLiteral("延後(&L)"), {}, build::Enter::Ignored);
  finishButton_ =
      build::button(this, kFinishButton, QStringLiteral("完成(&F)"), {}, build::Enter::Ignored);
  auto* closeButton =
      build::button(this, kCloseButton, QStringLiteral("關閉(&C)"), {}, build::Enter::Ignored);
  for (QPushButton* b : {adjustButton_, postponeButton_, finishButton_}) b->setEnabled(false);
  finishedPicker_ = new QComboBox(this);
  finishedPicker_->setObjectName(QLatin1String(kFinishedPicker));
  finishedPicker_->setMinimumWidth(260);
  printButton_ =
      build::button(this, kPrintButton, QStringLiteral("列印(&P)"), {}, build::Enter::Ignored);
  pdfButton_ =
      build::button(this, kPdfButton, QStringLiteral("存成PDF(&V)"), {}, build::Enter::Ignored);

  connect(startButton, &QPushButton::clicked, this, &ReconcileForm::onStart);
  connect(lines_, &QTableWidget::cellChanged, this, &ReconcileForm::onTicked);
  connect(adjustButton_, &QPushButton::clicked, this, &ReconcileForm::onAdjust);
  connect(postponeButton_, &QPushButton::clicked, this, &ReconcileForm::onPostpone);
  connect(finishButton_, &QPushButton::clicked, this, &ReconcileForm::onFinish);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(printButton_, &QPushButton::clicked, this, &ReconcileForm::onPrint);
  connect(pdfButton_, &QPushButton::clicked, this, &ReconcileForm::onSavePdf);
  connect(accountPicker_, &QComboBox::currentIndexChanged, this, &ReconcileForm::refillFinished);

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
  auto* finished = new QHBoxLayout;
  auto* finishedCaption = new QLabel(QStringLiteral("已完成的對帳"), this);
  finishedCaption->setBuddy(finishedPicker_);
  finished->addWidget(finishedCaption);
  finished->addWidget(finishedPicker_);
  finished->addWidget(printButton_);
  finished->addWidget(pdfButton_);
  finished->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(figures);
  layout->addWidget(lines_, 1);
  layout->addWidget(hints_);
  layout->addLayout(adjust);
  layout->addLayout(finished);
  refillFinished();
}

// The account's finished reconciliations, the latest first.
void ReconcileForm::refillFinished() {
  finishedPicker_->clear();
  finishedIds_.clear();
  const int slot = accountPicker_->currentIndex() + 1;
  if (slot >= 1 && slot < store_.tables().accountCount) {
    const QString& account = store_.tables().accounts[slot].AccountName;
    std::vector<const Reconciliation*> done;
    for (const Reconciliation& r : all_)
      if (r.finished && !r.deleted &&
          store::sameField(store::nameField(r.account), store::nameField(account)))
        done.push_back(&r);
    std::sort(done.begin(), done.end(), [](const Reconciliation* a, const Reconciliation* b) {
      return a->statementDate != b->statementDate ? a->statementDate > b->statementDate
                                                  : a->changed > b->changed;
    });
    for (const Reconciliation* r : done) {
      finishedPicker_->addItem(QStringLiteral("%1，餘額 %2").arg(nameOf(*r)).arg(r->ending));
      finishedIds_.push_back(r->id);
    }
  }
  for (QWidget* w : {static_cast<QWidget*>(finishedPicker_), static_cast<QWidget*>(printButton_),
                     static_cast<QWidget*>(pdfButton_)})
    w->setEnabled(!finishedIds_.empty());
}

const Reconciliation* ReconcileForm::chosenFinished() const {
  const int at = finishedPicker_->currentIndex();
  if (at < 0 || at >= static_cast<int>(finishedIds_.size())) return nullptr;
  for (const Reconciliation& r : all_)
    if (r.id == finishedIds_[size_t(at)]) return &r;
  return nullptr;
}

void ReconcileForm::onPrint() {
  if (const Reconciliation* r = chosenFinished())
    printing::print(dialogs_, printing::reconciliationDocument(store_, *r), this);
}

void ReconcileForm::onSavePdf() {
  if (const Reconciliation* r = chosenFinished())
    printing::saveAsPdf(dialogs_, printing::reconciliationDocument(store_, *r),
                        printing::reconciliationPdfName(store_, *r), this);
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
  const std::vector<Line> lines = accountLines(store_, accountSlot_);
  wizard_ = std::make_unique<Wizard>(all_, name, lines, *date, ending.value);
  const QStringList broken = brokenReconciliations(all_, name, lines);
  if (!broken.isEmpty()) dialogs_.show(refusal(broken.join(QLatin1Char('\n'))));
  const auto offered = [this](int slot) {
    return std::find(offeredSlots_.begin(), offeredSlots_.end(), slot) != offeredSlots_.end();
  };
  const QSignalBlocker quiet(lines_);
  lines_->setRowCount(static_cast<int>(wizard_->lines().size()));
  for (int row = 0; row < lines_->rowCount(); ++row) {
    const Line& line = wizard_->lines()[size_t(row)];
    const QStringList cells = {line.date, line.other, QString::number(line.amount), line.memo};
    for (int c = 0; c < cells.size(); ++c) lines_->setItem(row, c, new QTableWidgetItem(cells[c]));
    lines_->item(row, 0)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    lines_->item(row, 0)->setCheckState(
        wizard_->isTicked(row) || offered(line.slot) ? Qt::Checked : Qt::Unchecked);
    wizard_->setTicked(row, lines_->item(row, 0)->checkState() == Qt::Checked);
  }
  offeredSlots_.clear();
  lines_->resizeColumnsToContents();
  starting_->setText(QStringLiteral("期初餘額：%1").arg(wizard_->starting()));
  postponeButton_->setEnabled(true);
  showDifference();
}

void ReconcileForm::chooseAccount(int accountSlot) {
  if (accountSlot < 1 || accountSlot >= store_.tables().accountCount) return;
  const int kind = store_.tables().accounts[accountSlot].AccountKind;
  if (kind == store::kAsset || kind == store::kLiability)
    accountPicker_->setCurrentIndex(accountSlot - 1);
}

void ReconcileForm::offerStatement(int accountSlot, const QDate& date, std::optional<qint64> ending,
                                   const std::vector<int>& matchedSlots) {
  accountPicker_->setCurrentIndex(accountSlot - 1);
  dateBox_->setText(dates::format(date));
  offeredSlots_ = matchedSlots;
  if (!ending) {
    endingBox_->setFocus();
    return;
  }
  endingBox_->setText(QString::number(*ending));
  onStart();
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
  const Answer sure =
      dialogs_.show({QStringLiteral("將以「%1」建立一筆 %2 元的調整記錄，使差額成為 0。確定嗎？")
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
  // The window stays, with the lines put away and the reconciliation just finished ready to
  // be printed or saved as PDF.
  wizard_.reset();
  {
    const QSignalBlocker quiet(lines_);
    lines_->setRowCount(0);
  }
  for (QPushButton* b : {adjustButton_, postponeButton_, finishButton_}) b->setEnabled(false);
  hints_->clear();
  refillFinished();
}

void openReconcile(book::Workspace& store, Dialogs& dialogs, std::vector<Reconciliation>& all,
                   QWidget* parent, const Changed& changed) {
  ReconcileForm form(store, dialogs, all, parent, changed);
  dialogs.exec(form);
}
