#pragma once

#include "interchange/payeerules.h"
#include "platform/widgets/FixedDialog.h"

class Dialogs;
namespace book {
class Workspace;
}
class QComboBox;
class QTableWidget;

// "對方帳戶規則": the payee rules listed by memo; a rule's account changed or the rule deleted.
// Every change is written at once, so that a cancelled import keeps it.
class PayeeRulesForm : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr const char* kList = "RuleList";
  static constexpr const char* kAccount = "RuleAccount";
  static constexpr const char* kChange = "ChangeRule";
  static constexpr const char* kDelete = "DeleteRule";
  static constexpr const char* kClose = "Close";

  PayeeRulesForm(book::Workspace& store, Dialogs& dialogs, payeerules::Rules& rules,
                 QWidget* parent = nullptr);

  bool changed() const { return changed_; }

 private:
  void fillList();
  QString selectedId() const;
  void onChange();
  void onDelete();
  void save(const payeerules::Rules& before);

  book::Workspace& store_;
  Dialogs& dialogs_;
  payeerules::Rules& rules_;
  bool changed_ = false;
  QTableWidget* list_;
  QComboBox* account_;
};

// Shows the rules modally; whether any rule changed.
bool openPayeeRules(book::Workspace& store, Dialogs& dialogs, payeerules::Rules& rules,
                    QWidget* parent);
