#pragma once

#include "merge/merge.h"
#include "merge/syncconflicts.h"
#include "platform/message.h"

#include <functional>
#include <optional>
#include <vector>

namespace book {

class Workspace;

// Opens the workspace's book (UserPlace::databaseFolder()) into its tables. A new, empty folder
// gets its cash and equity accounts and the opening entry of `startingCash` (ignored when the book
// has its entries already). On any failure nothing changes: neither the files nor the tables in
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

// The questions of a merge at save (merge::Plan::conflicts), answered one per conflict in order;
// nothing when the person cancelled. The session asks them in the conflict window; an empty
// function cancels, so logic and tests never show a window.
using MergeQuestions =
    std::function<std::optional<std::vector<merge::Choice>>(const std::vector<merge::Conflict>&)>;

// Saves the open book as a whole; the one place a book is written. In order:
//  1. a save cut short earlier is completed, and the files on disk are compared with the ones
//     last read or written (the fingerprint);
//  2. when another computer has changed them, its book (theirs) is merged with the open one
//     (ours) over this computer's base (merge/bases.h): the conflicts are asked through `ask`,
//     a backup of both sides is kept, the merged book is written and becomes the open one as
//     one undo step, and the notice says what came from the other side. Cancelled, or with no
//     sound merge, the tables are saved as a new book in the user's list (the conflict copy,
//     book/newbook.h), which becomes the open one, and the notice says why;
//  3. otherwise both files are written together and safely (safefile::writeGroup), and the pair
//     they replace is kept as a backup (backup/backups.h); a backup that fails does not stop
//     the save.
// What was written becomes this computer's base of the book. A book opened read-only is never
// written: a change in it is only said to be lost.
SaveResult save(Workspace& workspace, const MergeQuestions& ask = {});

// Another computer's version of the open book that a sync tool left beside its files, merged
// into it over the last version both came from (merge::findCommonBase) and saved at once; the
// sync tool's files are then set aside (".merged") and the notice says so. When it is not
// merged (cancelled, unreadable, no sound merge) the files stay where they are and the
// message says why.
Message mergeSyncConflict(Workspace& workspace, const merge::SyncConflict& conflict,
                          const MergeQuestions& ask = {});

// The name of the undo step a merge at save leaves.
inline const QString kMergeStepName = QStringLiteral("合併另一台電腦的變更");

}  // namespace book
