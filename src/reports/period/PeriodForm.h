#pragma once

#include "platform/widgets/FixedDialog.h"
#include "reports/period/period.h"

class Dialogs;
namespace book {
class Workspace;
}
class QBoxLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTreeWidget;

// "收支分析": income and expense by account and month over a month, a year or a span of
// dates, and net worth at the ends of its months. It opens on the latest month that holds
// entries.
class PeriodForm : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr const char* kKind = "PeriodKind";
  static constexpr const char* kYear = "Year";
  static constexpr const char* kMonth = "Month";
  static constexpr const char* kFrom = "DateFrom";
  static constexpr const char* kToLabel = "ToLabel";
  static constexpr const char* kTo = "DateTo";
  static constexpr const char* kShow = "Show";
  static constexpr const char* kTable = "Table";
  static constexpr const char* kNetWorth = "NetWorth";
  static constexpr const char* kCharts = "Charts";
  static constexpr const char* kPrint = "Print";
  static constexpr const char* kSavePdf = "SavePdf";
  static constexpr const char* kClose = "Close";

  // The period's kinds, in the order of the kind box.
  enum Kind { Month = 0, Year = 1, Span = 2 };

  explicit PeriodForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent = nullptr);

  const period::Report& report() const { return report_; }

 private:
  QBoxLayout* buildPeriodChoice(const QDate& opening);
  QBoxLayout* buildTables();
  QBoxLayout* buildButtons();
  void onKindChanged(int kind);
  // Reads the period chosen and fills the tables; says why when the dates are no period.
  void refresh(bool sayWhy);
  // No figures stand under dates that are no period.
  void clearFigures();
  void fillTable();
  void fillNetWorth();
  void printReport();
  void saveReportAsPdf();

  book::Workspace& store_;
  Dialogs& dialogs_;
  period::Report report_;
  QComboBox* kindBox_ = nullptr;
  QSpinBox* yearBox_ = nullptr;
  QSpinBox* monthBox_ = nullptr;
  QLineEdit* fromBox_ = nullptr;
  QLabel* toLabel_ = nullptr;
  QLineEdit* toBox_ = nullptr;
  QPushButton* showButton_ = nullptr;
  QTableWidget* table_ = nullptr;
  QTreeWidget* netWorth_ = nullptr;
  QPushButton* chartsButton_ = nullptr;
  QPushButton* printButton_ = nullptr;
  QPushButton* pdfButton_ = nullptr;
};

void openPeriodReport(book::Workspace& store, Dialogs& dialogs, QWidget* parent);
