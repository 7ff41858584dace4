#include "entries/InputForm.h"

#include "book/workspace.h"
#include "entries/entrycommands.h"
#include "history/History.h"
#include "platform/dates.h"
#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/keys.h"
#include "store/LedgerView.h"
#include "store/ledger.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString kNewTitle = QStringLiteral("新增資料");
const QString kEditTitle = QStringLiteral("編輯資料");

// Keypad button n at (left, top); "0" is twice as wide.
struct KeyPlace {
  int left, top;
};
constexpr std::array<KeyPlace, 11> kKeyPlaces = {{{208, 120},
                                                  {208, 96},
                                                  {232, 96},
                                                  {256, 96},
                                                  {208, 72},
                                                  {232, 72},
                                                  {256, 72},
                                                  {208, 48},
                                                  {232, 48},
                                                  {256, 48},
                                                  {256, 120}}};

}  // namespace

InputForm::InputForm(book::Workspace& store, Dialogs& dialogs, store::LedgerView& view,
                     QWidget* parent)
    : FixedDialog(parent), store_(store), dialogs_(dialogs), view_(view) {
  setObjectName(QStringLiteral("InputForm"));
  setWindowTitle(kNewTitle);
  setFont(uiFont());
  setClientSize(383, 247);
  buildControls();
  refillPickers();
  connect(&store_, &book::Workspace::accountListsRefilled, this, &InputForm::refillPickers);
}

void InputForm::showIn(QWidget* w, int left, int top, int width, int height) {
  w->setParent(this);
  w->setGeometry(left, top, width, height);
}

void InputForm::buildControls() {
  auto label = [this](const char* name, const QString& caption, int top) {
    // Three-character captions ("轉換到") need more than the designed 24 pixels.
    return build::label(this, name, caption, {8, top - 3, 46, 18});
  };
  QLabel* dateCaption = label(kDateCaption, QStringLiteral("日期"), 24);
  increaseCaption_ = label(kIncreaseCaption, QStringLiteral("分類"), 60);
  decreaseCaption_ = label(kDecreaseCaption, QStringLiteral("帳戶"), 93);
  QLabel* amountCaption = label(kAmountCaption, QStringLiteral("金額"), 125);
  QLabel* memoCaption = label(kMemoCaption, QStringLiteral("備註"), 160);

  dateBox_ = build::lineEdit(this, kDate, {56, 16, 105, 25});
  todayButton_ = build::button(this, kToday, QStringLiteral("今天"), {168, 16, 57, 25});

  auto picker = [this](const char* name, int top) {
    auto* c = new QComboBox(this);
    c->setObjectName(QLatin1String(name));
    c->setEditable(false);
    c->setMaxVisibleItems(16);  // a list about 300 pixels tall
    showIn(c, 56, top, 145, 22);
    return c;
  };
  increasePicker_ = picker(kIncrease, 56);
  decreasePicker_ = picker(kDecrease, 88);

  amountBox_ = build::lineEdit(this, kAmount, {56, 120, 145, 25});
  amountBox_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  memoBox_ = new QPlainTextEdit(this);
  memoBox_->setObjectName(QLatin1String(kMemo));
  memoBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memoBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memoBox_->setTabChangesFocus(true);
  memoBox_->installEventFilter(this);
  showIn(memoBox_, 56, 160, 313, 73);

  buildKeypad();

  // A screen reader names each box by its caption, and the key with the arrow by what it does.
  dateCaption->setBuddy(dateBox_);
  increaseCaption_->setBuddy(increasePicker_);
  decreaseCaption_->setBuddy(decreasePicker_);
  amountCaption->setBuddy(amountBox_);
  memoCaption->setBuddy(memoBox_);
  keypad_[10]->setAccessibleName(QStringLiteral("退格"));

  okButton_ = build::button(this, kOk, QStringLiteral("新增(&N)"), {304, 16, 65, 25});
  okButton_->setDefault(true);
  closeButton_ = build::button(this, kClose, QStringLiteral("取消(&C)"), {304, 48, 65, 25});
  clearButton_ = build::button(this, kClear, QStringLiteral("清除(&R)"), {304, 80, 65, 25});
  // Below 清除, beside the keypad: ready once an entry was made in this showing.
  keepAsScheduleButton_ =
      build::button(this, kKeepAsSchedule, QStringLiteral("存成定期(&S)"), {290, 120, 79, 25});
  keepAsScheduleButton_->setToolTip(QStringLiteral("把剛新增的這筆記錄存成每月的定期記錄"));
  keepAsScheduleButton_->setAutoDefault(false);
  QWidget* order[] = {dateBox_, todayButton_, increasePicker_, decreasePicker_, amountBox_,
                      memoBox_, okButton_,    closeButton_,    clearButton_};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  setTabOrder(clearButton_, keepAsScheduleButton_);
  setTabOrder(keepAsScheduleButton_, keypad_[0]);
  for (int n = 1; n <= 10; ++n) setTabOrder(keypad_[n - 1], keypad_[n]);

  connect(increasePicker_, &QComboBox::currentIndexChanged, this, &InputForm::onIncreasePicked);
  connect(decreasePicker_, &QComboBox::currentIndexChanged, this, &InputForm::onDecreasePicked);
  connect(okButton_, &QPushButton::clicked, this, &InputForm::onOk);
  connect(closeButton_, &QPushButton::clicked, this, [this] { leave(); });
  connect(clearButton_, &QPushButton::clicked, this, &InputForm::onClear);
  connect(todayButton_, &QPushButton::clicked, this, &InputForm::onToday);
  connect(keepAsScheduleButton_, &QPushButton::clicked, this, &InputForm::onKeepAsSchedule);
}

// The keys that type the amount: "0" to "9" and "←".
void InputForm::buildKeypad() {
  for (int n = 0; n <= 10; ++n) {
    const QString caption = n == 10 ? QStringLiteral("←") : QString::number(n);
    const KeyPlace place = kKeyPlaces[static_cast<size_t>(n)];
    QPushButton* b =
        build::button(this, kKeypad[static_cast<size_t>(n)], caption,
                      {place.left, place.top, n == 0 ? 49 : 25, 25});  // "0" is twice as wide
    // A click leaves the focus in the amount box, so Enter after the keypad still runs OK;
    // a key reached with Tab takes Enter as its own press, as every button does.
    b->setFocusPolicy(Qt::TabFocus);
    b->setAutoDefault(true);
    keypad_[n] = b;
    connect(b, &QPushButton::clicked, this, [this, n] { onKeypad(n); });
  }
}

bool InputForm::editMode() const { return windowTitle() == kEditTitle; }

void InputForm::refillPickers() {
  const QStringList names = store::accountListNames(store_.tables());
  for (QComboBox* c : {increasePicker_, decreasePicker_}) {
    const QSignalBlocker quiet(c);
    c->clear();
    c->addItems(names);
    c->setCurrentIndex(-1);
  }
  // The second picker always holds a choice: the first account that may pay or receive.
  const QSignalBlocker quiet(decreasePicker_);
  decreasePicker_->setCurrentIndex(entries::firstPayingPosition(store_));
}

void InputForm::onIncreasePicked(int position) {
  const entries::PickerOutcome outcome = entries::increasePicked(store_, position);
  if (outcome.refusal) dialogs_.message(*outcome.refusal);
  if (outcome.moveTo) increasePicker_->setCurrentIndex(*outcome.moveTo);
  if (outcome.labels) {
    increaseCaption_->setText(outcome.labels->first);
    decreaseCaption_->setText(outcome.labels->second);
  }
}

void InputForm::onDecreasePicked(int position) {
  const entries::PickerOutcome outcome = entries::decreasePicked(store_, position);
  if (outcome.refusal) dialogs_.message(*outcome.refusal);
  if (outcome.moveTo) decreasePicker_->setCurrentIndex(*outcome.moveTo);
}

void InputForm::openNew() {
  if (store_.tables().entryCount > store::kMaxEntries) {
    dialogs_.message(refusal(entries::kEntryLimitText));
    return;
  }
  setWindowTitle(kNewTitle);
  dateBox_->setText(store_.today());
  amountBox_->setText(QStringLiteral("0"));
  memoBox_->clear();
  increasePicker_->setCurrentIndex(-1);
  increaseCaption_->setText(QStringLiteral("分類"));
  decreaseCaption_->setText(QStringLiteral("帳戶"));
  const int shown = view_.shownAccountSlot();
  if (shown >= 1 && shown < store_.tables().accountCount &&
      store_.tables().accounts[shown].AccountKind < store::kIncome) {
    decreasePicker_->setCurrentIndex(shown - 1);
  }
  okButton_->setText(QStringLiteral("新增(&N)"));
  closeButton_->setText(QStringLiteral("完成(&D)"));
  madeSlot_ = 0;
  keepAsScheduleButton_->setVisible(true);
  keepAsScheduleButton_->setEnabled(false);
  dateBox_->setFocus();
  dialogs_.exec(*this);
}

void InputForm::openEdit(int slot) {
  if (slot < 1 || slot >= store_.tables().entryCount) return;
  editSlot_ = slot;
  setWindowTitle(kEditTitle);
  const store::LedgerEntry& entry = store_.tables().entries[slot];
  dateBox_->setText(entry.EntryDate);
  amountBox_->setText(QString::number(entry.Amount));
  memoBox_->setPlainText(entries::memoForEditing(entry.Memo));
  // An entry whose first side names no account of the chart leaves the picker without a
  // choice rather than on whatever the last entry had.
  increasePicker_->setCurrentIndex(-1);
  for (int i = 1; i < store_.tables().accountCount; ++i) {
    const QString& name = store_.tables().accounts[i].AccountName;
    if (name == entry.IncreaseAccount) increasePicker_->setCurrentIndex(i - 1);
    if (name == entry.DecreaseAccount) decreasePicker_->setCurrentIndex(i - 1);
  }
  okButton_->setText(QStringLiteral("變更(&E)"));
  closeButton_->setText(QStringLiteral("取消"));
  keepAsScheduleButton_->setVisible(false);
  dateBox_->setFocus();
  dialogs_.exec(*this);
}

void InputForm::onOk() {
  entries::EntryInput input;
  input.editMode = editMode();
  input.editIndex = editSlot_;
  input.increasePosition = increasePicker_->currentIndex();
  input.decreasePosition = decreasePicker_->currentIndex();
  input.date = dateBox_->text();
  input.amount = amountBox_->text();
  input.memo = memoBox_->toPlainText();

  // A reconciled entry is changed only when the person says so, knowing which reconciliation
  // it breaks; OK on an unchanged entry asks nothing.
  const auto planned = entries::checkEntry(store_, input);
  const auto* entry = std::get_if<store::LedgerEntry>(&planned);
  const bool changing = input.editMode && entry && !(*entry == store_.tables().entries[editSlot_]);
  if (changing && !view_.mayChangeEntries({editSlot_}, false)) return;
  std::variant<int, Message> result;
  {
    // What the change means for the reconciliations is part of its step.
    const HistoryStep step(store_.history(), store_.tables(),
                           input.editMode ? stepnames::kEditEntry : stepnames::kNewEntry);
    result = entries::storeEntry(store_, input);
    if (changing && std::holds_alternative<int>(result)) view_.entriesChanged();
  }
  if (const auto* refused = std::get_if<Message>(&result)) {
    dialogs_.message(*refused);
    return;
  }
  const int slot = std::get<int>(result);
  if (!input.editMode) {
    madeSlot_ = slot;
    keepAsScheduleButton_->setEnabled(true);
  }
  const int paying = input.decreasePosition + 1;
  if (view_.shownAccountSlot() != paying) {
    view_.showAccount(paying);
    if (input.editMode) {
      leave();
      view_.selectEntry(editSlot_);
    }
  } else if (input.editMode) {
    leave();
    view_.redrawLedger(false);
    view_.selectEntry(editSlot_);
  } else {
    // The shown ledger grows by the new row alone; its running total goes on from the last.
    view_.appendRow(entries::appendedRow(store_, slot, view_.lastRunningTotal()));
  }
}

void InputForm::onKeypad(int index) {
  QString text = amountBox_->text();
  if (text == QLatin1String("0")) text.clear();
  if (index == 10) {
    text.chop(1);
  } else {
    text.append(QString::number(index));
  }
  amountBox_->setText(text);
}

void InputForm::onToday() { dateBox_->setText(dates::formatShort(store_.clock().today())); }

void InputForm::onKeepAsSchedule() {
  if (madeSlot_ < 1 || madeSlot_ >= store_.tables().entryCount) return;
  view_.keepEntryAsSchedule(madeSlot_);
  // One schedule per entry made: a second click would keep the same bill twice.
  keepAsScheduleButton_->setEnabled(false);
}

void InputForm::onClear() {
  amountBox_->setText(QStringLiteral("0"));
  memoBox_->clear();
  increasePicker_->setCurrentIndex(-1);
}

bool InputForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == memoBox_ && isEnterKey(event)) {
    // In the memo Enter runs OK like everywhere in the dialog; Ctrl+Enter breaks the line.
    if (static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier) {
      memoBox_->insertPlainText(QStringLiteral("\n"));
    } else if (okButton_->isEnabled()) {
      okButton_->click();
    }
    return true;
  }
  return FixedDialog::eventFilter(watched, event);
}
