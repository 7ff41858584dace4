#pragma once

#include "store/LedgerView.h"

#include <QMainWindow>

#include <vector>

class BookBudget;
class InputForm;
class Module1;
class QAction;
class Session;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The program's home: the ledger of the account chosen on the right, the buttons that start
// every task, the menus and the status bar. Shown first and kept until the program ends.
class MainForm : public QMainWindow, public LedgerView {
  Q_OBJECT

 public:
  explicit MainForm(Module1& store, QWidget* parent = nullptr);
  ~MainForm() override;

  // The session that runs the start, the menu's database list, log-out and password, and the
  // end. Without one, the window ends without saving.
  void setSession(Session* session) { session_ = session; }

  // LedgerView
  int shownAccountSlot() const override;
  void showAccount(int slot) override;
  void redrawLedger(bool selectLastRow) override;
  void appendRow(const LedgerRow& row) override;
  void selectEntry(int slot) override;
  qint64 lastRunningTotal() const override;
  int rowCount() const override;

  // The slots (編號) of the ticked ledger rows, first row first.
  std::vector<int> tickedSlots() const;

  // The text of the hints button's box.
  static QString hintsText();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void buildControls();
  void buildMenus();
  void refillAccountSelector();
  void onAccountSelected(int row);
  void onRowChanged(QTreeWidgetItem* item, int column);
  void onRowDoubleClicked();
  void onDelete();
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
  void updatePanels();
  void selectLastRow();
  // Asks the session to end the program; false when it stays.
  bool sessionEnds(bool save);
  void endProgram();

  Module1& store_;
  Session* session_ = nullptr;
  InputForm* inputForm_ = nullptr;
  BookBudget* budget_ = nullptr;
  QTreeWidget* ledger_ = nullptr;
  QListWidget* selector_ = nullptr;
  QPushButton* newButton_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  std::vector<QLabel*> panels_;
  bool filling_ = false;
  bool ending_ = false;
};
