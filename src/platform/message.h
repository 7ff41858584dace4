#pragma once

#include <QString>

// A box to show: what logic commands return when they refuse or report. Logic builds these
// values; windows and the session show them through the dialog seam (platform/dialogs.h).
enum class MessageIcon { None, Information, Exclamation, Question };
enum class MessageButtons { Ok, YesNo };

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

// A file to open or to save, chosen in the desktop's file dialog.
struct FileRequest {
  enum class Purpose { Open, Save } purpose = Purpose::Save;
  QString title;
  QString suggestedName;  // Save: the file's name without a folder
  QString filter;         // e.g. "PDF 檔 (*.pdf)"
};
