#pragma once

#include "platform/widgets/FixedDialog.h"

class QLabel;
class QPushButton;

// "關於": the program's name and version, where it comes from, its home page and mail address.
class AboutForm : public FixedDialog {
  Q_OBJECT

 public:
  static const QString kHomePage;
  static const QString kMailAddress;

  explicit AboutForm(QWidget* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Image2;
  QPushButton* Command1;
};

class Module1;

// The about box (AboutForm).
void openAbout(Module1& store, QWidget* parent);
