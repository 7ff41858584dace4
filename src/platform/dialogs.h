#pragma once

#include "platform/message.h"

#include <QString>

class QDialog;

// Every message box, input box and modal showing of the program goes through this one seam.
// The program uses the Qt implementation (platform/widgets/QtDialogs); tests install a
// scripted one that answers in advance and records what was shown.
enum class Answer { Ok, Yes, No };

// Where a file dialog starts: the remembered folder while it exists, else the documents folder
// where the desktop has one, else the home folder. A folder that is gone is never offered.
QString fileDialogFolder(const QString& remembered);

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // The chosen file's path; empty when the dialog was cancelled. The folder it was chosen in
  // is where the next dialog of this run starts.
  QString chooseFile(const FileRequest& request);

  virtual Answer message(const Message& message) = 0;
  // The typed text; the empty text when the box is cancelled.
  virtual QString input(const QString& prompt, const QString& title,
                        const QString& defaultText) = 0;
  // Shows the dialog modally and returns its result code when it has been left.
  virtual int exec(QDialog& dialog) = 0;

  Answer show(const Message& m) { return message(m); }

 protected:
  // The dialog itself, started at `start`: a folder, or for a save a folder and the suggested
  // name. Seams without a file dialog cancel.
  virtual QString askFile(const FileRequest& request, const QString& start);

 private:
  QString lastFolder_;
};
