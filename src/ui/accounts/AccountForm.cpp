#include "ui/accounts/AccountForm.h"

#include "platform/widgets/fonts.h"
#include "store/Module1.h"
#include "store/chart.h"
#include "store/ledger.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

bool isEnter(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The account of the chosen line; 0 when no line is chosen.
int chosenSlot(const QListWidget* list) {
  const auto chosen = list->selectedItems();
  return chosen.isEmpty() ? 0 : list->row(chosen.first()) + 1;
}

}  // namespace

void openAccountEditor(Module1& store, QWidget* parent) {
  AccountForm form(store, parent);
  form.prepare();
  store.dialogs().exec(form);
}

AccountForm::AccountForm(Module1& store, QWidget* parent) : FixedDialog(parent), store_(store) {
  setObjectName(QStringLiteral("AccountForm"));
  setWindowTitle(QStringLiteral("編輯帳戶"));
  setFont(uiFont());
  setClientSize(382, 208);
  build();
  refillList();
  connect(&store_, &Module1::accountListsRefilled, this, &AccountForm::refillList);
}

void AccountForm::build() {
  auto place = [this](QWidget* w, const char* name, int left, int top, int width, int height) {
    w->setObjectName(QLatin1String(name));
    w->setGeometry(left, top, width, height);
  };
  auto button = [this, &place](const char* name, const QString& caption, int left, int top,
                               int width) {
    auto* b = new QPushButton(caption, this);
    place(b, name, left, top, width, 25);
    return b;
  };

  list1_ = new QListWidget(this);
  list1_->setSelectionMode(QAbstractItemView::SingleSelection);
  place(list1_, "List1", 8, 12, 161, 152);

  cmd1_ = button("Cmd1", QStringLiteral("上"), 8, 173, 41);
  cmd2_ = button("Cmd2", QStringLiteral("下"), 48, 173, 41);
  cmd3_ = button("Cmd3", QStringLiteral("編輯"), 88, 173, 41);
  cmd4_ = button("Cmd4", QStringLiteral("刪除"), 128, 173, 41);

  // The captions need a little more room than their designed 12 pixels in this font.
  label2_ = new QLabel(QStringLiteral("名稱："), this);
  place(label2_, "Label2", 184, 21, 60, 18);
  cob1_ = new QComboBox(this);
  cob1_->setEditable(true);
  cob1_->setInsertPolicy(QComboBox::NoInsert);
  cob1_->setMaxVisibleItems(16);
  place(cob1_, "Cob1", 184, 40, 113, 22);
  label1_ = new QLabel(QStringLiteral("初值"), this);
  place(label1_, "Label1", 184, 78, 30, 18);
  text4_ = new QLineEdit(this);
  text4_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  place(text4_, "Text4", 216, 76, 81, 23);
  cmd0_ = button("Cmd0", QStringLiteral("建立(&C)"), 184, 120, 113);

  const QString captions[] = {QStringLiteral("資產(&A)"), QStringLiteral("負債(&L)"),
                              QStringLiteral("收入(&I)"), QStringLiteral("支出(&E)")};
  for (int i = 0; i < 4; ++i) {
    auto* option = new QRadioButton(captions[i], this);
    const QByteArray name = "Option" + QByteArray::number(i + 1);
    place(option, name.constData(), 312, 40 + 24 * i, 70, 17);
    options_[i] = option;
    const int kind = i + 1;
    connect(option, &QRadioButton::toggled, this, [this, kind](bool on) {
      if (on) onKindChosen(kind);
    });
  }
  options_[0]->setChecked(true);

  cmd5_ = button("Cmd5", QStringLiteral("完成(&D)"), 296, 173, 73);
  cmd5_->setDefault(true);
  setCancelButton(cmd3_);

  QWidget* order[] = {list1_, cmd1_,       cmd2_,       cmd3_,       cmd4_,       cmd5_, cmd0_,
                      text4_, options_[3], options_[2], options_[1], options_[0], cob1_};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  // Enter in the two boxes creates the account; the default button must not also close.
  cob1_->installEventFilter(this);
  cob1_->lineEdit()->installEventFilter(this);
  text4_->installEventFilter(this);

  connect(cmd0_, &QPushButton::clicked, this, &AccountForm::onCreate);
  connect(cmd1_, &QPushButton::clicked, this, [this] { onMove(true); });
  connect(cmd2_, &QPushButton::clicked, this, [this] { onMove(false); });
  connect(cmd3_, &QPushButton::clicked, this, &AccountForm::onEdit);
  connect(cmd4_, &QPushButton::clicked, this, &AccountForm::onDelete);
  connect(cmd5_, &QPushButton::clicked, this, &AccountForm::onDone);
}

void AccountForm::prepare() {
  cob1_->clearEditText();
  text4_->setText(QStringLiteral("0"));
}

void AccountForm::showEvent(QShowEvent* event) {
  FixedDialog::showEvent(event);
  list1_->setFocus();
}

void AccountForm::refillList() {
  list1_->clear();
  list1_->addItems(accountListNames(store_));
}

int AccountForm::chosenKind() const {
  for (int i = 0; i < 4; ++i) {
    if (options_[i]->isChecked()) return i + 1;
  }
  return kAsset;
}

void AccountForm::onKindChosen(int kind) {
  cob1_->clear();
  cob1_->addItems(suggestedNames(kind));
  cob1_->setCurrentIndex(-1);
  cob1_->clearEditText();
  const bool initial = takesInitialValue(kind);
  label1_->setVisible(initial);
  text4_->setVisible(initial);
}

void AccountForm::onCreate() {
  if (auto refused = createAccount(store_, cob1_->currentText(), chosenKind(), text4_->text())) {
    store_.dialogs().message(*refused);
    return;
  }
  list1_->addItem(store_.AccountTable[store_.AccountCount - 1].AccountName);
  cob1_->clearEditText();
  text4_->setText(QStringLiteral("0"));
}

void AccountForm::onEdit() {
  const int slot = chosenSlot(list1_);
  if (slot == 0) return;
  if (auto refused = checkEditable(store_, slot)) {
    store_.dialogs().message(*refused);
    return;
  }
  const QString name =
      store_.dialogs().input(QStringLiteral("修改帳戶名稱"), QStringLiteral("編輯"),
                             TrimTrailingSpaces(store_.AccountTable[slot].AccountName));
  if (auto refused = renameAccount(store_, slot, name)) {
    store_.dialogs().message(*refused);
    return;
  }
  list1_->item(slot - 1)->setText(store_.AccountTable[slot].AccountName);
  const QString kind = store_.dialogs().input(
      kindPrompt(), QStringLiteral("編輯"), QString::number(store_.AccountTable[slot].AccountKind));
  if (auto refused = changeKind(store_, slot, kind)) store_.dialogs().message(*refused);
}

void AccountForm::onDelete() {
  const int slot = chosenSlot(list1_);
  if (slot == 0) return;
  if (auto refused = deleteAccount(store_, slot)) {
    store_.dialogs().message(*refused);
    return;
  }
  delete list1_->takeItem(slot - 1);
  list1_->clearSelection();
}

void AccountForm::onMove(bool up) {
  const int slot = chosenSlot(list1_);
  if (slot == 0) return;
  const auto moved = up ? moveAccountUp(store_, slot) : moveAccountDown(store_, slot);
  if (!moved) return;
  list1_->item(slot - 1)->setText(store_.AccountTable[slot].AccountName);
  list1_->item(*moved - 1)->setText(store_.AccountTable[*moved].AccountName);
  list1_->setCurrentRow(*moved - 1);
}

void AccountForm::onDone() {
  leave();
  store_.FillAccountLists();
}

bool AccountForm::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == cob1_ || watched == cob1_->lineEdit() || watched == text4_) && isEnter(event)) {
    onCreate();
    return true;
  }
  return FixedDialog::eventFilter(watched, event);
}
