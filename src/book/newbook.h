#pragma once

#include "backup/backups.h"
#include "book/book.h"
#include "platform/message.h"

#include <QString>

#include <variant>

// Books made from another book's bytes: a backup brought back, or the open book saved aside
// because its files were changed by someone else. Each gets a name of its own beside the
// original ("家計簿-還原-20261206-1530"), never the original's folder.
namespace book {

class Workspace;

// Brings the backup back as a new book of the user's list, placed right after `book`, and
// returns the new book's name. The backup is checked as a book is when opened; a damaged one
// is refused with the reason and nothing is created.
std::variant<QString, Message> restore(Workspace& store, const QString& book,
                                       const backup::BackupInfo& backup);

// The save of an open book whose files another program has changed: the tables go to a new
// book of the list ("<book>-衝突-<now>"), which becomes the open book with its lock; the
// changed files stay as they are. The notice says so; a refusal when the new book could not be
// made, and then nothing changed.
SaveResult saveAsConflictCopy(Workspace& store, const QByteArray& accounts,
                              const QByteArray& entries);

}  // namespace book
