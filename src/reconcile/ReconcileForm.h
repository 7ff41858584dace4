#pragma once

#include "reconcile/adjustment.h"
#include "reconcile/reconciliation.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <vector>

class Dialogs;
namespace book {
class Workspace;
}
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "對帳": an account's entries up to the statement's date ticked against the statement until
// the difference is 0, then kept as a finished reconciliation.
class ReconcileForm : public QDialog {
  Q_OBJECT

 public:
  // The controls' names, for tests and screen readers.
  static constexpr char kAccountPicker[] = "AccountPicker";
  static constexpr char kAdjustAccountPicker[] = "AdjustAccountPicker";
  static constexpr char kStatementDateBox[] = "StatementDateBox";
  static constexpr char kEndingBox[] = "EndingBox";
  static constexpr char kStartButton[] = "StartButton";
  static constexpr char kStartingLabel[] = "StartingLabel";
  static constexpr char kDifferenceLabel[] = "DifferenceLabel";
  static constexpr char kHintsLabel[] = "HintsLabel";
  static constexpr char kLines[] = "Lines";
  static constexpr char kAdjustButton[] = "AdjustButton";
  static constexpr char kPostponeButton[] = "PostponeButton";
  static constexpr char kFinishButton[] = "FinishButton";
  static constexpr char kCloseButton[] = "CloseButton";
  static constexpr char kFinishedPicker[] = "FinishedPicker";
  static constexpr char kPrintButton[] = "PrintButton";
  static constexpr char kPdfButton[] = "PdfButton";

  // `changed` is told of each reconciliation kept (see reconcile::Changed).
  ReconcileForm(book::Workspace& store, Dialogs& dialogs,
                std::vector<reconcile::Reconciliation>& all, QWidget* parent = nullptr,
                reconcile::Changed changed = {});

  // Starts on this account when it is an asset or a liability (a bank, a card).
  void chooseAccount(int accountSlot);
  // The statement as the import offers it: its account, last date and balance, and the
  // entries that matched its rows, ticked. Without a balance the wizard waits for one.
  void offerStatement(int accountSlot, const QDate& date, std::optional<qint64> ending,
                      const std::vector<int>& matchedSlots);

 private:
  void refillFinished();
  const reconcile::Reconciliation* chosenFinished() const;
  void onPrint();
  void onSavePdf();
  void onStart();
  void onTicked(int row, int column);
  void onAdjust();
  void onPostpone();
  void onFinish();
  void showDifference();
  void keep(bool finished);

  book::Workspace& store_;
  Dialogs& dialogs_;
  std::vector<reconcile::Reconciliation>& all_;
  reconcile::Changed changed_;
  std::unique_ptr<reconcile::Wizard> wizard_;
  int accountSlot_ = 0;
  QDate statementDate_;
  bool adjusted_ = false;
  std::vector<int> offeredSlots_;     // ticked at the next 開始
  std::vector<QString> finishedIds_;  // the finished picker's reconciliations

  QComboBox* accountPicker_;
  QLineEdit* dateBox_;
  QLineEdit* endingBox_;
  QLabel* starting_;
  QLabel* difference_;
  QLabel* hints_;
  QTableWidget* lines_;
  QComboBox* adjustPicker_;
  QPushButton* adjustButton_;
  QPushButton* postponeButton_;
  QPushButton* finishButton_;
  QComboBox* finishedPicker_;
  QPushButton* printButton_;
  QPushButton* pdfButton_;
};

void openReconcile(book::Workspace& store, Dialogs& dialogs,
                   std::vector<reconcile::Reconciliation>& all, QWidget* parent,
                   const reconcile::Changed& changed = {});
