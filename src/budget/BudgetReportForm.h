#pragma once

#include "budget/actuals.h"
#include "budget/report.h"
#include "platform/widgets/FixedDialog.h"

class Dialogs;
namespace book {
class Workspace;
}
class QCheckBox;
class QChartView;
class QComboBox;
class QSpinBox;
class QTableWidget;

namespace budget {
class Budget;
}

// 預算與實際: budget, actual, variance and percentage per account for a month or the year to
// date, only the accounts over budget when asked, and a chart of budget against actual
// spending per month. Printed, saved as PDF or as CSV.
class BudgetReportForm : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr const char* kSpan = "BudgetSpan";
  static constexpr const char* kYear = "Year";
  static constexpr const char* kMonth = "Month";
  static constexpr const char* kOverOnly = "OverOnly";
  static constexpr const char* kTable = "BudgetTable";
  static constexpr const char* kChart = "BudgetChart";
  static constexpr const char* kPrint = "Print";
  static constexpr const char* kSavePdf = "SavePdf";
  static constexpr const char* kSaveCsv = "SaveCsv";
  static constexpr const char* kClose = "Close";

  BudgetReportForm(book::Workspace& store, Dialogs& dialogs, const budget::Budget& plans,
                   QWidget* parent = nullptr);

  const budget::Report& report() const { return report_; }

 private:
  void refresh();
  void fillTable();
  void fillChart(const std::vector<budget::BoundPlan>& bound);
  void printReport();
  void saveReportAsPdf();
  void saveCsv();

  book::Workspace& store_;
  Dialogs& dialogs_;
  const budget::Budget& plans_;
  budget::YearFigures figures_;
  budget::Report report_;
  budget::MonthSeries series_;
  QSpinBox* yearBox_;
  QSpinBox* monthBox_;
  QComboBox* spanBox_;
  QCheckBox* overOnly_;
  QTableWidget* table_;
  QChartView* chart_;
};

void openBudgetReport(book::Workspace& store, Dialogs& dialogs, const budget::Budget& plans,
                      QWidget* parent);
