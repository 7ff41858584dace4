#include "catalogue/OpenForm.h"

#include "platform/widgets/fonts.h"
#include "store/Module1.h"
#include "ui/forms.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

constexpr int kButtonLeft = 232;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 30;
constexpr int kButtonStep = 36;
constexpr int kTop = 14;

}  // namespace

OpenForm::OpenForm(Module1& store, QWidget* parent) : FixedDialog(parent), catalogue_(store) {
  setObjectName(QStringLiteral("OpenForm"));
  setWindowTitle(QStringLiteral("資料庫選單"));
  setFont(uiFont(9.5));
  setClientSize(kButtonLeft + kButtonWidth + 14, kTop * 2 + 8 * kButtonStep + kButtonHeight);

  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("List1"));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setGeometry(14, kTop, kButtonLeft - 28, 8 * kButtonStep + kButtonHeight);

  open_ = addButton("Cmd1", QStringLiteral("開啟(&O)"), 0);
  open_->setDefault(true);
  QPushButton* add = addButton("Cmd5", QStringLiteral("新增(&N)"), 1);
  rename_ = addButton("Cmd2", QStringLiteral("更名(&R)"), 2);
  delete_ = addButton("Cmd3", QStringLiteral("刪除(&D)"), 3);
  copy_ = addButton("Cmd4", QStringLiteral("複製(&C)"), 4);
  QPushButton* up = addButton("Cmd8", QStringLiteral("上移"), 5);
  QPushButton* down = addButton("Cmd9", QStringLiteral("下移"), 6);
  cancel_ = addButton("Cmd0", QStringLiteral("取消"), 7);
  QPushButton* logOut = addButton("Cmd6", QStringLiteral("登出"), 8);

  setTabOrder(list_, open_);
  setTabOrder(open_, add);
  setTabOrder(add, rename_);
  setTabOrder(rename_, delete_);
  setTabOrder(delete_, copy_);
  setTabOrder(copy_, cancel_);
  setTabOrder(cancel_, logOut);
  setTabOrder(logOut, up);
  setTabOrder(up, down);
  list_->setFocus();

  connect(list_, &QListWidget::currentRowChanged, this,
          [this](int row) { catalogue_.select(row); });
  // A double click on a name opens it, as the open button would.
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { leaveBy(&Catalogue::open); });
  connect(open_, &QPushButton::clicked, this, [this] { leaveBy(&Catalogue::open); });
  connect(add, &QPushButton::clicked, this, [this] { run(&Catalogue::addNew); });
  connect(rename_, &QPushButton::clicked, this, [this] { run(&Catalogue::rename); });
  connect(delete_, &QPushButton::clicked, this, [this] { run(&Catalogue::remove); });
  connect(copy_, &QPushButton::clicked, this, [this] { run(&Catalogue::copy); });
  connect(up, &QPushButton::clicked, this, [this] { run(&Catalogue::moveUp); });
  connect(down, &QPushButton::clicked, this, [this] { run(&Catalogue::moveDown); });
  connect(cancel_, &QPushButton::clicked, this, [this] { leaveBy(&Catalogue::cancel); });
  connect(logOut, &QPushButton::clicked, this, [this] { leaveBy(&Catalogue::logOut); });
  refresh();
}

QPushButton* OpenForm::addButton(const char* name, const QString& caption, int row) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(kButtonLeft, kTop + row * kButtonStep, kButtonWidth, kButtonHeight);
  return button;
}

std::optional<Message> OpenForm::load() {
  auto refused = catalogue_.load();
  refresh();
  return refused;
}

void OpenForm::refresh() {
  {
    const QSignalBlocker blocker(list_);
    list_->clear();
    list_->addItems(catalogue_.entries());
    list_->setCurrentRow(catalogue_.selected());
  }
  const bool any = catalogue_.selectionCommandsEnabled();
  for (QPushButton* button : {open_, rename_, delete_, copy_}) button->setEnabled(any);
  cancel_->setEnabled(catalogue_.cancelEnabled());
}

void OpenForm::run(void (Catalogue::*command)()) {
  (catalogue_.*command)();
  refresh();
}

void OpenForm::leaveBy(Catalogue::Result (Catalogue::*command)()) {
  const Catalogue::Result result = (catalogue_.*command)();
  refresh();
  if (result == Catalogue::Result::Stay) return;
  outcome_ = result;
  leave(QDialog::Accepted);
}

Catalogue::Result showDatabaseList(Module1& store, QWidget* parent) {
  OpenForm form(store, parent);
  if (auto refused = form.load()) {
    store.dialogs().message(*refused);
    return Catalogue::Result::Stay;
  }
  store.dialogs().exec(form);
  return form.outcome();
}

void showDatabaseListFromMenu(Module1& store, QWidget* parent) {
  const SaveResult saved = EnterCatalogueFromMenu(store);
  if (saved.notice) store.dialogs().message(*saved.notice);
  if (saved.refusal) {
    store.dialogs().message(*saved.refusal);
    return;
  }
  if (showDatabaseList(store, parent) == Catalogue::Result::LoggedOut) {
    showLogin(store, store.UserName, parent);
  }
}
