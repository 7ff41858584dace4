#pragma once

#include "platform/widgets/FixedDialog.h"

#include <array>

class Module1;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// The account editor: creates, renames, re-kinds, deletes and orders the accounts of the
// chart. Built for one showing (openAccountEditor); "完成(&D)" leaves it and refills every
// account list of the program.
class AccountForm : public FixedDialog {
  Q_OBJECT

 public:
  explicit AccountForm(Module1& store, QWidget* parent = nullptr);

  // What the main window's "編輯帳戶(&A)" does before showing: empty name, initial value 0.
  void prepare();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void build();
  void refillList();
  int chosenKind() const;
  void onKindChosen(int kind);
  void onCreate();
  void onEdit();
  void onDelete();
  void onMove(bool up);
  void onDone();

  Module1& store_;
  QListWidget* chart_ = nullptr;
  QComboBox* nameBox_ = nullptr;
  QLineEdit* initialValueBox_ = nullptr;
  QLabel* initialValueCaption_ = nullptr;
  QPushButton* createButton_ = nullptr;
  QPushButton* upButton_ = nullptr;
  QPushButton* downButton_ = nullptr;
  QPushButton* editButton_ = nullptr;  // also Esc
  QPushButton* deleteButton_ = nullptr;
  QPushButton* doneButton_ = nullptr;           // also Enter
  std::array<QRadioButton*, 4> kindOptions_{};  // kinds 1 to 4
};

// Account editor (AccountForm). On "完成(&D)" it refills every account list
// (Module1::FillAccountLists), so the main window shows the first account's ledger.
void openAccountEditor(Module1& store, QWidget* parent);
