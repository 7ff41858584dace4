#pragma once

#include "catalogue/catalogue.h"
#include "platform/widgets/FixedDialog.h"

// A database whose lock another computer holds: the computer and the time in words, and the
// choice of opening it read-only, opening it anyway (the two computers' changes are merged at
// save) or leaving it closed (取消, as before).
class LockedForm : public FixedDialog {
  Q_OBJECT

 public:
  LockedForm(const QString& database, const store::dblock::ForeignHolder& holder,
             QWidget* parent = nullptr);

  // Refuse until a button was clicked.
  catalogue::Catalogue::ForeignLock choice() const { return choice_; }

  static constexpr const char* kReadOnlyName = "openReadOnly";
  static constexpr const char* kAnywayName = "openAnyway";
  static constexpr const char* kCancelName = "cancelOpen";

 private:
  void choose(catalogue::Catalogue::ForeignLock choice);

  catalogue::Catalogue::ForeignLock choice_ = catalogue::Catalogue::ForeignLock::Refuse;
};
