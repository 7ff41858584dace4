#include "schedules/ScheduleForm.h"

#include "book/workspace.h"
#include "platform/dates.h"
#include "platform/dialogs.h"
#include "platform/sidefile.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "schedules/editing.h"
#include "store/ledger.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

using namespace schedules;

namespace {

template <typename W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

}  // namespace

ScheduleForm::ScheduleForm(book::Workspace& store, Dialogs& dialogs, ScheduleBook& book,
                           QWidget* parent, Changed changed)
    : QDialog(parent), store_(store), dialogs_(dialogs), book_(book), changed_(std::move(changed)) {
  setObjectName(QStringLiteral("ScheduleForm"));
  setWindowTitle(QStringLiteral("定期記錄"));
  setFont(uiFont());

  list_ = named(new QListWidget(this), kScheduleList);
  list_->setMinimumWidth(220);
  const QStringList accounts = store::accountListNames(store_.tables());
  increasePicker_ = named(new QComboBox(this), kIncreasePicker);
  decreasePicker_ = named(new QComboBox(this), kDecreasePicker);
  for (QComboBox* picker : {increasePicker_, decreasePicker_}) {
    for (const QString& name : accounts) picker->addItem(store::trimTrailingSpaces(name));
    picker->setCurrentIndex(-1);
  }
  amountBox_ = build::lineEdit(this, kAmountBox);
  memoBox_ = build::lineEdit(this, kMemoBox);
  estimateBox_ =
      named(new QCheckBox(QStringLiteral("金額是估計值，每次入帳前詢問"), this), kEstimateBox);
  autoPostBox_ = named(new QCheckBox(QStringLiteral("到期時自動入帳"), this), kAutoPostBox);
  everyBox_ = named(new QSpinBox(this), kEveryBox);
  everyBox_->setRange(1, kMaxEvery);
  unitPicker_ = named(new QComboBox(this), kUnitPicker);
  unitPicker_->addItems(
      {QStringLiteral("天"), QStringLiteral("週"), QStringLiteral("個月"), QStringLiteral("年")});
  monthDayPicker_ = named(new QComboBox(this), kMonthDayPicker);
  monthDayPicker_->addItems(
      {QStringLiteral("指定日"), QStringLiteral("最後一天"), QStringLiteral("最後營業日")});
  dayBox_ = named(new QSpinBox(this), kDayBox);
  dayBox_->setRange(1, 31);
  firstDateBox_ = build::lineEdit(this, kFirstDateBox);
  endDateBox_ = build::lineEdit(this, kEndDateBox);
  countBox_ = named(new QSpinBox(this), kCountBox);
  countBox_->setRange(0, 9999);
  countBox_->setSpecialValueText(QStringLiteral("不限"));
  weekendPicker_ = named(new QComboBox(this), kWeekendPicker);
  weekendPicker_->addItems(
      {QStringLiteral("不調整"), QStringLiteral("提前到星期五"), QStringLiteral("延到星期一")});
  nextDates_ = build::label(this, kNextDates, {});
  nextDates_->setWordWrap(true);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("帳戶"), increasePicker_);
  form->addRow(QStringLiteral("付款帳戶"), decreasePicker_);
  form->addRow(QStringLiteral("金額"), amountBox_);
  form->addRow(QStringLiteral("備註"), memoBox_);
  form->addRow(QString(), estimateBox_);
  form->addRow(QString(), autoPostBox_);
  // The row "每" holds four controls: each is named for a listener on its own.
  build::nameForListeners({{list_, QStringLiteral("定期記錄清單")},
                           {everyBox_, QStringLiteral("間隔")},
                           {unitPicker_, QStringLiteral("間隔單位")},
                           {monthDayPicker_, QStringLiteral("每月的哪一天")},
                           {dayBox_, QStringLiteral("日")}});
  auto* every = new QHBoxLayout;
  every->addWidget(everyBox_);
  every->addWidget(unitPicker_);
  every->addWidget(monthDayPicker_);
  every->addWidget(dayBox_);
  form->addRow(QStringLiteral("每"), every);
  form->addRow(QStringLiteral("第一次"), firstDateBox_);
  form->addRow(QStringLiteral("結束日期"), endDateBox_);
  form->addRow(QStringLiteral("次數"), countBox_);
  form->addRow(QStringLiteral("遇到週末"), weekendPicker_);
  form->addRow(QStringLiteral("接下來五次"), nextDates_);

  auto* newButton =
      build::button(this, kNewButton, QStringLiteral("新增(&N)"), {}, build::Enter::Ignored);
  auto* saveButton = build::button(this, kSaveButton, QStringLiteral("儲存(&S)"));
  auto* deleteButton =
      build::button(this, kDeleteButton, QStringLiteral("刪除(&D)"), {}, build::Enter::Ignored);
  auto* closeButton =
      build::button(this, kCloseButton, QStringLiteral("關閉(&C)"), {}, build::Enter::Ignored);
  saveButton->setDefault(true);
  connect(newButton, &QPushButton::clicked, this, &ScheduleForm::onNew);
  connect(saveButton, &QPushButton::clicked, this, &ScheduleForm::onSave);
  connect(deleteButton, &QPushButton::clicked, this, &ScheduleForm::onDelete);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(list_, &QListWidget::currentRowChanged, this, &ScheduleForm::onChosen);
  const auto follow = [this] { showNextDates(); };
  for (QSpinBox* box : {everyBox_, dayBox_, countBox_})
    connect(box, &QSpinBox::valueChanged, this, follow);
  for (QComboBox* picker : {unitPicker_, monthDayPicker_, weekendPicker_})
    connect(picker, &QComboBox::currentIndexChanged, this, follow);
  for (QLineEdit* box : {firstDateBox_, endDateBox_})
    connect(box, &QLineEdit::textChanged, this, follow);

  auto* right = new QVBoxLayout;
  right->addLayout(form);
  right->addStretch();
  right->addLayout(build::buttonRow({newButton, saveButton, deleteButton, closeButton}));
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(right, 1);

  refillList();
  onNew();
}

void ScheduleForm::refillList() {
  const QSignalBlocker quiet(list_);
  list_->clear();
  listed_.clear();
  for (int i = 0; i < static_cast<int>(book_.schedules.size()); ++i) {
    const Schedule& s = book_.schedules[size_t(i)];
    if (s.deleted) continue;
    listed_.push_back(i);
    list_->addItem(QStringLiteral("%1  %2  %3")
                       .arg(store::trimTrailingSpaces(s.memo).section('\r', 0, 0),
                            store::trimTrailingSpaces(s.increase), QString::number(s.amount)));
  }
}

int ScheduleForm::positionOf(const QString& account) const {
  return increasePicker_->findText(store::trimTrailingSpaces(account));
}

void ScheduleForm::onChosen(int row) {
  if (row < 0 || row >= static_cast<int>(listed_.size())) return;
  const Schedule& s = book_.schedules[size_t(listed_[size_t(row)])];
  editedId_ = s.id;
  increasePicker_->setCurrentIndex(positionOf(s.increase));
  decreasePicker_->setCurrentIndex(positionOf(s.decrease));
  amountBox_->setText(QString::number(s.amount));
  memoBox_->setText(store::trimTrailingSpaces(s.memo));
  estimateBox_->setChecked(s.estimate);
  autoPostBox_->setChecked(s.mode == Mode::PostByItself);
  everyBox_->setValue(s.rule.every);
  unitPicker_->setCurrentIndex(static_cast<int>(s.rule.unit));
  monthDayPicker_->setCurrentIndex(static_cast<int>(s.rule.monthDay));
  dayBox_->setValue(s.rule.dayOfMonth);
  firstDateBox_->setText(dates::format(s.rule.first));
  endDateBox_->setText(s.rule.end.isValid() ? dates::format(s.rule.end) : QString());
  countBox_->setValue(s.rule.count);
  weekendPicker_->setCurrentIndex(static_cast<int>(s.rule.weekend));
  showNextDates();
}

void ScheduleForm::onNew() {
  editedId_.clear();
  list_->setCurrentRow(-1);
  increasePicker_->setCurrentIndex(-1);
  decreasePicker_->setCurrentIndex(-1);
  amountBox_->clear();
  memoBox_->clear();
  estimateBox_->setChecked(false);
  autoPostBox_->setChecked(false);
  everyBox_->setValue(1);
  unitPicker_->setCurrentIndex(static_cast<int>(Unit::Months));
  monthDayPicker_->setCurrentIndex(0);
  dayBox_->setValue(store_.clock().today().day());
  firstDateBox_->setText(store_.today());
  endDateBox_->clear();
  countBox_->setValue(0);
  weekendPicker_->setCurrentIndex(0);
  showNextDates();
}

Rule ScheduleForm::ruleInControls() const {
  Rule rule;
  rule.unit = static_cast<Unit>(unitPicker_->currentIndex());
  rule.every = everyBox_->value();
  rule.monthDay = static_cast<MonthDay>(monthDayPicker_->currentIndex());
  rule.dayOfMonth = dayBox_->value();
  rule.first = dates::parse(firstDateBox_->text().trimmed()).value_or(QDate());
  rule.end = dates::parse(endDateBox_->text().trimmed()).value_or(QDate());
  rule.count = countBox_->value();
  rule.weekend = static_cast<WeekendRule>(weekendPicker_->currentIndex());
  return rule;
}

void ScheduleForm::showNextDates() {
  const bool monthly = unitPicker_->currentIndex() == static_cast<int>(Unit::Months);
  monthDayPicker_->setVisible(monthly);
  dayBox_->setVisible(monthly && monthDayPicker_->currentIndex() == 0);
  const Rule rule = ruleInControls();
  if (auto why = checkRule(rule)) {
    nextDates_->setText(*why);
    return;
  }
  QStringList next;
  for (const Occurrence& o : nextOccurrences(rule, store_.clock().today().addDays(-1), 5))
    next << dates::format(o.date);
  nextDates_->setText(next.isEmpty() ? QStringLiteral("（已經結束）")
                                     : next.join(QStringLiteral("  ")));
}

void ScheduleForm::onSave() {
  ScheduleInput input;
  input.entry.increasePosition = increasePicker_->currentIndex();
  input.entry.decreasePosition = decreasePicker_->currentIndex();
  input.entry.date = firstDateBox_->text();
  input.entry.amount = amountBox_->text();
  input.entry.memo = memoBox_->text();
  input.estimate = estimateBox_->isChecked();
  input.postByItself = autoPostBox_->isChecked();
  input.rule = ruleInControls();
  input.endDate = endDateBox_->text();
  auto checked = checkSchedule(store_, input);
  if (auto* refused = std::get_if<Message>(&checked)) {
    dialogs_.show(*refused);
    return;
  }
  Schedule s = std::get<Schedule>(checked);
  s.id = editedId_.isEmpty() ? sidefile::newId() : editedId_;
  const ScheduleBook before = book_;
  keepSchedule(book_, s, store_.clock().now());
  if (changed_ && book_ != before) changed_(stepnames::kSaveSchedule, before);
  editedId_ = s.id;
  refillList();
  showSchedule(s.id);
}

void ScheduleForm::showSchedule(const QString& id) {
  for (int row = 0; row < static_cast<int>(listed_.size()); ++row)
    if (book_.schedules[size_t(listed_[size_t(row)])].id == id) list_->setCurrentRow(row);
}

void ScheduleForm::onDelete() {
  if (editedId_.isEmpty()) return;
  if (dialogs_.show(confirmDelete(QStringLiteral("確定要刪除這筆定期記錄嗎？"))) != Answer::Yes)
    return;
  const ScheduleBook before = book_;
  deleteSchedule(book_, editedId_, store_.clock().now());
  if (changed_) changed_(stepnames::kDeleteSchedule, before);
  refillList();
  onNew();
}

void openSchedules(book::Workspace& store, Dialogs& dialogs, ScheduleBook& book, QWidget* parent,
                   const Changed& changed, const QString& shownId) {
  ScheduleForm form(store, dialogs, book, parent, changed);
  if (!shownId.isEmpty()) form.showSchedule(shownId);
  form.resize(760, 460);
  dialogs.exec(form);
}
