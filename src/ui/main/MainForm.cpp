#include "ui/main/MainForm.h"

#include "accounts/AccountForm.h"
#include "book/workspace.h"
#include "budget/BudgetForm.h"
#include "entries/InputForm.h"
#include "history/History.h"
#include "interchange/ImportForm.h"
#include "interchange/exports.h"
#include "maintenance/DelForm.h"
#include "maintenance/closing.h"
#include "platform/dialogs.h"
#include "platform/version.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/keys.h"
#include "platform/widgets/resources.h"
#include "platform/widgets/screen.h"
#include "platform/widgets/shell.h"
#include "platform/widgets/style.h"
#include "reports/journal/DiaryForm.h"
#include "reports/period/PeriodForm.h"
#include "reports/statements/BSForm.h"
#include "search/SearchForm.h"
#include "store/ledger.h"
#include "ui/main/AboutForm.h"
#include "ui/main/LedgerItems.h"
#include "ui/main/Session.h"
#include "ui/main/SideBooks.h"
#include "ui/print/loadable.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

#include <utility>

namespace {

constexpr int kClientWidth = 735;
constexpr int kClientHeight = 554;
constexpr int kStatusBarHeight = 24;
// The title band's empty right part: a note there covers no control and no panel.
constexpr QRect kNoteArea(220, 4, 505, 38);

QAction* addItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QLatin1String(name));
  return action;
}

// The window's picture behind the controls. Decoding it takes longer than building the rest
// of the window, so it is read when first drawn: the login box in front of it appears first.
class Backdrop : public QWidget {
 public:
  Backdrop(QString path, QWidget* parent) : QWidget(parent), path_(std::move(path)) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    if (picture_.isNull()) picture_.load(path_);
    QPainter(this).drawPixmap(0, 0, picture_);
  }

 private:
  QString path_;
  QPixmap picture_;
};

}  // namespace

MainForm::MainForm(book::Workspace& store, Dialogs& dialogs, Building building)
    : store_(store), dialogs_(dialogs) {
  loadResources();
  // The program's look over the desktop's style, for every window from the first on.
  useProgramStyle();
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("Varnix v" VARNIX_VERSION));
  if (building == Building::Now) {
    build();
  } else {
    // The size until the menu bar is measured: a window centred on it is centred on this one.
    resize(kClientWidth, kClientHeight);
  }
}

void MainForm::build() {
  if (built_) return;
  built_ = true;
  // Every window of the program shows the desktop entry's icon: from the theme when
  // installed, the built-in copy otherwise. Looking through the icon themes costs as much as
  // building this window, so the window appears with the built-in copy (read only when
  // drawn) and the theme's takes its place as soon as the event loop runs.
  if (QApplication::windowIcon().isNull()) {
    const QIcon builtIn(QStringLiteral(":/varnix.png"));
    QApplication::setWindowIcon(builtIn);
    QTimer::singleShot(0, qApp, [builtIn] {
      QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("varnix"), builtIn));
    });
  }
  buildControls();
  buildMenus();
  setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);

  // The entry dialog lives as long as the window; it is only shown and hidden.
  inputForm_ = new InputForm(store_, dialogs_, *this, this);

  connect(&store_, &book::Workspace::statusChanged, this, &MainForm::updatePanels);
  connect(&store_, &book::Workspace::accountListsRefilled, this, &MainForm::refillAccountSelector);
  connect(&store_, &book::Workspace::endRequestedSignal, this, &MainForm::onEndRequested);
  connect(&store_, &book::Workspace::bookOpened, this, &MainForm::followReadOnly);
  updatePanels();
}

MainForm::~MainForm() = default;

void MainForm::buildControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("Client"));
  client->setFixedSize(kClientWidth, kClientHeight - kStatusBarHeight);
  setCentralWidget(client);

  auto* image = new Backdrop(QStringLiteral(":/background.png"), client);
  image->setObjectName(QStringLiteral("Image1"));
  image->setGeometry(0, 0, 733, 530);

  buildLedgerAndSelector(client);
  buildButtons(client);
  buildStatusBar();
}

void MainForm::buildLedgerAndSelector(QWidget* client) {
  ledger_ = new QTreeWidget(client);
  ledger_->setObjectName(QLatin1String(kLedger));
  ledger_->setGeometry(22, 56, 553, 425);
  setUpLedger(*ledger_);
  connect(ledger_, &QTreeWidget::itemChanged, this, &MainForm::onRowChanged);
  connect(ledger_, &QTreeWidget::itemDoubleClicked, this, &MainForm::onRowDoubleClicked);

  selector_ = new QListWidget(client);
  selector_->setObjectName(QLatin1String(kAccountSelector));
  selector_->setGeometry(584, 56, 129, 317);
  selector_->setFont(fixedPitchFont(11.25));
  // Names are padded to their full width; their blanks need no scrolling.
  selector_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  selector_->setTextElideMode(Qt::ElideNone);
  selector_->setSelectionMode(QAbstractItemView::SingleSelection);
  selector_->setAccessibleName(QStringLiteral("帳戶"));
  connect(selector_, &QListWidget::currentRowChanged, this, &MainForm::onAccountSelected);
}

void MainForm::buildButtons(QWidget* client) {
  auto* frame = new QFrame(client);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setGeometry(584, 382, 129, 129);
  frame->setFrameShape(QFrame::Box);
  frame->setFrameShadow(QFrame::Sunken);

  QPushButton* accounts =
      build::button(client, kEditAccounts, QStringLiteral("編輯帳戶(&A)"), {592, 405, 113, 25});
  QPushButton* statements =
      build::button(client, kStatements, QStringLiteral("財務報表(&B)"), {592, 437, 113, 25});
  QPushButton* journal =
      build::button(client, kJournal, QStringLiteral("日記帳(&I)"), {592, 469, 113, 25});
  newButton_ = build::button(client, kNew, QStringLiteral("新增(&N)"), {22, 486, 65, 25});
  newButton_->setDefault(true);
  QPushButton* remove =
      build::button(client, kDelete, QStringLiteral("刪除(&D)"), {92, 486, 73, 25});
  QPushButton* bulk =
      build::button(client, kBulkDelete, QStringLiteral("多筆刪除(&M)"), {170, 486, 87, 25});
  QPushButton* closing =
      build::button(client, kCloseBooks, QStringLiteral("結帳(&C)"), {262, 486, 73, 25});
  QPushButton* hints =
      build::button(client, kHints, QStringLiteral("提示(&T)"), {503, 486, 73, 25});
  changingButtons_ = {accounts, newButton_, remove, bulk, closing};
  for (QPushButton* b : {accounts, statements, journal, newButton_, remove, bulk, closing, hints}) {
    b->setFont(uiFont());
    // Enter clicks the button that has the focus; elsewhere in the window it means 新增(&N).
    b->setAutoDefault(true);
  }

  connect(accounts, &QPushButton::clicked, this,
          [this] { openAccountEditor(store_, dialogs_, this); });
  connect(statements, &QPushButton::clicked, this,
          [this] { openStatements(store_, dialogs_, this); });
  connect(journal, &QPushButton::clicked, this, [this] { openJournal(store_, dialogs_, this); });
  connect(newButton_, &QPushButton::clicked, this, [this] { inputForm_->openNew(); });
  connect(remove, &QPushButton::clicked, this, &MainForm::onDelete);
  connect(bulk, &QPushButton::clicked, this,
          [this] { openBulkDelete(store_, dialogs_, *this, this); });
  connect(closing, &QPushButton::clicked, this, &MainForm::onCloseBooks);
  connect(hints, &QPushButton::clicked, this, &MainForm::onHints);
}

void MainForm::buildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QLatin1String(kStatusBar));
  bar->setSizeGripEnabled(false);
  bar->setFixedHeight(kStatusBarHeight);
  // The panels sit in a row of their own: the bar's own spacing would push the last one out.
  auto* row = new QWidget(bar);
  auto* rowLayout = new QHBoxLayout(row);
  rowLayout->setContentsMargins(0, 0, 0, 0);
  rowLayout->setSpacing(1);
  const int panelWidths[] = {237, 253, 120, 120};
  for (size_t i = 0; i < kPanels.size(); ++i) {
    QLabel* panel = build::label(row, kPanels[i], QString());
    panel->setFixedWidth(panelWidths[i]);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setFont(uiFont());
    rowLayout->addWidget(panel);
    panels_.push_back(panel);
  }
  rowLayout->addStretch();
  bar->addWidget(row, 1);
}

void MainForm::buildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("檔案(&F)"));
  file->setObjectName(QStringLiteral("Menu_DataBase"));
  QAction* databases = addItem(file, kDatabaseList, QStringLiteral("資料庫選單(&D)"));
  QAction* importStatement = addItem(file, kImportStatement, QStringLiteral("匯入銀行對帳單(&M)…"));
  QMenu* exports = file->addMenu(QStringLiteral("匯出(&E)"));
  exports->setObjectName(QStringLiteral("Menu_Export"));
  QAction* exportCsv = addItem(exports, kExportCsvUtf8, QStringLiteral("CSV UTF-8"));
  QAction* journalExport = addItem(exports, kExportJournal, QStringLiteral("純文字帳本"));
  file->addSeparator()->setObjectName(QStringLiteral("Line1"));
  QAction* quit = addItem(file, kQuit, QStringLiteral("結束(&Q)"));

  QMenu* edit = menuBar()->addMenu(QStringLiteral("編輯(&E)"));
  edit->setObjectName(QStringLiteral("Menu_Edit"));
  undoAction_ = addItem(edit, kUndo, QStringLiteral("復原(&U)"));
  undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redoAction_ = addItem(edit, kRedo, QStringLiteral("重做(&R)"));
  redoAction_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  edit->addSeparator();
  QAction* plan = addItem(edit, kBudgetPlan, QStringLiteral("預算(&B)…"));
  QAction* schedules = addItem(edit, kSchedulesMenu, QStringLiteral("定期記錄(&S)…"));
  QAction* reconcile = addItem(edit, kReconcileMenu, QStringLiteral("對帳(&C)…"));
  changingActions_ = {importStatement, plan, schedules, reconcile};
  sideBooks_ = new SideBooks(store_, dialogs_, this);
  connect(schedules, &QAction::triggered, this, [this] { sideBooks_->editSchedules(); });
  connect(reconcile, &QAction::triggered, this, [this] {
    sideBooks_->reconcile(shownAccountSlot());
    redrawLedger(false);
  });

  QMenu* user = menuBar()->addMenu(QStringLiteral("用戶(&U)"));
  user->setObjectName(QStringLiteral("Menu_User"));
  QAction* password = addItem(user, kChangePassword, QStringLiteral("變更密碼(&C)"));
  QAction* logout = addItem(user, kLogOut, QStringLiteral("登出(&O)"));

  QMenu* view = menuBar()->addMenu(QStringLiteral("檢視(&V)"));
  view->setObjectName(QStringLiteral("Menu_View"));
  QAction* statements = addItem(view, kStatementsMenu, QStringLiteral("財務報表(&B)"));
  QAction* journal = addItem(view, kJournalMenu, QStringLiteral("日記帳(&I)"));
  QAction* find = addItem(view, kFind, QStringLiteral("尋找(&F)"));
  find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  QAction* analysis = addItem(view, kAnalysis, QStringLiteral("收支分析(&A)"));
  QAction* charts = addItem(view, kCharts, QStringLiteral("圖表(&G)"));
  QAction* budgetReport = addItem(view, kBudgetReport, QStringLiteral("預算與實際(&P)"));

  QMenu* help = menuBar()->addMenu(QStringLiteral("說明(&H)"));
  help->setObjectName(QStringLiteral("Menu_Help"));
  QAction* instructions = addItem(help, kHelp, QStringLiteral("使用說明(&H)"));
  help->addSeparator()->setObjectName(QStringLiteral("Line2"));
  QAction* about = addItem(help, kAbout, QStringLiteral("關於Varnix(&A)"));

  connect(databases, &QAction::triggered, this, [this] {
    if (session_) session_->databaseListFromMenu();
  });
  connect(quit, &QAction::triggered, this, &QWidget::close);
  connect(importStatement, &QAction::triggered, this, &MainForm::onImportStatement);
  connect(exportCsv, &QAction::triggered, this, [this] {
    const QString path = dialogs_.chooseFile(
        interchange::otherExportRequest(store_, interchange::OtherExport::SpreadsheetCsv));
    if (!path.isEmpty())
      dialogs_.show(
          interchange::exportForOthers(store_, interchange::OtherExport::SpreadsheetCsv, path));
  });
  connect(journalExport, &QAction::triggered, this, [this] {
    const QString path = dialogs_.chooseFile(
        interchange::otherExportRequest(store_, interchange::OtherExport::Journal));
    if (!path.isEmpty())
      dialogs_.show(interchange::exportForOthers(store_, interchange::OtherExport::Journal, path));
  });
  connect(undoAction_, &QAction::triggered, this, [this] { onUndoRedo(true); });
  connect(redoAction_, &QAction::triggered, this, [this] { onUndoRedo(false); });
  connect(&store_.history(), &History::changed, this, &MainForm::updateHistoryActions);
  updateHistoryActions();
  connect(password, &QAction::triggered, this, [this] {
    if (session_) session_->changePassword();
  });
  connect(logout, &QAction::triggered, this, [this] {
    if (session_) session_->logOut();
  });
  connect(statements, &QAction::triggered, this,
          [this] { openStatements(store_, dialogs_, this); });
  connect(journal, &QAction::triggered, this, [this] { openJournal(store_, dialogs_, this); });
  connect(find, &QAction::triggered, this, &MainForm::onFind);
  connect(analysis, &QAction::triggered, this,
          [this] { openPeriodReport(store_, dialogs_, this); });
  connect(charts, &QAction::triggered, this, [this] {
    loadable::openCharts(store_, dialogs_, period::buildReport(store_, period::openingYear(store_)),
                         this);
  });
  budget_ = new BookBudget(store_, dialogs_, this, centralWidget(), kNoteArea);
  connect(plan, &QAction::triggered, budget_, &BookBudget::openPlan);
  connect(budgetReport, &QAction::triggered, budget_, &BookBudget::openReport);
  connect(instructions, &QAction::triggered, this, &MainForm::onHelp);
  connect(about, &QAction::triggered, this, [this] { openAbout(store_, dialogs_, this); });
}

void MainForm::onFind() {
  const SearchOutcome outcome = openSearch(store_, dialogs_, lastSearch_, this);
  if (outcome.kind == SearchOutcome::Kind::ShowEntry) {
    showAccount(outcome.accountSlot);
    selectEntry(outcome.slot);
  } else if (outcome.kind == SearchOutcome::Kind::OpenBook) {
    openFoundBook(outcome.book, outcome.slot);
  }
}

void MainForm::openFoundBook(const QString& book, int slot) {
  if (!session_ || !session_->openBook(book)) return;
  if (slot >= 1 && slot < store_.tables().entryCount) {
    showAccount(store_.tables().accountSlot(store_.tables().entries[slot].IncreaseAccount));
    selectEntry(slot);
  }
}

// ---- commands

void MainForm::onImportStatement() {
  const auto offer = openStatementImport(store_, dialogs_, *this, this);
  if (!offer) return;
  sideBooks_->reconcileStatement(store_.tables().accountSlot(offer->account), offer->date,
                                 offer->ending, offer->matchedSlots);
  redrawLedger(false);
}

void MainForm::onCloseBooks() {
  const QString answer = dialogs_.input(QStringLiteral("請輸入日期，將清除這日期之前的記錄"),
                                        QStringLiteral("輸入"), store_.today());
  // Cancelling the box gives the empty answer too.
  if (answer.isEmpty()) return;
  if (auto refused = maintenance::closeBooksAt(store_, answer)) {
    dialogs_.show(*refused);
    return;
  }
  dialogs_.show(completion(QStringLiteral("資料結帳完成")));
  redrawLedger(false);
}

void MainForm::onUndoRedo(bool undo) {
  // The account shown stays shown while the book still has it: found by its name, since an
  // undone deletion or move shifts the slots, else by its slot, since a rename keeps that.
  const int shownSlot = shownAccountSlot();
  const QString shownName = selector_->currentItem() ? selector_->currentItem()->text() : QString();
  if (const auto refused = undo ? store_.undo() : store_.redo()) {
    dialogs_.show(*refused);
    return;
  }
  // Every account list (the pickers of the entry dialog too) follows the chart; the selector
  // shows its first account, which is then replaced by the one shown before.
  store_.refillAccountLists();
  const int slot = store_.tables().accountSlot(shownName);
  if (slot != 0) {
    showAccount(slot);
  } else if (shownSlot > 1 && shownSlot < store_.tables().accountCount) {
    showAccount(shownSlot);
  }
}

void MainForm::updateHistoryActions() {
  const History& history = store_.history();
  undoAction_->setEnabled(history.canUndo() && !store_.readOnly());
  undoAction_->setText(history.canUndo() ? QStringLiteral("復原 %1(&U)").arg(history.undoName())
                                         : QStringLiteral("復原(&U)"));
  redoAction_->setEnabled(history.canRedo() && !store_.readOnly());
  redoAction_->setText(history.canRedo() ? QStringLiteral("重做 %1(&R)").arg(history.redoName())
                                         : QStringLiteral("重做(&R)"));
}

void MainForm::followReadOnly() {
  const bool changing = !store_.readOnly();
  for (QWidget* button : changingButtons_) button->setEnabled(changing);
  for (QAction* action : changingActions_) action->setEnabled(changing);
  updateHistoryActions();
  setWindowTitle(QStringLiteral("Varnix v" VARNIX_VERSION) +
                 (changing ? QString() : QStringLiteral("（唯讀）")));
}

QString MainForm::hintsText() {
  return QStringLiteral(
      "1. 第一次使用請先按編輯帳戶來建立自己的帳戶\r\n\r\n"
      "2. 點選右邊的選單可以切換各帳戶的交易紀錄\r\n\r\n"
      "3. 在交易紀錄上點兩下可以編輯");
}

void MainForm::onHints() {
  dialogs_.show(
      {hintsText(), QStringLiteral("提示"), MessageIcon::Information, MessageButtons::Ok});
}

void MainForm::onHelp() { shell::openDocument(store_.user().helpPage()); }

void MainForm::updatePanels() {
  for (int i = 0; i < 4; ++i) {
    panels_[static_cast<size_t>(i)]->setText(store_.panel(static_cast<book::Workspace::Panel>(i)));
  }
}

// ---- the end of the program

bool MainForm::sessionEnds(bool save) { return !session_ || session_->end(save); }

void MainForm::endProgram() {
  ending_ = true;
  close();
  // Ends every modal loop as well: the program stops at once.
  QCoreApplication::quit();
}

void MainForm::onEndRequested(bool save) {
  if (ending_) return;
  // A database that cannot be written keeps the program open, so nothing is lost silently.
  if (!sessionEnds(save)) return;
  endProgram();
}

void MainForm::closeEvent(QCloseEvent* event) {
  if (ending_) {
    event->accept();
    return;
  }
  // Closing the window is the File menu's 結束(&Q): save, then end.
  if (!sessionEnds(true)) {
    event->ignore();
    return;
  }
  ending_ = true;
  event->accept();
  QCoreApplication::quit();
}

void MainForm::keyPressEvent(QKeyEvent* event) {
  // Buttons take Enter themselves when they have the focus; anywhere else it is 新增(&N).
  const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (isEnterKey(event) && modifiers == Qt::NoModifier && newButton_ && newButton_->isEnabled()) {
    newButton_->click();
    return;
  }
  QMainWindow::keyPressEvent(event);
}
