#include "ui/main/MainForm.h"

#include "history/History.h"
#include "interchange/ImportForm.h"
#include "interchange/exports.h"
#include "maintenance/DelForm.h"
#include "maintenance/closing.h"
#include "platform/dialogs.h"
#include "platform/version.h"
#include "platform/widgets/colours.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/keys.h"
#include "platform/widgets/resources.h"
#include "platform/widgets/screen.h"
#include "platform/widgets/shell.h"
#include "reports/journal/DiaryForm.h"
#include "reports/period/ChartsForm.h"
#include "reports/period/PeriodForm.h"
#include "budget/BudgetForm.h"
#include "reports/statements/BSForm.h"
#include "search/SearchForm.h"
#include "store/Module1.h"
#include "entries/deletion.h"
#include "store/ledger.h"
#include "accounts/AccountForm.h"
#include "entries/InputForm.h"
#include "ui/main/AboutForm.h"
#include "ui/main/Session.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QStatusBar>
#include <QStyleOptionViewItem>
#include <QTreeWidget>

#include <utility>

namespace {

constexpr int kClientWidth = 735;
constexpr int kClientHeight = 554;
constexpr int kStatusBarHeight = 24;

const QColor kRed(254, 54, 60);

enum Column { DateColumn, OtherColumn, AmountColumn, TotalColumn, MemoColumn, NumberColumn };

// The running total a row shows in 累計, kept with the row for lastRunningTotal().
constexpr int kTotalRole = Qt::UserRole;

// The ledger's cells with the narrowest margins the style allows: 日期 is only wide enough
// for the check box and a whole date when nothing else takes room.
class CompactCells : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_FocusFrameHMargin) return 1;
    if (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight) return 12;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }

  // Fusion outlines a tick box in a shade of the window colour, which vanishes on a dark
  // theme's cells; there it is outlined in a shade of the text colour instead.
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    const auto* cell = qstyleoption_cast<const QStyleOptionViewItem*>(option);
    if (element == PE_IndicatorItemViewItemCheck && cell &&
        isDark(cell->palette.color(QPalette::Base))) {
      QStyleOptionViewItem lifted(*cell);
      lifted.palette.setColor(QPalette::Window, cell->palette.color(QPalette::Text));
      QProxyStyle::drawPrimitive(element, &lifted, painter, widget);
      return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }
};

// One ledger row. Its cells are read from the row itself instead of being copied into the
// item one by one: the busiest ledger has thousands of rows and is rebuilt after every change.
// Whatever is set on the item later (a tick, a text) is stored as usual and takes precedence.
class LedgerItem : public QTreeWidgetItem {
 public:
  LedgerItem(LedgerRow row, bool coloured)
      : QTreeWidgetItem(UserType), row_(std::move(row)), coloured_(coloured) {
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  }

  QVariant data(int column, int role) const override {
    QVariant stored = QTreeWidgetItem::data(column, role);
    if (stored.isValid()) return stored;
    switch (role) {
      case Qt::DisplayRole:
      case Qt::EditRole:
        return cellText(column);
      case Qt::CheckStateRole:
        if (column == DateColumn) return static_cast<int>(Qt::Unchecked);
        break;
      case Qt::TextAlignmentRole:
        if (column == AmountColumn || column == TotalColumn || column == NumberColumn) {
          return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
        }
        break;
      case Qt::ForegroundRole:
        if (coloured_ && ((column == AmountColumn && row_.amountRed) ||
                          (column == TotalColumn && row_.totalRed))) {
          // Lightened on a dark theme's background, where the red alone is hard to read.
          const QTreeWidget* view = treeWidget();
          return QBrush(view ? readableOn(kRed, view->palette().color(QPalette::Base)) : kRed);
        }
        break;
      case kTotalRole:
        if (column == TotalColumn) return row_.runningTotal;
        break;
      default:
        break;
    }
    return {};
  }

  void setData(int column, int role, const QVariant& value) override {
    // Setting the tick it already has is no change and tells nobody.
    if (role == Qt::CheckStateRole && data(column, role) == value) return;
    QTreeWidgetItem::setData(column, role, value);
  }

 private:
  QString cellText(int column) const {
    switch (column) {
      case DateColumn:
        return row_.date;
      case OtherColumn:
        return row_.other;
      case AmountColumn:
        return row_.amount;
      case TotalColumn:
        return row_.total;
      case MemoColumn:
        return row_.memo;
      case NumberColumn:
        return row_.number;
      default:
        return {};
    }
  }

  LedgerRow row_;
  bool coloured_;
};

QTreeWidgetItem* makeItem(LedgerRow row, bool coloured) {
  return new LedgerItem(std::move(row), coloured);
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int x, int y,
                        int width) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(x, y, width, 25);
  button->setFont(uiFont());
  // Enter clicks the button that has the focus; elsewhere in the window it means 新增(&N).
  button->setAutoDefault(true);
  return button;
}

QAction* addItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QLatin1String(name));
  return action;
}

}  // namespace

MainForm::MainForm(Module1& store, QWidget* parent) : QMainWindow(parent), store_(store) {
  loadResources();
  // Every window of the program shows the desktop entry's icon: from the theme when
  // installed, the built-in copy otherwise.
  if (QApplication::windowIcon().isNull()) {
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("varnix"), QIcon(QStringLiteral(":/varnix.png"))));
  }
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("Varnix v" VARNIX_VERSION));
  buildControls();
  buildMenus();
  setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);

  // The entry dialog lives as long as the window; it is only shown and hidden.
  inputForm_ = new InputForm(store_, *this, this);

  connect(&store_, &Module1::statusChanged, this, &MainForm::updatePanels);
  connect(&store_, &Module1::accountListsRefilled, this, &MainForm::refillAccountSelector);
  connect(&store_, &Module1::endRequestedSignal, this, &MainForm::onEndRequested);
  updatePanels();
}

MainForm::~MainForm() = default;

void MainForm::buildControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("Client"));
  client->setFixedSize(kClientWidth, kClientHeight - kStatusBarHeight);
  setCentralWidget(client);

  auto* image = new QLabel(client);
  image->setObjectName(QStringLiteral("Image1"));
  image->setGeometry(0, 0, 733, 530);
  image->setPixmap(QPixmap(QStringLiteral(":/background.png")));

  ledger_ = new QTreeWidget(client);
  ledger_->setObjectName(QStringLiteral("Liv1"));
  ledger_->setGeometry(22, 56, 553, 425);
  // Fixed-pitch digits keep amounts and totals in columns and a whole date within 日期.
  ledger_->setFont(fixedPitchFont(9));
  auto* cells = new CompactCells(QApplication::style()->name());
  cells->setParent(ledger_);
  ledger_->setStyle(cells);
  ledger_->setAccessibleName(QStringLiteral("帳目"));
  ledger_->setColumnCount(6);
  ledger_->setHeaderLabels({QStringLiteral("日期"), QStringLiteral("類別"), QStringLiteral("金額"),
                            QStringLiteral("累計"), QStringLiteral("備註"),
                            QStringLiteral("編號")});
  ledger_->header()->setMinimumSectionSize(16);  // 編號 is narrower than the style's minimum
  const int widths[] = {80, 115, 70, 70, 160, 36};
  for (int column = 0; column < 6; ++column) ledger_->setColumnWidth(column, widths[column]);
  for (int column : {AmountColumn, TotalColumn, NumberColumn}) {
    ledger_->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
  }
  ledger_->header()->setStretchLastSection(false);
  ledger_->header()->setSectionsMovable(false);
  ledger_->setRootIsDecorated(false);
  ledger_->setUniformRowHeights(true);
  ledger_->setAllColumnsShowFocus(true);
  ledger_->setSelectionMode(QAbstractItemView::SingleSelection);
  ledger_->setSelectionBehavior(QAbstractItemView::SelectRows);
  ledger_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ledger_->setSortingEnabled(false);
  connect(ledger_, &QTreeWidget::itemChanged, this, &MainForm::onRowChanged);
  connect(ledger_, &QTreeWidget::itemDoubleClicked, this, &MainForm::onRowDoubleClicked);

  selector_ = new QListWidget(client);
  selector_->setObjectName(QStringLiteral("Cob1"));
  selector_->setGeometry(584, 56, 129, 317);
  selector_->setFont(fixedPitchFont(11.25));
  // Names are padded to their full width; their blanks need no scrolling.
  selector_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  selector_->setTextElideMode(Qt::ElideNone);
  selector_->setSelectionMode(QAbstractItemView::SingleSelection);
  selector_->setAccessibleName(QStringLiteral("帳戶"));
  connect(selector_, &QListWidget::currentRowChanged, this, &MainForm::onAccountSelected);

  auto* frame = new QFrame(client);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setGeometry(584, 382, 129, 129);
  frame->setFrameShape(QFrame::Box);
  frame->setFrameShadow(QFrame::Sunken);

  QPushButton* accounts = makeButton(client, "Cmd0", QStringLiteral("編輯帳戶(&A)"), 592, 405, 113);
  QPushButton* statements =
      makeButton(client, "Cmd4", QStringLiteral("財務報表(&B)"), 592, 437, 113);
  QPushButton* journal = makeButton(client, "Cmd6", QStringLiteral("日記帳(&I)"), 592, 469, 113);
  newButton_ = makeButton(client, "Cmd1", QStringLiteral("新增(&N)"), 22, 486, 65);
  newButton_->setDefault(true);
  QPushButton* remove = makeButton(client, "Cmd3", QStringLiteral("刪除(&D)"), 92, 486, 73);
  QPushButton* bulk = makeButton(client, "Cmd5", QStringLiteral("多筆刪除(&M)"), 170, 486, 87);
  QPushButton* closing = makeButton(client, "Cmd7", QStringLiteral("結帳(&C)"), 262, 486, 73);
  QPushButton* hints = makeButton(client, "Cmd2", QStringLiteral("提示(&T)"), 503, 486, 73);

  connect(accounts, &QPushButton::clicked, this, [this] { openAccountEditor(store_, this); });
  connect(statements, &QPushButton::clicked, this, [this] { openStatements(store_, this); });
  connect(journal, &QPushButton::clicked, this, [this] { openJournal(store_, this); });
  connect(newButton_, &QPushButton::clicked, this, [this] { inputForm_->openNew(); });
  connect(remove, &QPushButton::clicked, this, &MainForm::onDelete);
  connect(bulk, &QPushButton::clicked, this, [this] { openBulkDelete(store_, *this, this); });
  connect(closing, &QPushButton::clicked, this, &MainForm::onCloseBooks);
  connect(hints, &QPushButton::clicked, this, &MainForm::onHints);

  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setSizeGripEnabled(false);
  bar->setFixedHeight(kStatusBarHeight);
  // The panels sit in a row of their own: the bar's own spacing would push the last one out.
  auto* row = new QWidget(bar);
  auto* rowLayout = new QHBoxLayout(row);
  rowLayout->setContentsMargins(0, 0, 0, 0);
  rowLayout->setSpacing(1);
  const int panelWidths[] = {237, 253, 120, 120};
  for (int i = 0; i < 4; ++i) {
    auto* panel = new QLabel(row);
    panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
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
  QAction* databases = addItem(file, "SetDataBase", QStringLiteral("資料庫選單(&D)"));
  QAction* importStatement =
      addItem(file, "ImportStatement", QStringLiteral("匯入銀行對帳單(&M)…"));
  QMenu* exports = file->addMenu(QStringLiteral("匯出(&E)"));
  exports->setObjectName(QStringLiteral("Menu_Export"));
  QAction* exportCsv = addItem(exports, "ExportCsvUtf8", QStringLiteral("CSV UTF-8"));
  QAction* exportJournal = addItem(exports, "ExportJournal", QStringLiteral("純文字帳本"));
  file->addSeparator()->setObjectName(QStringLiteral("Line1"));
  QAction* quit = addItem(file, "Quit", QStringLiteral("結束(&Q)"));

  QMenu* edit = menuBar()->addMenu(QStringLiteral("編輯(&E)"));
  edit->setObjectName(QStringLiteral("Menu_Edit"));
  undoAction_ = addItem(edit, "Undo", QStringLiteral("復原(&U)"));
  undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redoAction_ = addItem(edit, "Redo", QStringLiteral("重做(&R)"));
  redoAction_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  QAction* plan = addItem(edit, "BudgetPlan", QStringLiteral("預算(&B)…"));

  QMenu* user = menuBar()->addMenu(QStringLiteral("用戶(&U)"));
  user->setObjectName(QStringLiteral("Menu_User"));
  QAction* password = addItem(user, "ChanegPassword", QStringLiteral("變更密碼(&C)"));
  QAction* logout = addItem(user, "Menu_Logout", QStringLiteral("登出(&O)"));

  QMenu* view = menuBar()->addMenu(QStringLiteral("檢視(&V)"));
  view->setObjectName(QStringLiteral("Menu_View"));
  QAction* statements = addItem(view, "BS", QStringLiteral("財務報表(&B)"));
  QAction* journal = addItem(view, "Diary", QStringLiteral("日記帳(&I)"));
  QAction* find = addItem(view, "Find", QStringLiteral("尋找(&F)"));
  find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  QAction* analysis = addItem(view, "Analysis", QStringLiteral("收支分析(&A)"));
  QAction* charts = addItem(view, "Charts", QStringLiteral("圖表(&G)"));
  QAction* budgetReport = addItem(view, "BudgetReport", QStringLiteral("預算與實際(&P)"));

  QMenu* help = menuBar()->addMenu(QStringLiteral("說明(&H)"));
  help->setObjectName(QStringLiteral("Menu_Help"));
  QAction* instructions = addItem(help, "Help", QStringLiteral("使用說明(&H)"));
  help->addSeparator()->setObjectName(QStringLiteral("Line2"));
  QAction* about = addItem(help, "About", QStringLiteral("關於Varnix(&A)"));

  connect(databases, &QAction::triggered, this, [this] {
    if (session_) session_->databaseListFromMenu();
  });
  connect(quit, &QAction::triggered, this, &QWidget::close);
  connect(importStatement, &QAction::triggered, this,
          [this] { openStatementImport(store_, *this, this); });
  connect(exportCsv, &QAction::triggered, this,
          [this] { store_.dialogs().show(exportForOthers(store_, OtherExport::SpreadsheetCsv)); });
  connect(exportJournal, &QAction::triggered, this,
          [this] { store_.dialogs().show(exportForOthers(store_, OtherExport::Journal)); });
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
  connect(statements, &QAction::triggered, this, [this] { openStatements(store_, this); });
  connect(journal, &QAction::triggered, this, [this] { openJournal(store_, this); });
  connect(find, &QAction::triggered, this, &MainForm::onFind);
  connect(analysis, &QAction::triggered, this, [this] { openPeriodReport(store_, this); });
  connect(charts, &QAction::triggered, this, [this] {
    openCharts(store_,
               period::buildReport(store_, period::yearPeriod(store_.clock().today().year())),
               this);
  });
  budget_ = new BookBudget(store_, *statusBar(), this);
  connect(plan, &QAction::triggered, budget_, &BookBudget::openPlan);
  connect(budgetReport, &QAction::triggered, budget_, &BookBudget::openReport);
  connect(instructions, &QAction::triggered, this, &MainForm::onHelp);
  connect(about, &QAction::triggered, this, [this] { openAbout(store_, this); });
}

void MainForm::onFind() {
  const SearchOutcome outcome = openSearch(store_, this);
  if (outcome.kind == SearchOutcome::Kind::ShowEntry) {
    showAccount(outcome.accountSlot);
    selectEntry(outcome.slot);
  } else if (outcome.kind == SearchOutcome::Kind::OpenBook) {
    openFoundBook(outcome.book, outcome.slot);
  }
}

void MainForm::openFoundBook(const QString& book, int slot) {
  if (!session_ || !session_->openBook(book)) return;
  if (slot >= 1 && slot < store_.EntryCount) {
    showAccount(store_.accountSlot(store_.EntryTable[slot].IncreaseAccount));
    selectEntry(slot);
  }
}

// ---- the ledger

int MainForm::shownAccountSlot() const {
  const int row = selector_->currentRow();
  return row < 0 ? 0 : row + 1;
}

void MainForm::showAccount(int slot) {
  if (slot < 1 || slot > selector_->count()) return;
  if (selector_->currentRow() == slot - 1) {
    onAccountSelected(slot - 1);
  } else {
    selector_->setCurrentRow(slot - 1);
  }
}

void MainForm::redrawLedger(bool selectLast) {
  const int slot = shownAccountSlot();
  filling_ = true;
  ledger_->clear();
  if (slot >= 1 && slot < store_.AccountCount) {
    std::vector<LedgerRow> rows = ShowLedger(store_, slot);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (LedgerRow& row : rows) items.append(makeItem(std::move(row), true));
    ledger_->addTopLevelItems(items);
  }
  filling_ = false;
  if (selectLast) selectLastRow();
}

void MainForm::appendRow(const LedgerRow& row) {
  filling_ = true;
  QTreeWidgetItem* item = makeItem(row, false);
  ledger_->addTopLevelItem(item);
  filling_ = false;
  ledger_->setCurrentItem(item);
  ledger_->scrollToItem(item);
}

void MainForm::selectEntry(int slot) {
  const QString number = QString::number(slot);
  for (int i = 0; i < ledger_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = ledger_->topLevelItem(i);
    if (item->text(NumberColumn) == number) {
      ledger_->setCurrentItem(item);
      ledger_->scrollToItem(item);
      return;
    }
  }
}

qint64 MainForm::lastRunningTotal() const {
  const int count = ledger_->topLevelItemCount();
  if (count == 0) return 0;
  return ledger_->topLevelItem(count - 1)->data(TotalColumn, kTotalRole).toLongLong();
}

int MainForm::rowCount() const { return ledger_->topLevelItemCount(); }

std::vector<int> MainForm::tickedSlots() const {
  std::vector<int> ticked;
  for (int i = 0; i < ledger_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = ledger_->topLevelItem(i);
    if (item->checkState(DateColumn) == Qt::Checked) {
      ticked.push_back(item->text(NumberColumn).toInt());
    }
  }
  return ticked;
}

void MainForm::selectLastRow() {
  const int count = ledger_->topLevelItemCount();
  if (count == 0) return;
  QTreeWidgetItem* last = ledger_->topLevelItem(count - 1);
  ledger_->setCurrentItem(last);
  ledger_->scrollToItem(last);
}

void MainForm::refillAccountSelector() {
  // Emptying the list moves its current row to none, which empties the ledger; selecting the
  // first name then shows its ledger.
  selector_->clear();
  selector_->addItems(accountListNames(store_));
  if (selector_->count() > 0) selector_->setCurrentRow(0);
}

void MainForm::onAccountSelected(int) { redrawLedger(true); }

void MainForm::onRowChanged(QTreeWidgetItem* item, int column) {
  // Ticking or unticking a row makes it the selected one, so a double click then edits it.
  if (filling_ || column != DateColumn) return;
  ledger_->setCurrentItem(item);
}

void MainForm::onRowDoubleClicked() {
  const QTreeWidgetItem* item = ledger_->currentItem();
  if (!item) return;
  const int slot = item->text(NumberColumn).toInt();
  if (slot < 1 || slot >= store_.EntryCount) return;
  inputForm_->openEdit(slot);
}

// ---- commands

void MainForm::onDelete() {
  const std::vector<int> ticked = tickedSlots();
  if (auto refused = tickedEntriesRefusal(store_, ticked)) {
    store_.dialogs().show(*refused);
    return;
  }
  if (store_.dialogs().show(confirmDelete(QStringLiteral("確定刪除資料嗎？"))) != Answer::Yes)
    return;
  if (auto refused = deleteTickedEntries(store_, ticked)) {
    store_.dialogs().show(*refused);
    return;
  }
  redrawLedger(true);
}

void MainForm::onCloseBooks() {
  const QString answer = store_.dialogs().input(
      QStringLiteral("請輸入日期，將清除這日期之前的記錄"), QStringLiteral("輸入"), store_.today());
  // Cancelling the box gives the empty answer too.
  if (answer.isEmpty()) return;
  if (auto refused = closeBooksAt(store_, answer)) {
    store_.dialogs().show(*refused);
    return;
  }
  store_.dialogs().show(completion(QStringLiteral("資料結帳完成")));
  redrawLedger(false);
}

void MainForm::onUndoRedo(bool undo) {
  // The account shown stays shown while the book still has it: found by its name, since an
  // undone deletion or move shifts the slots, else by its slot, since a rename keeps that.
  const int shownSlot = shownAccountSlot();
  const QString shownName = selector_->currentItem() ? selector_->currentItem()->text() : QString();
  History& history = store_.history();
  if (const auto refused = undo ? history.undo(store_) : history.redo(store_)) {
    store_.dialogs().show(*refused);
    return;
  }
  // Every account list (the pickers of the entry dialog too) follows the chart; the selector
  // shows its first account, which is then replaced by the one shown before.
  store_.FillAccountLists();
  const int slot = store_.accountSlot(shownName);
  if (slot != 0) {
    showAccount(slot);
  } else if (shownSlot > 1 && shownSlot < store_.AccountCount) {
    showAccount(shownSlot);
  }
}

void MainForm::updateHistoryActions() {
  const History& history = store_.history();
  undoAction_->setEnabled(history.canUndo());
  undoAction_->setText(history.canUndo() ? QStringLiteral("復原 %1(&U)").arg(history.undoName())
                                         : QStringLiteral("復原(&U)"));
  redoAction_->setEnabled(history.canRedo());
  redoAction_->setText(history.canRedo() ? QStringLiteral("重做 %1(&R)").arg(history.redoName())
                                         : QStringLiteral("重做(&R)"));
}

QString MainForm::hintsText() {
  return QStringLiteral(
      "1. 第一次使用請先按編輯帳戶來建立自己的帳戶\r\n\r\n"
      "2. 點選右邊的選單可以切換各帳戶的交易紀錄\r\n\r\n"
      "3. 在交易紀錄上點兩下可以編輯");
}

void MainForm::onHints() {
  store_.dialogs().show(
      {hintsText(), QStringLiteral("提示"), MessageIcon::Information, MessageButtons::Ok});
}

void MainForm::onHelp() { shell::openDocument(store_.helpPage()); }

void MainForm::updatePanels() {
  for (int i = 0; i < 4; ++i) {
    panels_[static_cast<size_t>(i)]->setText(store_.panel(static_cast<Module1::Panel>(i)));
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
  if (isEnterKey(event) && modifiers == Qt::NoModifier && newButton_->isEnabled()) {
    newButton_->click();
    return;
  }
  QMainWindow::keyPressEvent(event);
}
