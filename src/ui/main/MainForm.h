#pragma once

#include "search/search.h"
#include "store/LedgerView.h"

#include <QMainWindow>

#include <array>
#include <vector>

class Dialogs;
class BookBudget;
class InputForm;
class SideBooks;
namespace book {
class Workspace;
}
class QAction;
class Session;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The program's home: the ledger of the account chosen on the right, the buttons that start
// every task, the menus and the status bar. Shown first and kept until the program ends.
class MainForm : public QMainWindow, public store::LedgerView {
  Q_OBJECT

 public:
  static constexpr char kLedger[] = "Liv1";
  static constexpr char kAccountSelector[] = "Cob1";
  static constexpr char kEditAccounts[] = "Cmd0";
  static constexpr char kStatements[] = "Cmd4";
  static constexpr char kJournal[] = "Cmd6";
  static constexpr char kNew[] = "Cmd1";
  static constexpr char kDelete[] = "Cmd3";
  static constexpr char kBulkDelete[] = "Cmd5";
  static constexpr char kCloseBooks[] = "Cmd7";
  static constexpr char kHints[] = "Cmd2";
  static constexpr char kStatusBar[] = "StatusBar1";
  // The status bar's panels: user, database, accounts, entries.
  static constexpr std::array<const char*, 4> kPanels = {"Panel1", "Panel2", "Panel3", "Panel4"};
  // The menus' commands.
  static constexpr char kDatabaseList[] = "SetDataBase";
  static constexpr char kImportStatement[] = "ImportStatement";
  static constexpr char kExportCsvUtf8[] = "ExportCsvUtf8";
  static constexpr char kExportJournal[] = "ExportJournal";
  static constexpr char kQuit[] = "Quit";
  static constexpr char kUndo[] = "Undo";
  static constexpr char kRedo[] = "Redo";
  static constexpr char kSchedulesMenu[] = "Schedules";
  static constexpr char kReconcileMenu[] = "Reconcile";
  static constexpr char kChangePassword[] = "ChanegPassword";  // sic: the name screen readers know
  static constexpr char kLogOut[] = "Menu_Logout";
  static constexpr char kStatementsMenu[] = "BS";
  static constexpr char kJournalMenu[] = "Diary";
  static constexpr char kFind[] = "Find";
  static constexpr char kAnalysis[] = "Analysis";
  static constexpr char kCharts[] = "Charts";
  static constexpr char kBudgetPlan[] = "BudgetPlan";
  static constexpr char kBudgetReport[] = "BudgetReport";
  static constexpr char kHelp[] = "Help";
  static constexpr char kAbout[] = "About";

  // When the controls, menus and the entry window are built: at once, or when build() is
  // called. The program's start builds them later, so that the login appears first.
  enum class Building { Now, Later };

  MainForm(book::Workspace& store, Dialogs& dialogs, Building building = Building::Now);
  ~MainForm() override;

  // Builds what the constructor left for later; once.
  void build();
  bool built() const { return built_; }

  // The session that runs the start, the menu's database list, log-out and password, and the
  // end. Without one, the window ends without saving.
  void setSession(Session* session) { session_ = session; }

  // LedgerView
  int shownAccountSlot() const override;
  void showAccount(int slot) override;
  void redrawLedger(bool selectLastRow) override;
  void appendRow(const store::LedgerRow& row) override;
  void selectEntry(int slot) override;
  qint64 lastRunningTotal() const override;
  int rowCount() const override;
  bool mayChangeEntries(const std::vector<int>& entrySlots, bool deleting) override;
  void entriesChanged() override;
  void keepEntryAsSchedule(int slot) override;

  // The slots (編號) of the ticked ledger rows, first row first.
  std::vector<int> tickedSlots() const;

  // The text of the hints button's box.
  static QString hintsText();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void buildControls();
  void buildLedgerAndSelector(QWidget* client);
  void buildButtons(QWidget* client);
  void buildStatusBar();
  void buildMenus();
  void refillAccountSelector();
  void onAccountSelected(int row);
  void onRowChanged(QTreeWidgetItem* item, int column);
  void onRowDoubleClicked();
  void onDelete();
  void onImportStatement();
  void onCloseBooks();
  void onHints();
  void onHelp();
  void onFind();
  // A book that a search found something in, opened as the database list opens one.
  void openFoundBook(const QString& book, int slot);
  void onEndRequested(bool save);
  // 復原 and 重做 of the 編輯 menu.
  void onUndoRedo(bool undo);
  void updateHistoryActions();
  // A book opened read-only is looked at only: the commands that change it are off.
  void followReadOnly();
  void updatePanels();
  void selectLastRow();
  // Asks the session to end the program; false when it stays.
  bool sessionEnds(bool save);
  void endProgram();

  book::Workspace& store_;
  Dialogs& dialogs_;
  search::Remembered lastSearch_;
  Session* session_ = nullptr;
  InputForm* inputForm_ = nullptr;
  SideBooks* sideBooks_ = nullptr;
  BookBudget* budget_ = nullptr;
  QTreeWidget* ledger_ = nullptr;
  QListWidget* selector_ = nullptr;
  QPushButton* newButton_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  // The commands that change the book, off while it is read-only.
  std::vector<QWidget*> changingButtons_;
  std::vector<QAction*> changingActions_;
  std::vector<QLabel*> panels_;
  bool filling_ = false;
  bool ending_ = false;
  bool built_ = false;
};
