#pragma once

#include "platform/widgets/FixedDialog.h"
#include "reports/statements/statements.h"

class Dialogs;
namespace book {
class Workspace;
}
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "財務報表": the balance sheet (left) and the income statement (right) as of the date in
// the date box, each with a button that copies it to the clipboard. The six statement boxes
// are displays: Enter in them is "確定", as anywhere but in the date box.
class BSForm : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr char kCopyBalanceSheet[] = "Cmd2";
  static constexpr char kCopyIncomeStatement[] = "Cmd3";
  static constexpr char kAssets[] = "Text1";
  static constexpr char kIncome[] = "Text2";
  static constexpr char kLiabilities[] = "Text3";
  static constexpr char kExpenses[] = "Text4";
  static constexpr char kNetWorth[] = "Text5";
  static constexpr char kBalance[] = "Text6";
  static constexpr char kDate[] = "Text7";
  static constexpr char kShow[] = "Cmd4";
  static constexpr char kPrint[] = "Print";
  static constexpr char kSavePdf[] = "SavePdf";
  static constexpr char kOk[] = "Cmd1";

  // Filled for today's date before it is shown.
  explicit BSForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildStatementBoxes();
  void buildButtons();
  void nameForScreenReaders();
  void setTabOrderOfControls();
  void showStatements(const QString& date);
  void onCopyBalanceSheet();
  void onCopyIncomeStatement();
  void onShow();

  book::Workspace& store_;
  Dialogs& dialogs_;
  statements::StatementTexts shown_;
  QPushButton* okButton_;
  QPushButton* copyBalanceSheetButton_;
  QPushButton* copyIncomeStatementButton_;
  QPushButton* showButton_;
  QPlainTextEdit* assetsBox_;
  QPlainTextEdit* incomeBox_;
  QPlainTextEdit* liabilitiesBox_;
  QPlainTextEdit* expensesBox_;
  QLineEdit* netWorthBox_;
  QLineEdit* balanceBox_;
  QLineEdit* dateBox_;
};

// Financial statements as of today (BSForm).
void openStatements(book::Workspace& store, Dialogs& dialogs, QWidget* parent);
