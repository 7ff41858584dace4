#include "merge/steps.h"

#include "store/ledger.h"

#include <algorithm>
#include <unordered_map>

namespace merge::detail {

namespace {

struct EntryHash {
  size_t operator()(const Entry& e) const noexcept {
    return qHashMulti(0, e.date, e.increase.id, e.increase.name, e.decrease.id, e.decrease.name,
                      e.amount, e.memo);
  }
};

enum class Fate : std::uint8_t { Kept, Changed, Deleted, Closed };

// What one copy did to the base's entries.
struct Diff {
  std::vector<Fate> fate;      // per base entry
  std::vector<int> changedTo;  // per base entry: the copy's entry it became (Changed)
  std::vector<int> added;      // the copy's entries the base has not, in order
  std::vector<bool> carried;   // per copy entry: a carried balance of the copy's closing
  std::optional<QString> closedAt;
};

// The longest run of pairs whose base positions rise with the copy's: the entries both keep in
// the same order. Patience sorting, O(n log n).
std::vector<std::pair<int, int>> risingPairs(const std::vector<std::pair<int, int>>& pairs) {
  std::vector<int> tails;  // index into pairs of the smallest tail of each length
  std::vector<int> before(pairs.size(), -1);
  for (size_t i = 0; i < pairs.size(); ++i) {
    const int b = pairs[i].first;
    const auto at = std::lower_bound(tails.begin(), tails.end(), b, [&](int index, int value) {
      return pairs[static_cast<size_t>(index)].first < value;
    });
    if (at != tails.begin()) before[i] = *(at - 1);
    if (at == tails.end()) {
      tails.push_back(static_cast<int>(i));
    } else {
      *at = static_cast<int>(i);
    }
  }
  std::vector<std::pair<int, int>> run;
  for (int i = tails.empty() ? -1 : tails.back(); i >= 0; i = before[static_cast<size_t>(i)])
    run.push_back(pairs[static_cast<size_t>(i)]);
  std::reverse(run.begin(), run.end());
  return run;
}

// The program edits an entry in its slot, appends new ones and closes gaps in order, so the
// entries a copy kept stay in the base's order: between two kept ones, a removed base entry and
// a new one in the same gap are one entry changed. A closing removes every entry up to its date
// and appends one carried balance per account ("初值" against Equity, dated on the closing day).
Diff diffOf(const std::vector<Entry>& base, const std::vector<Entry>& copy, int equityId) {
  std::unordered_map<Entry, std::vector<int>, EntryHash> slotsOf;
  for (int i = static_cast<int>(base.size()) - 1; i >= 0; --i)
    slotsOf[base[static_cast<size_t>(i)]].push_back(i);  // back() is the first occurrence
  std::vector<std::pair<int, int>> pairs;
  for (size_t j = 0; j < copy.size(); ++j) {
    const auto at = slotsOf.find(copy[j]);
    if (at == slotsOf.end() || at->second.empty()) continue;
    pairs.emplace_back(at->second.back(), static_cast<int>(j));
    at->second.pop_back();
  }
  const std::vector<std::pair<int, int>> kept = risingPairs(pairs);

  Diff diff;
  diff.fate.assign(base.size(), Fate::Deleted);
  diff.changedTo.assign(base.size(), -1);
  diff.carried.assign(copy.size(), false);
  std::vector<bool> keptCopy(copy.size(), false);
  for (const auto& [b, j] : kept) {
    diff.fate[static_cast<size_t>(b)] = Fate::Kept;
    keptCopy[static_cast<size_t>(j)] = true;
  }

  // A closing: carried balances on a day up to which the copy kept no base entry, and before
  // which the base had one.
  const QString initial = store::memoField(store::kInitialMemo);
  QString oldest;
  QString oldestKept;
  for (size_t b = 0; b < base.size(); ++b) {
    const QString& date = base[b].date;
    if (oldest.isNull() || date < oldest) oldest = date;
    if (diff.fate[b] == Fate::Kept && (oldestKept.isNull() || date < oldestKept)) oldestKept = date;
  }
  for (size_t j = 0; j < copy.size(); ++j) {
    const Entry& e = copy[j];
    if (keptCopy[j] || e.memo != initial || e.decrease.id != equityId || equityId < 0) continue;
    if (oldest.isNull() || e.date < oldest || (!oldestKept.isNull() && e.date >= oldestKept))
      continue;
    if (!diff.closedAt || e.date > *diff.closedAt) diff.closedAt = e.date;
  }
  if (diff.closedAt) {
    for (size_t j = 0; j < copy.size(); ++j) {
      const Entry& e = copy[j];
      diff.carried[j] = !keptCopy[j] && e.memo == initial && e.decrease.id == equityId &&
                        e.date == *diff.closedAt;
    }
  }

  // The gaps between kept entries: removed and new ones paired in order. A closing appends its
  // carried balances after every entry it kept, and keeps none dated up to its day: what follows
  // them, or falls on or before the day, was made after the closing.
  const size_t firstCarried = static_cast<size_t>(
      std::find(diff.carried.begin(), diff.carried.end(), true) - diff.carried.begin());
  size_t b = 0;
  size_t j = 0;
  auto closeGap = [&](size_t baseEnd, size_t copyEnd) {
    const size_t limit = std::min(copyEnd, firstCarried);
    for (; b < baseEnd; ++b) {
      if (diff.fate[b] != Fate::Deleted) continue;
      while (j < limit && keptCopy[j]) ++j;
      if (j >= limit) continue;
      if (diff.closedAt && base[b].date <= *diff.closedAt && copy[j].date <= *diff.closedAt)
        continue;
      diff.fate[b] = Fate::Changed;
      diff.changedTo[b] = static_cast<int>(j);
      keptCopy[j] = true;  // taken
    }
    b = baseEnd;
    j = copyEnd;
  };
  for (const auto& [kb, kj] : kept) closeGap(static_cast<size_t>(kb), static_cast<size_t>(kj));
  closeGap(base.size(), copy.size());
  for (size_t k = 0; k < copy.size(); ++k) {
    if (!keptCopy[k]) diff.added.push_back(static_cast<int>(k));
  }
  if (diff.closedAt) {
    for (size_t k = 0; k < base.size(); ++k) {
      if (diff.fate[k] == Fate::Deleted && base[k].date <= *diff.closedAt)
        diff.fate[k] = Fate::Closed;
    }
  }
  return diff;
}

struct Builder {
  Plan& plan;
  std::vector<Conflict> conflicts;  // the entries' own, numbered after the accounts'

  int ask(ConflictKind kind, const QString& title, const QString& mine, const QString& theirs,
          bool both) {
    conflicts.push_back({kind, title, mine, theirs, both});
    return static_cast<int>(plan.conflicts.size() + conflicts.size()) - 1;
  }
  void put(const Entry& e, int conflict = -1, std::uint8_t when = kAlways, bool carried = false) {
    plan.entries.push_back({e, conflict, when, carried});
  }
  QString words(const Entry& e) const { return describe(e, plan.accounts); }
};

const QString kGone = QStringLiteral("（已刪除）");

QString closedWords(const QString& date) {
  return QStringLiteral("（%1 結帳時已結轉）").arg(store::trimTrailingSpaces(date));
}

}  // namespace

std::optional<QString> mergeEntries(Plan& plan, const std::vector<Entry>& base,
                                    const std::vector<Entry>& ours,
                                    const std::vector<Entry>& theirs, int equityId) {
  const Diff mine = diffOf(base, ours, equityId);
  const Diff other = diffOf(base, theirs, equityId);
  if (mine.closedAt && other.closedAt) {
    std::vector<Entry> ourCarried;
    std::vector<Entry> theirCarried;
    for (const int j : mine.added)
      if (mine.carried[static_cast<size_t>(j)]) ourCarried.push_back(ours[static_cast<size_t>(j)]);
    for (const int j : other.added)
      if (other.carried[static_cast<size_t>(j)])
        theirCarried.push_back(theirs[static_cast<size_t>(j)]);
    if (*mine.closedAt != *other.closedAt || ourCarried != theirCarried) {
      return QStringLiteral("兩邊都結了帳，結帳的日期或結轉的金額不同，無法合併");
    }
  }
  Builder out{plan, {}};
  const QString changedTitle = QStringLiteral("兩邊都改了同一筆記錄");
  const QString deletedTitle = QStringLiteral("一邊改了這筆記錄，另一邊刪除了它");
  auto closingTitle = [](const QString& date) {
    return QStringLiteral("這筆記錄的日期在 %1 結帳日以前").arg(store::trimTrailingSpaces(date));
  };

  for (size_t b = 0; b < base.size(); ++b) {
    const Entry& was = base[b];
    const Fate o = mine.fate[b];
    const Fate t = other.fate[b];
    const Entry* ourNow =
        o == Fate::Changed ? &ours[static_cast<size_t>(mine.changedTo[b])] : nullptr;
    const Entry* theirNow =
        t == Fate::Changed ? &theirs[static_cast<size_t>(other.changedTo[b])] : nullptr;
    if (o == Fate::Kept && t == Fate::Kept) {
      out.put(was);
    } else if (o == Fate::Closed || t == Fate::Closed) {
      // The closing carried this entry; a change of the other side to it is a question.
      const bool oursClosed = o == Fate::Closed;
      const Fate changer = oursClosed ? t : o;
      if (changer == Fate::Kept || changer == Fate::Closed) continue;
      const Entry* now = oursClosed ? theirNow : ourNow;
      const QString& date = oursClosed ? *mine.closedAt : *other.closedAt;
      const QString changed = now ? out.words(*now) : kGone;
      const int c = out.ask(ConflictKind::EntryBeforeClosing, closingTitle(date),
                            oursClosed ? closedWords(date) : changed,
                            oursClosed ? changed : closedWords(date), false);
      const std::uint8_t when = oursClosed ? kIfTheirs : kIfMineOnly;
      if (now) out.put(*now, c, when);
      plan.corrections.push_back({c, when, was});
    } else if (o == Fate::Deleted || t == Fate::Deleted) {
      const Entry* now = o == Fate::Deleted ? theirNow : ourNow;
      if (!now) continue;  // deleted on one side and kept or deleted on the other
      const int c = out.ask(ConflictKind::EntryChangedDeleted, deletedTitle,
                            ourNow ? out.words(*ourNow) : kGone,
                            theirNow ? out.words(*theirNow) : kGone, false);
      out.put(*now, c, ourNow ? kIfMine : kIfTheirs);
    } else if (ourNow && theirNow && !(*ourNow == *theirNow)) {
      const int c = out.ask(ConflictKind::EntryChangedBoth, changedTitle, out.words(*ourNow),
                            out.words(*theirNow), true);
      out.put(*ourNow, c, kIfMine);
      out.put(*theirNow, c, kIfTheirsOrBoth);
    } else {
      const Entry& now = ourNow ? *ourNow : *theirNow;
      // Moved onto or before the other side's closing: that side's balances never counted it.
      const std::optional<QString>& closing = ourNow ? other.closedAt : mine.closedAt;
      if (closing && !(ourNow && theirNow) && now.date <= *closing) {
        const int c = out.ask(ConflictKind::EntryBeforeClosing, closingTitle(*closing),
                              out.words(ourNow ? now : was), out.words(ourNow ? was : now), false);
        out.put(now, c, ourNow ? kIfMineOnly : kIfTheirs);
        out.put(was, c, ourNow ? kIfTheirs : kIfMineOnly);
        continue;
      }
      out.put(now);
    }
  }

  // New entries: kept from both sides; the same one new on both sides counts once.
  std::unordered_map<Entry, int, EntryHash> ourNew;
  for (const int j : mine.added) ++ourNew[ours[static_cast<size_t>(j)]];
  std::unordered_map<Entry, int, EntryHash> shared;
  for (const int j : other.added) {
    const Entry& e = theirs[static_cast<size_t>(j)];
    const auto at = ourNew.find(e);
    if (at != ourNew.end() && at->second > 0) {
      --at->second;
      ++shared[e];
    }
  }
  auto addNew = [&](const Entry& e, bool carried, bool fromOurs) {
    const std::optional<QString>& closing = fromOurs ? other.closedAt : mine.closedAt;
    if (closing && !carried && e.date <= *closing) {
      const QString there = closedWords(*closing);
      const int c =
          out.ask(ConflictKind::EntryBeforeClosing, closingTitle(*closing),
                  fromOurs ? out.words(e) : there, fromOurs ? there : out.words(e), false);
      out.put(e, c, fromOurs ? kIfMineOnly : kIfTheirs);
      return;
    }
    out.put(e, -1, kAlways, carried);
  };
  std::unordered_map<Entry, int, EntryHash> sharedLeft = shared;
  for (const int j : mine.added) {
    const Entry& e = ours[static_cast<size_t>(j)];
    const auto at = sharedLeft.find(e);
    if (at != sharedLeft.end() && at->second > 0) {
      --at->second;
      out.put(e, -1, kAlways, mine.carried[static_cast<size_t>(j)]);
      continue;
    }
    addNew(e, mine.carried[static_cast<size_t>(j)], true);
  }
  for (const int j : other.added) {
    const Entry& e = theirs[static_cast<size_t>(j)];
    const auto at = shared.find(e);
    if (at != shared.end() && at->second > 0) {
      --at->second;
      continue;
    }
    addNew(e, other.carried[static_cast<size_t>(j)], false);
  }
  plan.conflicts.insert(plan.conflicts.end(), out.conflicts.begin(), out.conflicts.end());
  return std::nullopt;
}

QString describe(const Entry& entry, const std::vector<AccountItem>& accounts) {
  auto name = [&](const AccountRef& ref) {
    return store::trimTrailingSpaces(
        ref.id >= 0 ? accounts[static_cast<size_t>(ref.id)].record.AccountName : ref.name);
  };
  return QStringLiteral("%1　%2 ← %3　%4　%5")
      .arg(store::trimTrailingSpaces(entry.date), name(entry.increase), name(entry.decrease))
      .arg(entry.amount)
      .arg(store::trimTrailingSpaces(entry.memo));
}

}  // namespace merge::detail
