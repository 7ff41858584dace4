#pragma once

#include "interchange/csvtext.h"
#include "interchange/payeerules.h"
#include "interchange/statementimport.h"
#include "platform/widgets/FixedDialog.h"

#include <map>
#include <optional>
#include <vector>

class Dialogs;
namespace store {
class LedgerView;
}
namespace book {
class Workspace;
}
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

// "匯入銀行對帳單": a bank's or card issuer's CSV file read, its columns named, its rows
// previewed with their accounts and ticks, and the ticked ones imported in one step.
class ImportForm : public FixedDialog {
  Q_OBJECT

 public:
  // The controls' names, for tests and screen readers.
  static constexpr const char* kFilePath = "FilePath";
  static constexpr const char* kBrowse = "Browse";
  static constexpr const char* kRead = "Read";
  static constexpr const char* kDateColumn = "DateColumn";
  static constexpr const char* kAmountColumn = "AmountColumn";
  static constexpr const char* kOutColumn = "OutColumn";
  static constexpr const char* kInColumn = "InColumn";
  static constexpr const char* kBalanceColumn = "BalanceColumn";
  static constexpr const char* kMemoColumns = "MemoColumns";
  static constexpr const char* kStatementAccount = "StatementAccount";
  static constexpr const char* kOutAccount = "OutAccount";
  static constexpr const char* kInAccount = "InAccount";
  static constexpr const char* kRowAccount = "RowAccount";
  static constexpr const char* kPreview = "Preview";
  static constexpr const char* kSummary = "Summary";
  static constexpr const char* kImport = "Import";
  static constexpr const char* kCancel = "Cancel";
  static constexpr const char* kRules = "Rules";
  static constexpr const char* kEncoding = "Encoding";
  static constexpr const char* kDelimiter = "Delimiter";
  static constexpr const char* kHeaderRow = "HeaderRow";
  static constexpr const char* kDateOrder = "DateOrder";
  // The preview's columns.
  enum Column { kTick, kLine, kDate, kAmount, kMemo, kOther, kSource, kNote, kColumns };

  ImportForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent = nullptr);

  // The rows as the preview shows them now, ticks and accounts included.
  const std::vector<interchange::PreviewRow>& previewRows() const { return preview_; }
  // After an import: what the statement offers the reconciliation.
  const std::optional<interchange::StatementOffer>& offer() const { return offer_; }

 private:
  void onRead();
  void onBrowse();
  void onLayoutChanged();
  void onRowAccountChosen();
  void onImport();
  void onTicked(int row);
  void onRules();
  QHBoxLayout* buildReadingControls();
  void onReadingChanged();
  void loadColumns();
  void buildColumnControls(QGridLayout* grid);
  int buildAccountControls(QGridLayout* grid);
  void connectControls(QPushButton* browse, QPushButton* read, QPushButton* rules,
                       QPushButton* cancel);
  void refreshPreview();
  void fillTable();
  void showSummary();
  void learnRules();
  interchange::ImportLayout layoutShown() const;
  interchange::ImportAccounts accountsShown() const;
  void showLayout(const interchange::ImportLayout& layout);

  book::Workspace& store_;
  Dialogs& dialogs_;
  csvtext::File file_;
  std::vector<interchange::PreviewRow> preview_;
  std::map<int, interchange::RowChoice> choices_;  // by the row's line in the file
  std::optional<interchange::StatementOffer> offer_;
  std::optional<payeerules::Rules> rules_;  // none when the rules file cannot be read
  QString rulesProblem_;
  bool filling_ = false;
  bool hasHeader_ = false;

  QLineEdit* path_;
  QComboBox* encoding_;
  QComboBox* delimiter_;
  QCheckBox* headerRow_;
  QComboBox* dateOrder_;
  QComboBox* dateColumn_;
  QComboBox* amountColumn_;
  QComboBox* outColumn_;
  QComboBox* inColumn_;
  QComboBox* balanceColumn_;
  QListWidget* memoColumns_;
  QComboBox* statementAccount_;
  QComboBox* outAccount_;
  QComboBox* inAccount_;
  QComboBox* rowAccount_;
  QTableWidget* table_;
  QLabel* summary_;
  QPushButton* import_;
};

// Shows the import window; after an import the ledger is redrawn through `view`, and the
// person is asked whether to reconcile against the statement: its offer when they would.
std::optional<interchange::StatementOffer> openStatementImport(book::Workspace& store,
                                                               Dialogs& dialogs,
                                                               store::LedgerView& view,
                                                               QWidget* parent);
