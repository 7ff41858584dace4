#pragma once

#include "maintenance/bulkdelete.h"
#include "platform/widgets/FixedDialog.h"

class LedgerView;
class Module1;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "刪除多筆記錄": deletes every entry whose date meets the chosen rule, then stays open for the
// next deletion until "取消(&C)".
class DelForm : public FixedDialog {
  Q_OBJECT

 public:
  DelForm(Module1& store, LedgerView& view, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void onRuleChosen();
  void onDelete();
  DeleteRule chosenRule() const;

  Module1& store_;
  LedgerView& view_;
  QRadioButton* onDateOption_;
  QRadioButton* afterOption_;
  QRadioButton* withinOption_;
  QRadioButton* outsideOption_;
  QLineEdit* firstDateBox_;
  QLineEdit* secondDateBox_;
  QLabel* betweenDates_;  // "之後" or "至"
  QPushButton* deleteButton_;
  QPushButton* closeButton_;
};

// Bulk delete by date rules (DelForm); redraws the ledger through `view`.
void openBulkDelete(Module1& store, LedgerView& view, QWidget* parent);
