#pragma once

#include "catalogue/catalogue.h"
#include "platform/widgets/FixedDialog.h"

class Module1;
class QListWidget;
class QPushButton;

// "資料庫選單": the user's databases. Left only by "開啟(&O)", "取消" or "登出".
class OpenForm : public FixedDialog {
  Q_OBJECT

 public:
  OpenForm(Module1& store, QWidget* parent = nullptr);

  // Reads the user's list; the refusal when it cannot be read.
  std::optional<Message> load();
  // How the window was left; Stay while it is open.
  Catalogue::Result outcome() const { return outcome_; }

 private:
  QPushButton* addButton(const char* name, const QString& caption, int row);
  void refresh();
  void run(void (Catalogue::*command)());
  void leaveBy(Catalogue::Result (Catalogue::*command)());

  Catalogue catalogue_;
  QListWidget* list_;
  QPushButton* open_;
  QPushButton* rename_;
  QPushButton* delete_;
  QPushButton* copy_;
  QPushButton* cancel_;
  Catalogue::Result outcome_ = Catalogue::Result::Stay;
};

// Shows the database list as it follows a login (or, with OpenedFromMenu set, the menu) and
// tells how it was left.
Catalogue::Result showDatabaseList(Module1& store, QWidget* parent);
