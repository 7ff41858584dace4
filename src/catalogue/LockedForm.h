#pragma once

#include "catalogue/catalogue.h"
#include "platform/widgets/FixedDialog.h"

#include <optional>

class Dialogs;

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

// Asks in this window what to do with the list's selected database when another computer holds
// its lock; the one question of every road that opens a book. Nothing when it is to stay closed
// (取消); otherwise what Catalogue::open is to be told (Refuse when no other computer holds it,
// and nothing was asked).
std::optional<catalogue::Catalogue::ForeignLock> askPastForeignLock(
    const catalogue::Catalogue& list, Dialogs& dialogs, QWidget* parent);
