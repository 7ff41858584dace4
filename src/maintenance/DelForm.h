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
  void onOptionToggled();
  void onCmd1Clicked();
  DeleteRule selectedRule() const;

  Module1& store_;
  LedgerView& view_;
  QRadioButton* Option1;
  QRadioButton* Option2;
  QRadioButton* Option3;
  QRadioButton* Option4;
  QLineEdit* Text1;
  QLineEdit* Text2;
  QLabel* Label1;
  QPushButton* Cmd1;
  QPushButton* Cmd0;
};

// Bulk delete by date rules (DelForm); redraws the ledger through `view`.
void openBulkDelete(Module1& store, LedgerView& view, QWidget* parent);
