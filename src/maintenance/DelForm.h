#pragma once

#include "maintenance/bulkdelete.h"
#include "platform/widgets/FixedDialog.h"

class Dialogs;
namespace store {
class LedgerView;
}
namespace book {
class Workspace;
}
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "刪除多筆記錄": deletes every entry whose date meets the chosen rule, then stays open for the
// next deletion until "取消(&C)".
class DelForm : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr char kOnDate[] = "Option1";
  static constexpr char kAfter[] = "Option2";
  static constexpr char kWithin[] = "Option3";
  static constexpr char kOutside[] = "Option4";
  static constexpr char kFromDate[] = "Text1";
  static constexpr char kBetweenDates[] = "Label1";  // "之後" or "至"
  static constexpr char kToDate[] = "Text2";
  static constexpr char kDelete[] = "Cmd1";
  static constexpr char kCancel[] = "Cmd0";

  DelForm(book::Workspace& store, Dialogs& dialogs, store::LedgerView& view,
          QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void onRuleChosen();
  void onDelete();
  maintenance::DeleteRule chosenRule() const;

  book::Workspace& store_;
  Dialogs& dialogs_;
  store::LedgerView& view_;
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
void openBulkDelete(book::Workspace& store, Dialogs& dialogs, store::LedgerView& view,
                    QWidget* parent);
