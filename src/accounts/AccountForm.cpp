#include "accounts/AccountForm.h"

#include "accounts/chart.h"
#include "book/workspace.h"
#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/keys.h"
#include "store/ledger.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The account of the chosen line; 0 when no line is chosen.
int chosenSlot(const QListWidget* list) {
  const auto chosen = list->selectedItems();
  return chosen.isEmpty() ? 0 : list->row(chosen.first()) + 1;
}

}  // namespace

void openAccountEditor(book::Workspace& store, Dialogs& dialogs, QWidget* parent) {
  AccountForm form(store, dialogs, parent);
  form.prepare();
  dialogs.exec(form);
}

AccountForm::AccountForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent)
    : FixedDialog(parent), store_(store), dialogs_(dialogs) {
  setObjectName(QStringLiteral("AccountForm"));
  setWindowTitle(QStringLiteral("編輯帳戶"));
  setFont(uiFont());
  setClientSize(382, 208);
  buildControls();
  refillList();
  connect(&store_, &book::Workspace::accountListsRefilled, this, &AccountForm::refillList);
}

void AccountForm::buildControls() {
  buildChart();
  buildNewAccount();
  doneButton_ = build::button(this, kDone, QStringLiteral("完成(&D)"), {296, 173, 73, 25});
  doneButton_->setDefault(true);
  setCancelButton(editButton_);

  QWidget* order[] = {chart_,          upButton_,       downButton_,     editButton_,
                      deleteButton_,   doneButton_,     createButton_,   initialValueBox_,
                      kindOptions_[3], kindOptions_[2], kindOptions_[1], kindOptions_[0],
                      nameBox_};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  // Enter in the two boxes creates the account; the default button must not also close.
  nameBox_->installEventFilter(this);
  nameBox_->lineEdit()->installEventFilter(this);
  initialValueBox_->installEventFilter(this);

  connect(createButton_, &QPushButton::clicked, this, &AccountForm::onCreate);
  connect(upButton_, &QPushButton::clicked, this, [this] { onMove(true); });
  connect(downButton_, &QPushButton::clicked, this, [this] { onMove(false); });
  connect(editButton_, &QPushButton::clicked, this, &AccountForm::onEdit);
  connect(deleteButton_, &QPushButton::clicked, this, &AccountForm::onDelete);
  connect(doneButton_, &QPushButton::clicked, this, &AccountForm::onDone);
}

// The chart with the four buttons under it.
void AccountForm::buildChart() {
  chart_ = new QListWidget(this);
  chart_->setSelectionMode(QAbstractItemView::SingleSelection);
  chart_->setObjectName(QLatin1String(kChart));
  chart_->setGeometry(8, 12, 161, 152);

  upButton_ = build::button(this, kUp, QStringLiteral("上"), {8, 173, 41, 25});
  downButton_ = build::button(this, kDown, QStringLiteral("下"), {48, 173, 41, 25});
  editButton_ = build::button(this, kEdit, QStringLiteral("編輯"), {88, 173, 41, 25});
  deleteButton_ = build::button(this, kDelete, QStringLiteral("刪除"), {128, 173, 41, 25});
  // Heard without the window: the list, and the arrows that say only which way.
  chart_->setAccessibleName(QStringLiteral("帳戶"));
  upButton_->setAccessibleName(QStringLiteral("上移"));
  downButton_->setAccessibleName(QStringLiteral("下移"));
}

// A new account's name, initial value and kind.
void AccountForm::buildNewAccount() {
  // The captions need a little more room than their designed 12 pixels in this font.
  QLabel* nameCaption =
      build::label(this, kNameCaption, QStringLiteral("名稱："), {184, 21, 60, 18});
  nameBox_ = new QComboBox(this);
  nameCaption->setBuddy(nameBox_);
  nameBox_->setEditable(true);
  nameBox_->setInsertPolicy(QComboBox::NoInsert);
  nameBox_->setMaxVisibleItems(16);
  nameBox_->setObjectName(QLatin1String(kName));
  nameBox_->setGeometry(184, 40, 113, 22);
  const build::LabelledBox initialValue =
      build::addLabelledBox(this, kInitialValueCaption, QStringLiteral("初值"), {184, 78, 30, 18},
                            kInitialValue, {216, 76, 81, 23});
  initialValueCaption_ = initialValue.label;
  initialValueBox_ = initialValue.box;
  initialValueBox_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  createButton_ = build::button(this, kCreate, QStringLiteral("建立(&C)"), {184, 120, 113, 25});

  const QString captions[] = {QStringLiteral("資產(&A)"), QStringLiteral("負債(&L)"),
                              QStringLiteral("收入(&I)"), QStringLiteral("支出(&E)")};
  for (int i = 0; i < 4; ++i) {
    QRadioButton* option = build::option(this, kKinds[i], captions[i], {312, 40 + 24 * i, 70, 17});
    kindOptions_[i] = option;
    const int kind = i + 1;
    connect(option, &QRadioButton::toggled, this, [this, kind](bool on) {
      if (on) onKindChosen(kind);
    });
  }
  kindOptions_[0]->setChecked(true);
}

void AccountForm::prepare() {
  nameBox_->clearEditText();
  initialValueBox_->setText(QStringLiteral("0"));
}

void AccountForm::showEvent(QShowEvent* event) {
  FixedDialog::showEvent(event);
  chart_->setFocus();
}

void AccountForm::refillList() {
  chart_->clear();
  chart_->addItems(store::accountListNames(store_.tables()));
}

int AccountForm::chosenKind() const {
  for (int i = 0; i < 4; ++i) {
    if (kindOptions_[i]->isChecked()) return i + 1;
  }
  return store::kAsset;
}

void AccountForm::onKindChosen(int kind) {
  nameBox_->clear();
  nameBox_->addItems(accounts::suggestedNames(kind));
  nameBox_->setCurrentIndex(-1);
  nameBox_->clearEditText();
  const bool initial = accounts::takesInitialValue(kind);
  initialValueCaption_->setVisible(initial);
  initialValueBox_->setVisible(initial);
}

void AccountForm::onCreate() {
  if (auto refused = accounts::createAccount(store_, nameBox_->currentText(), chosenKind(),
                                             initialValueBox_->text())) {
    dialogs_.message(*refused);
    return;
  }
  chart_->addItem(store_.tables().accounts[store_.tables().accountCount - 1].AccountName);
  nameBox_->clearEditText();
  initialValueBox_->setText(QStringLiteral("0"));
}

void AccountForm::onEdit() {
  const int slot = chosenSlot(chart_);
  if (slot == 0) return;
  if (auto refused = accounts::checkEditable(store_, slot)) {
    dialogs_.message(*refused);
    return;
  }
  const QString name =
      dialogs_.input(QStringLiteral("修改帳戶名稱"), QStringLiteral("編輯"),
                     store::trimTrailingSpaces(store_.tables().accounts[slot].AccountName));
  if (auto refused = accounts::renameAccount(store_, slot, name)) {
    dialogs_.message(*refused);
    return;
  }
  chart_->item(slot - 1)->setText(store_.tables().accounts[slot].AccountName);
  const QString kind = dialogs_.input(accounts::kindPrompt(), QStringLiteral("編輯"),
                                      QString::number(store_.tables().accounts[slot].AccountKind));
  if (auto refused = accounts::changeKind(store_, slot, kind)) dialogs_.message(*refused);
}

void AccountForm::onDelete() {
  const int slot = chosenSlot(chart_);
  if (slot == 0) return;
  if (auto refused = accounts::deleteAccount(store_, slot)) {
    dialogs_.message(*refused);
    return;
  }
  delete chart_->takeItem(slot - 1);
  chart_->clearSelection();
}

void AccountForm::onMove(bool up) {
  const int slot = chosenSlot(chart_);
  if (slot == 0) return;
  const auto moved =
      up ? accounts::moveAccountUp(store_, slot) : accounts::moveAccountDown(store_, slot);
  if (!moved) return;
  chart_->item(slot - 1)->setText(store_.tables().accounts[slot].AccountName);
  chart_->item(*moved - 1)->setText(store_.tables().accounts[*moved].AccountName);
  chart_->setCurrentRow(*moved - 1);
}

void AccountForm::onDone() {
  leave();
  store_.refillAccountLists();
}

bool AccountForm::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == nameBox_ || watched == nameBox_->lineEdit() || watched == initialValueBox_) &&
      isEnterKey(event)) {
    onCreate();
    return true;
  }
  return FixedDialog::eventFilter(watched, event);
}
