#include "ui/entry/InputForm.h"

// Placeholder until the entry dialog is built.
InputForm::InputForm(Module1& store, LedgerView& view, QWidget* parent)
    : QDialog(parent), store_(store), view_(view) {
  setObjectName(QStringLiteral("InputForm"));
}

void InputForm::openNew() {}
void InputForm::openEdit(int) {}
