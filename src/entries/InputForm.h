#pragma once

#include "platform/widgets/FixedDialog.h"

#include <array>

class Dialogs;
namespace book {
class Workspace;
}
namespace store {
class LedgerView;
}
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The entry dialog: records a new entry or changes one. Created once by the main window and
// only shown and hidden afterwards. Its title tells its mode ("新增資料" or "編輯資料").
class InputForm : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr char kDateCaption[] = "Label1";
  static constexpr char kIncreaseCaption[] = "Label2";
  static constexpr char kDecreaseCaption[] = "Label3";
  static constexpr char kAmountCaption[] = "Label4";
  static constexpr char kMemoCaption[] = "Label5";
  static constexpr char kDate[] = "Text1";
  static constexpr char kToday[] = "Cmd4";
  static constexpr char kIncrease[] = "Cob2";
  static constexpr char kDecrease[] = "Cob3";
  static constexpr char kAmount[] = "Text2";
  static constexpr char kMemo[] = "Text3";
  static constexpr char kOk[] = "Cmd1";
  static constexpr char kClose[] = "Cmd2";
  static constexpr char kClear[] = "Cmd3";
  static constexpr char kKeepAsSchedule[] = "KeepAsSchedule";
  // The keypad's keys "0" to "9", then "←".
  static constexpr std::array<const char*, 11> kKeypad = {
      "CmdNum0", "CmdNum1", "CmdNum2", "CmdNum3", "CmdNum4", "CmdNum5",
      "CmdNum6", "CmdNum7", "CmdNum8", "CmdNum9", "CmdNum10"};

  InputForm(book::Workspace& store, Dialogs& dialogs, store::LedgerView& view,
            QWidget* parent = nullptr);

  // The main window's "新增(&N)": refuses at 3000 entries, else prefills and shows modally.
  void openNew();
  // The ledger's double click on the row of entry `slot`: prefills and shows modally.
  void openEdit(int slot);

  bool editMode() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void buildKeypad();
  void refillPickers();
  void onIncreasePicked(int position);
  void onDecreasePicked(int position);
  void onOk();
  void onKeypad(int index);
  void onToday();
  void onClear();
  void onKeepAsSchedule();
  void showIn(QWidget* w, int left, int top, int width, int height);

  book::Workspace& store_;
  Dialogs& dialogs_;
  store::LedgerView& view_;
  int editSlot_ = 0;  // the entry being changed, once openEdit() named it
  int madeSlot_ = 0;  // the entry this showing made last: 存成定期 turns it into a schedule

  QLabel* increaseCaption_ = nullptr;  // "分類", "支付給", ...
  QLabel* decreaseCaption_ = nullptr;  // "帳戶", "從帳戶", ...
  QLineEdit* dateBox_ = nullptr;
  QLineEdit* amountBox_ = nullptr;
  QPlainTextEdit* memoBox_ = nullptr;
  QComboBox* increasePicker_ = nullptr;  // the first side: what the money was for
  QComboBox* decreasePicker_ = nullptr;  // the second side: the account that paid or received
  QPushButton* okButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  QPushButton* clearButton_ = nullptr;
  QPushButton* todayButton_ = nullptr;
  QPushButton* keepAsScheduleButton_ = nullptr;
  std::array<QPushButton*, 11> keypad_{};  // "0" to "9", then "←"
};
