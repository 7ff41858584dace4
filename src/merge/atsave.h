#pragma once

#include "merge/bases.h"
#include "merge/merge.h"
#include "platform/message.h"

#include <QString>

#include <variant>

// The merge as a save meets it: the book's files changed on disk under the open book.
namespace merge {

struct AtSave {
  Plan plan;
  bool baseFromBackup = false;
};

// The plan of merging the open book's tables (ours) with what is on disk now (theirs), over this
// computer's base of the book; the reason in words when there is no base to merge over or the
// copies cannot be merged.
std::variant<AtSave, QString> planAtSave(const QString& bookFolder, const store::BookTables& ours,
                                         const store::BookTables& theirs);

// The notice after a merge: what came from the other side, and the base it was merged over.
Message mergedNotice(const Summary& summary, bool baseFromBackup);

// The notice when the merge fell back to a copy of the book: why.
QString fallbackReason(const QString& why);

}  // namespace merge
