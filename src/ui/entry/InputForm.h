#pragma once

#include "platform/widgets/FixedDialog.h"

#include <array>

class Module1;
class LedgerView;
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
  InputForm(Module1& store, LedgerView& view, QWidget* parent = nullptr);

  // The main window's "新增(&N)": refuses at 3000 entries, else prefills and shows modally.
  void openNew();
  // The ledger's double click on the row of entry `slot`: prefills and shows modally.
  void openEdit(int slot);

  bool editMode() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build();
  void refillPickers();
  void onIncreasePicked(int position);
  void onDecreasePicked(int position);
  void onOk();
  void onKeypad(int index);
  void onToday();
  void onClear();
  void showIn(QWidget* w, int left, int top, int width, int height);

  Module1& store_;
  LedgerView& view_;

  QLabel* label1_ = nullptr;
  QLabel* label2_ = nullptr;
  QLabel* label3_ = nullptr;
  QLabel* label4_ = nullptr;
  QLabel* label5_ = nullptr;
  QLineEdit* text1_ = nullptr;       // date
  QLineEdit* text2_ = nullptr;       // amount
  QPlainTextEdit* text3_ = nullptr;  // memo
  QComboBox* cob2_ = nullptr;        // first side
  QComboBox* cob3_ = nullptr;        // second side
  QPushButton* cmd1_ = nullptr;      // OK
  QPushButton* cmd2_ = nullptr;      // close
  QPushButton* cmd3_ = nullptr;      // clear
  QPushButton* cmd4_ = nullptr;      // today
  std::array<QPushButton*, 11> cmdNum_{};
};
