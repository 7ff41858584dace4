#pragma once

#include "platform/widgets/FixedDialog.h"

class Dialogs;
class QLabel;
class QPushButton;

// "關於": the program's name and version, where it comes from, a link to the help page
// installed beside the program and, when the build names one, the address to write to.
class AboutForm : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr char kIcon[] = "Image2";
  static constexpr char kProgram[] = "Label1";  // name and version
  static constexpr char kOrigin[] = "Label2";
  static constexpr char kHelpLink[] = "Label3";
  static constexpr char kMailLink[] = "Label4";
  static constexpr char kLicence[] = "Label5";
  static constexpr char kOk[] = "Command1";

  // The address given at build time (VARNIX_CONTACT_MAIL); empty when none was.
  static QString contactMail();

  // `helpPage` is the installed readme.htm; its link shows only while the file is there. The
  // mail link shows only for a non-empty `mailAddress`.
  AboutForm(const QString& helpPage, const QString& mailAddress, QWidget* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString helpPage_;
  QString mailAddress_;
  QLabel* helpLink_;
  QLabel* mailLink_;
};

namespace book {
class Workspace;
}

// The about box (AboutForm).
void openAbout(book::Workspace& store, Dialogs& dialogs, QWidget* parent);
