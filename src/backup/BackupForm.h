#pragma once

#include "backup/backups.h"
#include "platform/dialogs.h"
#include "platform/widgets/FixedDialog.h"

#include <functional>
#include <variant>
#include <vector>

class QPushButton;
class QTreeWidget;

// "備份與還原": the selected book's backups with when they were taken and what they hold. One
// is brought back as a new book of the list; the book itself is never overwritten.
class BackupForm : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr char kBackups[] = "Backups";
  static constexpr char kRestore[] = "Restore";
  static constexpr char kClose[] = "Close";

  // Brings a backup back as a new book of the list: the new book's name, or the refusal. The
  // list is the catalogue's, which knows the backups only as this window's caller.
  using Restore = std::function<std::variant<QString, Message>(const backup::BackupInfo&)>;

  BackupForm(Dialogs& dialogs, const QString& book, std::vector<backup::BackupInfo> backups,
             Restore restore, QWidget* parent = nullptr);

  // The name of the book a restore made; empty while none was made.
  const QString& restored() const { return restored_; }

 private:
  void onRestore();

  Dialogs& dialogs_;
  Restore restore_;
  std::vector<backup::BackupInfo> backups_;
  QTreeWidget* list_ = nullptr;
  QPushButton* restoreButton_ = nullptr;
  QString restored_;
};
