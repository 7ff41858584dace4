#pragma once

#include "catalogue/catalogue.h"
#include "platform/widgets/FixedDialog.h"

class QPushButton;
class QTreeWidget;

// "備份與還原": the selected book's backups with when they were taken and what they hold. One
// is brought back as a new book of the list; the book itself is never overwritten.
class BackupForm : public FixedDialog {
  Q_OBJECT

 public:
  BackupForm(Module1& store, Catalogue& catalogue, QWidget* parent = nullptr);

  // The name of the book a restore made; empty while none was made.
  const QString& restored() const { return restored_; }

 private:
  void onRestore();

  Module1& store_;
  Catalogue& catalogue_;
  std::vector<backup::BackupInfo> backups_;
  QTreeWidget* list_ = nullptr;
  QPushButton* restoreButton_ = nullptr;
  QString restored_;
};
