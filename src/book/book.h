#pragma once

#include "platform/message.h"

#include <optional>

namespace book {

class Workspace;

// Opens the workspace's book (UserPlace::databaseFolder()) into its tables. A new, empty folder gets
// its cash and equity accounts and the opening entry of `startingCash` (ignored when the book has
// its entries already). On any failure nothing changes: neither the files nor the tables in
// memory; the refusal to show is returned. On success the undo history follows the book, the
// fingerprint is taken and the account and entry count panels are set.
std::optional<Message> open(Workspace& workspace, qint32 startingCash = 0);

// What a save did. With a refusal nothing was written and the open book is as before;
// without one the book is saved, and the notice (if any) is still to be shown: the backup that
// could not be kept, or the book saved under a new name because its files had changed.
struct SaveResult {
  std::optional<Message> refusal;
  std::optional<Message> notice;

  bool saved() const { return !refusal; }
};

// Saves the open book as a whole; the one place a book is written. In order:
//  1. a save cut short earlier is completed, and the files on disk are compared with the ones
//     last read or written (the fingerprint);
//  2. when another program has changed them, the tables are saved as a new book in the user's
//     list (the conflict copy, book/newbook.h), which becomes the open one;
//  3. otherwise both files are written together and safely (safefile::writeGroup), and the pair
//     they replace is kept as a backup (backup/backups.h); a backup that fails does not stop
//     the save.
SaveResult save(Workspace& workspace);

}  // namespace book
