#pragma once

// The windows that the main window opens, each shown modally through the dialog seam.
// Each function builds its window, shows it and returns when the window has been left.

class Module1;
class LedgerView;
class QWidget;

void openAccountEditor(Module1& store, QWidget* parent);             // AccountForm
void openStatements(Module1& store, QWidget* parent);                // BSForm
void openJournal(Module1& store, QWidget* parent);                   // DiaryForm
void openBulkDelete(Module1& store, LedgerView& view, QWidget* parent);  // DelForm
void openAbout(Module1& store, QWidget* parent);                     // AboutForm
