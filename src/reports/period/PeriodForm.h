#pragma once

#include "platform/widgets/FixedDialog.h"
#include "reports/period/period.h"

class Module1;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class QTreeWidget;

// "收支分析": income and expense by account and month over a month, a year or a span of
// dates, and net worth at each month's end of the whole book.
class PeriodForm : public FixedDialog {
  Q_OBJECT

 public:
  explicit PeriodForm(Module1& store, QWidget* parent = nullptr);

  const period::Report& report() const { return report_; }

 private:
  void onKindChanged(int kind);
  // Reads the period chosen and fills the tables; says why when the dates are no period.
  void refresh(bool sayWhy);
  void fillTable();
  void fillNetWorth();
  void printReport();
  void saveReportAsPdf();

  Module1& store_;
  period::Report report_;
  QComboBox* kindBox_;
  QSpinBox* yearBox_;
  QSpinBox* monthBox_;
  QLineEdit* fromBox_;
  QLineEdit* toBox_;
  QTableWidget* table_;
  QTreeWidget* netWorth_;
};

void openPeriodReport(Module1& store, QWidget* parent);
