#pragma once

#include <QDialog>

class Module1;
class LedgerView;

// The entry dialog: records a new entry or changes one. Created once by the main window and
// only shown and hidden afterwards.
class InputForm : public QDialog {
  Q_OBJECT

 public:
  InputForm(Module1& store, LedgerView& view, QWidget* parent = nullptr);

  // The main window's "新增(&N)": refuses at 3000 entries, else prefills and shows modally.
  void openNew();
  // The ledger's double click on the row of entry `slot`: prefills and shows modally.
  void openEdit(int slot);

 private:
  Module1& store_;
  LedgerView& view_;
};
