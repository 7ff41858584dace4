#pragma once

#include <QString>

class QDialog;

// Every message box, input box and modal showing of the program goes through this one seam.
// The program uses the Qt implementation (platform/widgets/QtDialogs); tests install a
// scripted one that answers in advance and records what was shown.
enum class MessageIcon { None, Information, Exclamation, Question };
enum class MessageButtons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// A box to show: what logic commands return when they refuse or report.
struct Message {
  QString text;
  QString title;
  MessageIcon icon = MessageIcon::Exclamation;
  MessageButtons buttons = MessageButtons::Ok;

  bool operator==(const Message&) const = default;
};

// The program's fixed kinds of box.
Message refusal(const QString& text);        // exclamation, OK, "注意"
Message completion(const QString& text);     // information, OK, "完成"
Message confirmDelete(const QString& text);  // exclamation, Yes/No, "刪除資料"

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  virtual Answer message(const Message& message) = 0;
  // The typed text; the empty text when the box is cancelled.
  virtual QString input(const QString& prompt, const QString& title,
                        const QString& defaultText) = 0;
  // Shows the dialog modally and returns its result code when it has been left.
  virtual int exec(QDialog& dialog) = 0;

  Answer show(const Message& m) { return message(m); }
};
