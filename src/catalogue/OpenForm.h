#pragma once

#include "catalogue/catalogue.h"
#include "platform/widgets/FixedDialog.h"

class Dialogs;
namespace book {
class Workspace;
}
class QListWidget;
class QPushButton;

// "資料庫選單": the user's databases. Left only by "開啟(&O)", "取消" or "登出"; what follows is
// the session's business.
class OpenForm : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr char kBooks[] = "List1";
  static constexpr char kOpen[] = "Cmd1";
  static constexpr char kAdd[] = "Cmd5";
  static constexpr char kRename[] = "Cmd2";
  static constexpr char kDelete[] = "Cmd3";
  static constexpr char kCopy[] = "Cmd4";
  static constexpr char kUp[] = "Cmd8";
  static constexpr char kDown[] = "Cmd9";
  static constexpr char kCancel[] = "Cmd0";
  static constexpr char kLogOut[] = "Cmd6";
  static constexpr char kBackups[] = "Backups";

  // openedFromMenu: a book is open and the list may be left by "取消" back to it.
  OpenForm(book::Workspace& store, Dialogs& dialogs, bool openedFromMenu = false,
           QWidget* parent = nullptr);

  // Reads the user's list; the refusal when it cannot be read.
  std::optional<Message> load();
  // How the window was left; Stay while it is open.
  catalogue::Catalogue::Result outcome() const { return outcome_; }

 private:
  QPushButton* addButton(const char* name, const QString& caption, int row);
  void refresh();
  void showRefusal(const std::optional<Message>& refused);
  void onOpen();
  void onAdd();
  void onRename();
  void onRemove();
  void onCopy();
  void onBackups();
  void leaveWith(const catalogue::Catalogue::Outcome& outcome);

  book::Workspace& store_;
  Dialogs& dialogs_;
  catalogue::Catalogue catalogue_;
  QListWidget* list_;
  QPushButton* openButton_;
  QPushButton* renameButton_;
  QPushButton* deleteButton_;
  QPushButton* copyButton_;
  QPushButton* backupsButton_;
  QPushButton* cancelButton_;
  catalogue::Catalogue::Result outcome_ = catalogue::Catalogue::Result::Stay;
};
