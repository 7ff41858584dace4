#pragma once

// The steps of a merge, for its own files: the charts aligned, then the entries.

#include "merge/merge.h"

#include <QHash>

namespace merge::detail {

enum class Side : std::uint8_t { None, Ours, Theirs, Both };

// The merged chart with the names each copy knew its accounts by.
struct AlignedAccounts {
  std::vector<AccountItem> items;
  std::vector<Conflict> conflicts;
  std::vector<Side> deletedBy;  // per item: the side that deleted it
  std::vector<Side> addedBy;    // per item: the side that added it (None: from the base)
  QHash<QString, int> baseIds;
  QHash<QString, int> ourIds;
  QHash<QString, int> theirIds;
};

AlignedAccounts alignAccounts(const store::BookTables& base, const store::BookTables& ours,
                              const store::BookTables& theirs);

// The entries of one copy in the merged chart's names.
std::vector<Entry> entriesIn(const store::BookTables& book, const QHash<QString, int>& ids);

// The entries merged over the aligned chart; conflicts are added to `plan` after the account
// conflicts already there. The reason when the books cannot be merged.
std::optional<QString> mergeEntries(Plan& plan, const std::vector<Entry>& base,
                                    const std::vector<Entry>& ours,
                                    const std::vector<Entry>& theirs, int equityId);

// An entry in words, with the names of the merged chart.
QString describe(const Entry& entry, const std::vector<AccountItem>& accounts);

}  // namespace merge::detail
