#pragma once

#include "store/database.h"
#include "store/records.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

// Three copies of one book, the last one both computers had (base), this computer's (ours) and
// the other's (theirs), merged into one. Accounts are aligned first; entries then merge record by
// record, each 128-byte record one line of a three-way merge. What cannot be decided alone
// becomes a conflict with its choices; the answers then make the book.
namespace merge {

enum class Choice : std::uint8_t { Mine, Theirs, Both };

enum class ConflictKind : std::uint8_t {
  AccountChangedBoth,   // both sides renamed (or changed the kind of) one account differently
  AccountDeletedInUse,  // one side deleted an account the other side still changed or used
  AccountsOverLimit,    // both sides added accounts beyond the chart's 100
  EntryChangedBoth,     // the same entry changed differently on both sides
  EntryChangedDeleted,  // changed on one side, deleted on the other
  EntryBeforeClosing,   // the other side's new or changed entry falls on or before a closing
};

// One question for the person, with both sides in words.
struct Conflict {
  ConflictKind kind;
  QString title;
  QString mine;
  QString theirs;
  bool allowsBoth = false;  // 兩者都留: both versions of an entry kept
};

// What came from the other side, for the notice after a merge.
struct Summary {
  int added = 0;        // entries the merge has that ours had not
  int deleted = 0;      // entries ours had that the merge has not
  QStringList renamed;  // "舊名 → 新名", accounts ours knew under another name
  bool operator==(const Summary&) const = default;
};

// Where an entry's account points: an account of the merged chart (its index in the plan), or
// a name no chart holds, kept as it is.
struct AccountRef {
  int id = -1;
  QString name;
  bool operator==(const AccountRef&) const = default;
};

struct Entry {
  QString date;
  AccountRef increase;
  AccountRef decrease;
  qint32 amount = 0;
  QString memo;
  bool operator==(const Entry&) const = default;
};

// The answers under which an item is in the book: bit 0 mine, bit 1 theirs, bit 2 both.
inline constexpr std::uint8_t kAlways = 7;
inline constexpr std::uint8_t kIfMine = 1 | 4;
inline constexpr std::uint8_t kIfTheirs = 2;
inline constexpr std::uint8_t kIfTheirsOrBoth = 2 | 4;
inline constexpr std::uint8_t kIfMineOnly = 1;

struct AccountItem {
  store::AccountRecord record;                 // the merged record; with a rename conflict, mine
  std::optional<store::AccountRecord> theirs;  // with a rename conflict: theirs
  QString ourName;                             // the name ours knew it by (empty: not in ours)
  int conflict = -1;
  std::uint8_t presentWhen = kAlways;
  bool present = true;  // false: deleted with no question asked
};

struct EntryItem {
  Entry entry;
  int conflict = -1;
  std::uint8_t presentWhen = kAlways;
  bool carried = false;  // a closing's carried balance, of the side that closed
};

// A change of the other side to an entry that a closing carried: answered for that side, the
// closing's carried balances no longer count the old entry.
struct CarriedCorrection {
  int conflict = -1;
  std::uint8_t when = kIfTheirs;
  Entry old;
};

// The merge, before the answers.
struct Plan {
  std::vector<Conflict> conflicts;
  std::vector<AccountItem> accounts;  // in the merged chart's order
  std::vector<EntryItem> entries;     // in the merged book's order
  std::vector<CarriedCorrection> corrections;
  std::vector<Entry> ourEntries;  // ours in the merged names, for the summary
};

struct Merged {
  store::BookTables tables;
  Summary summary;
};

// The plan of merging, or the reason the books cannot be merged.
std::variant<Plan, QString> plan(const store::BookTables& base, const store::BookTables& ours,
                                 const store::BookTables& theirs);

// The book the answers make (one answer per conflict, in order), or the reason it would not be a
// sound book.
std::variant<Merged, QString> apply(const Plan& plan, std::span<const Choice> answers);

// Plan and apply for books with no conflict; a conflict refuses.
std::variant<Merged, QString> mergeBooks(const store::BookTables& base,
                                         const store::BookTables& ours,
                                         const store::BookTables& theirs);

// Why these tables are no sound book (limits, entries naming accounts the chart has not, a
// record the reader would not give back), or nothing.
std::optional<QString> unsoundReason(const store::BookTables& tables);

}  // namespace merge
