#pragma once

#include "platform/message.h"
#include "store/ledger.h"
#include "store/records.h"

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace book {
class Workspace;
}

namespace entries {

// The entry dialog's rules: what its OK stores, what its two pickers accept, and the ledger
// row that a new entry adds to the ledger on show.

inline const QString kEntryLimitText = QStringLiteral("資料筆數已經到達3000筆上限，請另開新資料庫");

// The entry dialog's boxes and pickers as OK reads them. Picker positions are 0-based (the
// account in slot position + 1); -1 is no choice.
struct EntryInput {
  bool editMode = false;
  int editIndex = 0;          // the slot being changed (edit mode)
  int increasePosition = -1;  // Cob2
  int decreasePosition = -1;  // Cob3
  QString date;               // Text1
  QString amount;             // Text2
  QString memo;               // Text3, line breaks as "\n"
};

// The entry as OK would store it, or the refusal to show. Checks run in the dialog's order:
// the table limit, the two pickers, the date, the first picker, the amount, then the memo's
// characters. Nothing is changed.
std::variant<store::LedgerEntry, Message> checkEntry(const book::Workspace& store,
                                                     const EntryInput& input);
// The same checks without the table limit: for an entry kept to be made later (a schedule),
// which a full book may still hold.
std::variant<store::LedgerEntry, Message> checkEntryFields(const book::Workspace& store,
                                                           const EntryInput& input);

// Checks, then stores: a new entry is appended at EntryCount (which grows, and the entry
// count panel follows), a changed one keeps its slot. Returns the slot written or the refusal;
// after a refusal nothing has changed.
std::variant<int, Message> storeEntry(book::Workspace& store, const EntryInput& input);

// The row a stored new entry adds to the ledger of its second-side account without a rebuild:
// the amount signed as that ledger signs it, the running total continued from the previous last
// row (no leading blank, no colour).
store::LedgerRow appendedRow(const book::Workspace& store, int slot, qint64 previousTotal);

// The captions of Label2 and Label3 for an account of this kind chosen in the first picker;
// nothing for a kind that leaves them as they are (Equity, or a kind the chart does not know).
std::optional<std::pair<QString, QString>> pickerLabels(int kind);

// What a change of a picker leads to.
struct PickerOutcome {
  std::optional<Message> refusal;                     // shown first
  std::optional<int> moveTo;                          // then the picker goes here (-1: no choice)
  std::optional<std::pair<QString, QString>> labels;  // Label2, Label3
};

// The first picker (Cob2) moved to `position`.
PickerOutcome increasePicked(const book::Workspace& store, int position);
// The second picker (Cob3) moved to `position`.
PickerOutcome decreasePicked(const book::Workspace& store, int position);

// The first position the second picker accepts (Equity, an asset or a liability); -1 when the
// chart has none.
int firstPayingPosition(const book::Workspace& store);

// The memo as the dialog shows it ("\r\n" of the file as "\n", trailing blanks removed) and as
// it is stored ("\n" as "\r\n").
QString memoForEditing(const QString& stored);
QString memoForStoring(const QString& typed);

}  // namespace entries
