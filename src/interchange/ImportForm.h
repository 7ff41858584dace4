#pragma once

#include "interchange/csvtext.h"
#include "interchange/statementimport.h"
#include "platform/widgets/FixedDialog.h"

#include <vector>

class LedgerView;
class Module1;
class QComboBox;
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
  ImportForm(Module1& store, QWidget* parent = nullptr);

  // The rows as the preview shows them now, ticks and accounts included.
  const std::vector<PreviewRow>& previewRows() const { return preview_; }

 private:
  void onRead();
  void onBrowse();
  void onLayoutChanged();
  void onRowAccountChosen();
  void onImport();
  void refreshPreview();
  void fillTable();
  ImportLayout layoutShown() const;
  ImportAccounts accountsShown() const;
  void showLayout(const ImportLayout& layout);

  Module1& store_;
  csvtext::File file_;
  std::vector<PreviewRow> preview_;
  bool filling_ = false;
  bool hasHeader_ = false;

  QLineEdit* path_;
  QComboBox* dateColumn_;
  QComboBox* amountColumn_;
  QComboBox* outColumn_;
  QComboBox* inColumn_;
  QListWidget* memoColumns_;
  QComboBox* statementAccount_;
  QComboBox* outAccount_;
  QComboBox* inAccount_;
  QComboBox* rowAccount_;
  QTableWidget* table_;
  QLabel* summary_;
  QPushButton* import_;
};

// Shows the import window; after an import the ledger is redrawn through `view`.
void openStatementImport(Module1& store, LedgerView& view, QWidget* parent);
