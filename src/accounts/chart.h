#pragma once

#include "platform/message.h"
#include "store/records.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace book {
class Workspace;
}

namespace accounts {

// The account editor's commands on the chart of accounts. Each checks everything first and
// either changes the tables (and the status panels) or returns the refusal to show, leaving
// everything as it was.

// "A-", "L-", "I-", "E-" for the kinds 1 to 4; empty for any other kind.
QString kindPrefix(int kind);

// The names the name box offers for a kind (1 to 4).
QStringList suggestedNames(int kind);

// Whether a new account of this kind gets an initial-value entry (assets and liabilities).
bool takesInitialValue(int kind);

// "建立(&C)": a new account of kind 1 to 4 named prefix + typed name, at the end of the chart;
// an asset or liability also gets its initial-value entry dated today (also for 0), for the
// number the initial value begins with (numbers::parseLeadingAmount).
std::optional<Message> createAccount(book::Workspace& store, const QString& typedName, int kind,
                                     const QString& initialValue);

// "編輯" asks nothing for the protected accounts: the refusal for the account in `slot`.
std::optional<Message> checkEditable(const book::Workspace& store, int slot);

// The rename answer: empty leaves the name; otherwise the complete new name, prefix included,
// which every entry naming the account follows.
std::optional<Message> renameAccount(book::Workspace& store, int slot, const QString& answer);

// The change-of-kind answer: empty leaves the kind; otherwise a number that rounds to 1 to 4.
std::optional<Message> changeKind(book::Workspace& store, int slot, const QString& answer);

// The prompt of the change-of-kind box: five lines joined by CR LF.
QString kindPrompt();

// "刪除": removes an account that no entry names; the later accounts move up a slot.
std::optional<Message> deleteAccount(book::Workspace& store, int slot);

// "上" and "下": exchange the account with its neighbour. The new slot, or nothing when the
// account is already first (last).
std::optional<int> moveAccountUp(book::Workspace& store, int slot);
std::optional<int> moveAccountDown(book::Workspace& store, int slot);

}  // namespace accounts
