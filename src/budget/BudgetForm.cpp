#include "budget/BudgetForm.h"

#include "book/workspace.h"
#include "budget/actuals.h"
#include "budget/budget.h"
#include "history/History.h"
#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "reports/period/period.h"
#include "ui/print/loadable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Enter in a cell commits it and moves down to the next account, as a spreadsheet does; the
// cell stays when its amount was refused.
class BudgetGrid : public QTableWidget {
 public:
  explicit BudgetGrid(QWidget* parent) : QTableWidget(parent) {}
  bool refused = false;

 protected:
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
    QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (hint == QAbstractItemDelegate::SubmitModelCache && !refused &&
        currentRow() + 1 < rowCount()) {
      setCurrentCell(currentRow() + 1, currentColumn());
    }
    refused = false;
  }
};

const QColor kRefusalColour(0xB0, 0x00, 0x20);

}  // namespace

BudgetForm::BudgetForm(book::Workspace& store, Dialogs& dialogs, budget::Budget& plans,
                       QWidget* parent)
    : FixedDialog(parent),
      store_(store),
      dialogs_(dialogs),
      plans_(plans),
      accounts_(budget::accountsOf(store)) {
  setObjectName(QStringLiteral("BudgetForm"));
  setWindowTitle(QStringLiteral("預算"));
  setFont(uiFont(9));
  setClientSize(1000, 560);

  yearBox_ = new QSpinBox(this);
  yearBox_->setObjectName(QLatin1String(kYear));
  yearBox_->setRange(1900, 9999);
  // The year of the book's latest entries, as the reports open: a book kept years ago would
  // otherwise open on a year with nothing in it.
  const QDate latest = period::latestMonthWithEntries(store);
  yearBox_->setValue(latest.isValid() ? latest.year() : store.clock().today().year());
  yearBox_->setSuffix(QStringLiteral(" 年"));
  yearBox_->setAccessibleName(QStringLiteral("年"));
  auto* top = new QHBoxLayout;
  top->addWidget(yearBox_);
  top->addStretch(1);

  auto* grid = new BudgetGrid(this);
  grid_ = grid;
  grid_->setObjectName(QLatin1String(kGrid));
  grid_->setAccessibleName(QStringLiteral("預算表"));
  grid_->verticalHeader()->hide();
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  grid_->setTabKeyNavigation(false);
  QStringList headers{QStringLiteral("帳戶")};
  for (int m = 1; m <= 12; ++m) headers << QStringLiteral("%1月").arg(m);
  headers << QStringLiteral("合計");
  grid_->setColumnCount(static_cast<int>(headers.size()));
  grid_->setHorizontalHeaderLabels(headers);

  message_ = build::label(this, kMessage, QString());
  QPalette red = message_->palette();
  red.setColor(QPalette::WindowText, kRefusalColour);
  message_->setPalette(red);

  ruleBox_ = new QComboBox(this);
  ruleBox_->setObjectName(QLatin1String(kRule));
  ruleBox_->addItems(
      {QStringLiteral("每月相同"), QStringLiteral("逐月金額"), QStringLiteral("全年總額平均分配")});
  auto* ruleLabel = build::label(this, "BudgetRuleLabel", QStringLiteral("方式(&W)"));
  ruleLabel->setBuddy(ruleBox_);
  ruleAmount_ = build::lineEdit(this, kRuleAmount);
  ruleAmount_->setAccessibleName(QStringLiteral("方式的金額"));
  ruleAmount_->setPlaceholderText(QStringLiteral("金額"));
  QPushButton* apply =
      build::button(this, kApplyRule, QStringLiteral("套用(&A)"), {}, build::Enter::Ignored);
  carry_ = new QCheckBox(QStringLiteral("結餘結轉下月(&C)"), this);
  carry_->setObjectName(QLatin1String(kCarry));
  auto* rule = new QHBoxLayout;
  for (QWidget* w : {static_cast<QWidget*>(ruleLabel), static_cast<QWidget*>(ruleBox_),
                     static_cast<QWidget*>(ruleAmount_), static_cast<QWidget*>(apply),
                     static_cast<QWidget*>(carry_)}) {
    rule->addWidget(w);
  }
  rule->addStretch(1);

  estimateMonths_ = new QComboBox(this);
  estimateMonths_->setObjectName(QLatin1String(kEstimateMonths));
  estimateMonths_->addItems({QStringLiteral("最近 3 個月"), QStringLiteral("最近 6 個月"),
                             QStringLiteral("最近 12 個月")});
  estimateMonths_->setAccessibleName(QStringLiteral("預估依據的月數"));
  estimateHow_ = new QComboBox(this);
  estimateHow_->setObjectName(QLatin1String(kEstimateHow));
  estimateHow_->addItems({QStringLiteral("平均"), QStringLiteral("中位數")});
  estimateHow_->setAccessibleName(QStringLiteral("預估的算法"));
  QPushButton* estimate =
      build::button(this, kEstimate, QStringLiteral("預估(&E)"), {}, build::Enter::Ignored);
  QPushButton* close =
      build::button(this, kClose, QStringLiteral("關閉"), {}, build::Enter::Ignored);
  setCancelButton(close);
  auto* foot = new QHBoxLayout;
  foot->addWidget(estimateMonths_);
  foot->addWidget(estimateHow_);
  foot->addWidget(estimate);
  foot->addStretch(1);
  foot->addWidget(close);

  auto* column = new QVBoxLayout(this);
  column->addLayout(top);
  column->addWidget(grid_, 1);
  column->addWidget(message_);
  column->addLayout(rule);
  column->addLayout(foot);

  connect(yearBox_, &QSpinBox::valueChanged, this, &BudgetForm::fillGrid);
  connect(grid_, &QTableWidget::itemChanged, this, &BudgetForm::onCellChanged);
  connect(grid_, &QTableWidget::currentCellChanged, this, &BudgetForm::onRowChosen);
  connect(apply, &QPushButton::clicked, this, &BudgetForm::onApplyRule);
  connect(carry_, &QCheckBox::clicked, this, &BudgetForm::onCarryToggled);
  connect(estimate, &QPushButton::clicked, this, &BudgetForm::onEstimate);
  connect(close, &QPushButton::clicked, this, [this] { leave(QDialog::Rejected); });

  fillGrid();
  grid_->setCurrentCell(0, kFirstMonthColumn);
  grid_->setFocus();
}

void BudgetForm::fillGrid() {
  filling_ = true;
  goneIds_.clear();
  std::vector<const budget::Plan*> gone;
  for (const budget::BoundPlan& b : plans_.bind(accounts_, yearBox_->value())) {
    if (b.slot != 0) continue;
    goneIds_ << b.plan->id;
    gone.push_back(b.plan);
  }
  const int listed = static_cast<int>(accounts_.size());
  grid_->setRowCount(listed + static_cast<int>(gone.size()));
  for (int row = 0; row < listed; ++row) {
    auto* name = new QTableWidgetItem(accounts_[static_cast<size_t>(row)].name);
    name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    grid_->setItem(row, 0, name);
    fillRow(row);
  }
  for (size_t k = 0; k < gone.size(); ++k) fillGoneRow(listed + static_cast<int>(k), *gone[k]);
  filling_ = false;
  grid_->resizeColumnToContents(0);
  for (int c = kFirstMonthColumn; c <= kTotalColumn; ++c) grid_->setColumnWidth(c, 62);
  grid_->setColumnWidth(kTotalColumn, 80);
  onRowChosen();
}

void BudgetForm::fillRow(int row) {
  const bool wasFilling = filling_;
  filling_ = true;
  const budget::Account& account = accounts_[static_cast<size_t>(row)];
  const budget::Plan* plan = plans_.planOf(accounts_, account, yearBox_->value());
  const budget::Months months = plan ? budget::plannedMonths(*plan) : budget::Months{};
  QFont own = grid_->font();
  own.setBold(true);
  for (size_t m = 0; m < 12; ++m) {
    const int column = kFirstMonthColumn + static_cast<int>(m);
    QTableWidgetItem* item = grid_->item(row, column);
    if (!item) {
      item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      grid_->setItem(row, column, item);
    }
    item->setText(plan ? period::grouped(months[m]) : QString());
    // A month's own amount stands out from what the rule gives.
    item->setFont(plan && plan->overrides[m] ? own : grid_->font());
  }
  auto* total = new QTableWidgetItem(plan ? period::grouped(budget::yearTotal(months)) : QString());
  total->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  total->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid_->setItem(row, kTotalColumn, total);
  filling_ = wasFilling;
}

void BudgetForm::fillGoneRow(int row, const budget::Plan& plan) {
  // The plan of a deleted account is never dropped silently: it shows with its amounts, greyed,
  // and cannot be typed into.
  const budget::Months months = budget::plannedMonths(plan);
  const QColor grey = grid_->palette().color(QPalette::Disabled, QPalette::Text);
  const auto cell = [&](int column, const QString& text, Qt::Alignment align) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(align | Qt::AlignVCenter);
    item->setForeground(grey);
    grid_->setItem(row, column, item);
  };
  cell(0, QStringLiteral("%1（%2）").arg(budget::kDeletedAccount, plan.name), Qt::AlignLeft);
  for (size_t m = 0; m < 12; ++m) {
    cell(kFirstMonthColumn + static_cast<int>(m), period::grouped(months[m]), Qt::AlignRight);
  }
  cell(kTotalColumn, period::grouped(budget::yearTotal(months)), Qt::AlignRight);
}

void BudgetForm::onCellChanged(QTableWidgetItem* item) {
  if (filling_) return;
  const int row = item->row();
  const int month = item->column() - kFirstMonthColumn + 1;
  if (row < 0 || row >= static_cast<int>(accounts_.size()) || month < 1 || month > 12) return;
  const auto refused = plans_.setMonth(accounts_, accounts_[static_cast<size_t>(row)],
                                       yearBox_->value(), month, item->text());
  static_cast<BudgetGrid*>(grid_)->refused = say(refused);
  fillRow(row);
  if (!refused) onRowChosen();
}

const budget::Account* BudgetForm::chosenAccount() const {
  const int row = grid_->currentRow();
  if (row < 0 || row >= static_cast<int>(accounts_.size())) return nullptr;
  return &accounts_[static_cast<size_t>(row)];
}

void BudgetForm::onRowChosen() {
  const budget::Account* account = chosenAccount();
  const budget::Plan* plan =
      account ? plans_.planOf(accounts_, *account, yearBox_->value()) : nullptr;
  const QSignalBlocker quiet(ruleBox_);
  ruleBox_->setCurrentIndex(plan ? static_cast<int>(plan->rule) : 0);
  ruleAmount_->setText(plan && plan->rule != budget::Rule::PerMonth ? period::grouped(plan->amount)
                                                                    : QString());
  carry_->setChecked(plan && plan->carryForward);
}

bool BudgetForm::say(const std::optional<QString>& refusal) {
  message_->setText(refusal.value_or(QString()));
  return refusal.has_value();
}

void BudgetForm::onApplyRule() {
  const budget::Account* account = chosenAccount();
  if (!account) return;
  const auto refused =
      plans_.setRule(accounts_, *account, yearBox_->value(),
                     static_cast<budget::Rule>(ruleBox_->currentIndex()), ruleAmount_->text());
  if (!say(refused)) fillRow(grid_->currentRow());
}

void BudgetForm::onCarryToggled(bool on) {
  const budget::Account* account = chosenAccount();
  if (!account) return;
  if (say(plans_.setCarryForward(accounts_, *account, yearBox_->value(), on))) {
    carry_->setChecked(!on);
  }
  fillRow(grid_->currentRow());
}

void BudgetForm::onEstimate() {
  const budget::Account* account = chosenAccount();
  if (!account) return;
  static constexpr int kCounts[] = {3, 6, 12};
  const int count = kCounts[std::clamp(estimateMonths_->currentIndex(), 0, 2)];
  // The months before the year planned, or before this month when planning the current year.
  const QDate today = store_.clock().today();
  const QDate before = yearBox_->value() >= today.year() ? QDate(today.year(), today.month(), 1)
                                                         : QDate(yearBox_->value(), 1, 1);
  const auto history = budget::monthsBefore(store_, account->slot, before, count);
  const qint64 amount = budget::estimateFrom(
      history, count,
      estimateHow_->currentIndex() == 0 ? budget::Estimate::Average : budget::Estimate::Median);
  if (!say(plans_.fillEstimate(accounts_, *account, yearBox_->value(), amount))) {
    fillRow(grid_->currentRow());
    onRowChosen();
  }
}

void openBudget(book::Workspace& store, Dialogs& dialogs, budget::Budget& plans, QWidget* parent) {
  BudgetForm form(store, dialogs, plans, parent);
  dialogs.exec(form);
}

BookBudget::BookBudget(book::Workspace& store, Dialogs& dialogs, QWidget* window, QWidget* noteHost,
                       const QRect& noteArea)
    : QObject(window), store_(store), dialogs_(dialogs), parent_(window) {
  notice_ = new QLabel(noteHost);
  notice_->setObjectName(QLatin1String(kNotice));
  notice_->setAccessibleName(QStringLiteral("預算提醒"));
  notice_->setAttribute(Qt::WA_TransparentForMouseEvents);
  notice_->setFocusPolicy(Qt::NoFocus);
  notice_->setWordWrap(true);
  notice_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  notice_->setIndent(6);
  notice_->setFont(uiFont(9));
  notice_->setAutoFillBackground(true);
  notice_->setFrameStyle(QFrame::Box | QFrame::Plain);
  QPalette note = notice_->palette();
  note.setColor(QPalette::Window, QColor(0xFF, 0xF4, 0xCC));
  note.setColor(QPalette::WindowText, QColor(0x5A, 0x3A, 0x00));
  notice_->setPalette(note);
  notice_->setGeometry(noteArea);
  notice_->hide();
  noticeTimer_ = new QTimer(this);
  noticeTimer_->setSingleShot(true);
  connect(noticeTimer_, &QTimer::timeout, notice_, &QWidget::hide);
  connect(&store_.history(), &History::changed, this, &BookBudget::onBookChanged);
  connect(&store_, &book::Workspace::bookSaved, this, &BookBudget::onBookSaved);
  // A book opened: its spending so far is the ground the notices start from.
  connect(&store_, &book::Workspace::accountListsRefilled, this, [this] {
    if (watchedFolder_ != store_.user().databaseFolder()) watchFromHere();
  });
}

void BookBudget::onBookSaved(const QString& folder) {
  if (!plans_) return;  // never read: the next reading finds the file as it is then
  // A save into another folder is the open book saved aside as a new book (its files had been
  // changed elsewhere): the budget, its file carried along, goes on there with its steps.
  if (folder_ != folder) {
    plans_->moveTo(folder);
    folder_ = folder;
  }
  // Another computer's plans, synced into the folder, join the open budget.
  if (auto failed = plans_->sync()) dialogs_.message(refusal(*failed));
}

void BookBudget::watchFromHere() {
  watch_ = std::make_unique<budget::OverrunWatch>();
  watch_->reset(store_);
  watchedFolder_ = store_.user().databaseFolder();
}

BookBudget::~BookBudget() = default;

void BookBudget::adopt(std::unique_ptr<budget::Budget> plans, const QString& folder) {
  plans_ = std::move(plans);
  plans_->keepStepsIn(&store_.history());
  folder_ = folder;
}

budget::Budget* BookBudget::current() {
  const QString folder = store_.user().databaseFolder();
  if (plans_ && folder_ == folder) return plans_.get();
  auto opened = budget::Budget::open(folder);
  if (const QString* why = std::get_if<QString>(&opened)) {
    dialogs_.message(refusal(*why));
    return nullptr;
  }
  adopt(std::move(std::get<std::unique_ptr<budget::Budget>>(opened)), folder);
  return plans_.get();
}

void BookBudget::openPlan() {
  if (budget::Budget* plans = current()) openBudget(store_, dialogs_, *plans, parent_);
}

void BookBudget::openReport() {
  if (budget::Budget* plans = current())
    loadable::openBudgetReport(store_, dialogs_, *plans, parent_);
}

void BookBudget::onBookChanged() {
  const QString folder = store_.user().databaseFolder();
  if (!watch_ || watchedFolder_ != folder) {
    // Another book: what it already spent is no news.
    watchFromHere();
    return;
  }
  if (plans_ && folder_ != folder) plans_.reset();
  if (!plans_) {
    auto opened = budget::Budget::open(folder);
    // A damaged budget file is said when the budget is opened, not on every entry.
    if (std::holds_alternative<QString>(opened)) return;
    adopt(std::move(std::get<std::unique_ptr<budget::Budget>>(opened)), folder);
  }
  // A renamed or moved account takes its plans along. A write that fails now is tried again at
  // the next change; the plans stay bound by their names meanwhile.
  (void)plans_->follow(budget::accountsOf(store_));
  const QStringList notices = watch_->look(store_, *plans_);
  if (!notices.isEmpty()) showNotice(notices);
}

void BookBudget::showNotice(const QStringList& notices) {
  // Two lines fit; more months than that are left to 預算與實際.
  QString text = notices.first();
  if (notices.size() == 2) {
    text += QLatin1Char('\n') + notices[1];
  } else if (notices.size() > 2) {
    text += QStringLiteral("\n另有 %1 個月份已用預算的八成以上，詳見「預算與實際」")
                .arg(notices.size() - 1);
  }
  notice_->setText(text);
  notice_->show();
  notice_->raise();
  noticeTimer_->start(kNoticeMilliseconds);
}
