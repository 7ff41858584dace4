#pragma once

#include "platform/widgets/FixedDialog.h"

class Module1;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "財務報表": the balance sheet (left) and the income statement (right) as of the date in
// Text7, each with a button that copies it to the clipboard.
class BSForm : public FixedDialog {
  Q_OBJECT

 public:
  // Filled for today's date before it is shown.
  explicit BSForm(Module1& store, QWidget* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showStatements(const QString& date);
  void onCmd1Clicked();
  void onCmd2Clicked();
  void onCmd3Clicked();
  void onCmd4Clicked();

  Module1& store_;
  QPushButton* Cmd1_;
  QPushButton* Cmd2_;
  QPushButton* Cmd3_;
  QPushButton* Cmd4_;
  QPlainTextEdit* Text1_;
  QPlainTextEdit* Text2_;
  QPlainTextEdit* Text3_;
  QPlainTextEdit* Text4_;
  QLineEdit* Text5_;
  QLineEdit* Text6_;
  QLineEdit* Text7_;
};

// Financial statements as of today (BSForm).
void openStatements(Module1& store, QWidget* parent);
