#pragma once

#include "budget/report.h"
#include "platform/widgets/FixedDialog.h"

#include <QObject>

#include <memory>
#include <optional>

class Dialogs;
namespace book {
class Workspace;
}
class QCheckBox;
class QRect;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;
class QTableWidget;
class QTableWidgetItem;

namespace budget {
class Budget;
class OverrunWatch;
}  // namespace budget

// 預算: the year's plan, accounts by months with the year's total. A month's amount is typed in
// its cell (Enter moves on as in a spreadsheet); the account's rule, carry-forward and 預估 sit
// below the grid. A refused amount is said at once under the grid, and the cell goes back.
class BudgetForm : public FixedDialog {
  Q_OBJECT

 public:
  BudgetForm(book::Workspace& store, Dialogs& dialogs, budget::Budget& plans,
             QWidget* parent = nullptr);

  static constexpr const char* kYear = "BudgetYear";
  static constexpr const char* kGrid = "BudgetGrid";
  static constexpr const char* kMessage = "BudgetMessage";
  static constexpr const char* kRule = "BudgetRule";
  static constexpr const char* kRuleAmount = "RuleAmount";
  static constexpr const char* kApplyRule = "ApplyRule";
  static constexpr const char* kCarry = "CarryForward";
  static constexpr const char* kEstimateMonths = "EstimateMonths";
  static constexpr const char* kEstimateHow = "EstimateHow";
  static constexpr const char* kEstimate = "Estimate";
  static constexpr const char* kClose = "Close";

  static constexpr int kFirstMonthColumn = 1;
  static constexpr int kTotalColumn = 13;

 private:
  void fillGrid();
  void fillRow(int row);
  void fillGoneRow(int row, const budget::Plan& plan);
  void onCellChanged(QTableWidgetItem* item);
  void onRowChosen();
  void onApplyRule();
  void onCarryToggled(bool on);
  void onEstimate();
  // Shows the refusal under the grid (or clears it); true when there was one.
  bool say(const std::optional<QString>& refusal);
  const budget::Account* chosenAccount() const;

  book::Workspace& store_;
  Dialogs& dialogs_;
  budget::Budget& plans_;
  std::vector<budget::Account> accounts_;
  // Plans of the year whose accounts were deleted, by id: listed after the accounts, read only.
  QStringList goneIds_;
  bool filling_ = false;
  QSpinBox* yearBox_;
  QTableWidget* grid_;
  QLabel* message_;
  QComboBox* ruleBox_;
  QLineEdit* ruleAmount_;
  QCheckBox* carry_;
  QComboBox* estimateMonths_;
  QComboBox* estimateHow_;
};

void openBudget(book::Workspace& store, Dialogs& dialogs, budget::Budget& plans, QWidget* parent);

// The open book's budget for the main window: read when first needed and again when another
// book is opened, merged with the file on disk each time the book is saved (another computer's
// plans come in), and a word when a change takes an expense month past 80% or 100% of its
// budget. Never a box while typing: the notice is a note in a place of the window that covers
// no control, takes no focus and no clicks, and goes by itself.
class BookBudget : public QObject {
  Q_OBJECT

 public:
  // `noteArea`: where on `noteHost` the notice shows; room for two lines.
  BookBudget(book::Workspace& store, Dialogs& dialogs, QWidget* window, QWidget* noteHost,
             const QRect& noteArea);
  ~BookBudget() override;

  // 預算 and 預算與實際; a budget file that cannot be read is said in a box instead.
  void openPlan();
  void openReport();

  static constexpr int kNoticeMilliseconds = 15000;
  static constexpr const char* kNotice = "BudgetNotice";

 private:
  budget::Budget* current();
  void adopt(std::unique_ptr<budget::Budget> plans, const QString& folder);
  void onBookChanged();
  void onBookSaved(const QString& folder);
  void watchFromHere();
  void showNotice(const QStringList& notices);

  book::Workspace& store_;
  Dialogs& dialogs_;
  QWidget* parent_;
  QLabel* notice_;
  QTimer* noticeTimer_;
  QString folder_;
  std::unique_ptr<budget::Budget> plans_;
  std::unique_ptr<budget::OverrunWatch> watch_;
  QString watchedFolder_;
};
