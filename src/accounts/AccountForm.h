#pragma once

#include "platform/widgets/FixedDialog.h"

#include <array>

class Dialogs;
namespace book {
class Workspace;
}
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
  static constexpr char kChart[] = "List1";
  static constexpr char kUp[] = "Cmd1";
  static constexpr char kDown[] = "Cmd2";
  static constexpr char kEdit[] = "Cmd3";
  static constexpr char kDelete[] = "Cmd4";
  static constexpr char kNameCaption[] = "Label2";
  static constexpr char kName[] = "Cob1";
  static constexpr char kInitialValueCaption[] = "Label1";
  static constexpr char kInitialValue[] = "Text4";
  static constexpr char kCreate[] = "Cmd0";
  // The kinds 1 to 4: asset, liability, income, expense.
  static constexpr std::array<const char*, 4> kKinds = {"Option1", "Option2", "Option3", "Option4"};
  static constexpr char kDone[] = "Cmd5";

  explicit AccountForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent = nullptr);

  // What the main window's "編輯帳戶(&A)" does before showing: empty name, initial value 0.
  void prepare();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void buildControls();
  void buildChart();
  void buildNewAccount();
  void refillList();
  int chosenKind() const;
  void onKindChosen(int kind);
  void onCreate();
  void onEdit();
  void onDelete();
  void onMove(bool up);
  void onDone();

  book::Workspace& store_;
  Dialogs& dialogs_;
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
// (book::Workspace::FillAccountLists), so the main window shows the first account's ledger.
void openAccountEditor(book::Workspace& store, Dialogs& dialogs, QWidget* parent);
