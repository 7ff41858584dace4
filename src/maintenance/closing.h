#pragma once

#include "platform/message.h"

#include <QString>

#include <optional>

namespace book {
class Workspace;
}

namespace maintenance {

// Closing the books at a date D: every entry dated on or before D goes, and each asset and
// liability receives one carried entry ("初值", dated D, against "Equity") holding its balance
// at D. The entries dated after D stay first, in their order; the carried entries follow in
// account slot order. Net worth as of D and of every later date is unchanged.
//
// `typedDate` is the date as the user typed it. Returns the refusal, with nothing changed, when
// it is no date, when the table cannot hold the entries that remain, or when a balance does not
// fit into an entry's amount; nothing when the books are closed (the entry count panel then
// shows the new count).
std::optional<Message> closeBooksAt(book::Workspace& store, const QString& typedDate);

}  // namespace maintenance
