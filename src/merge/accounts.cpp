#include "merge/steps.h"

#include "store/ledger.h"

#include <algorithm>
#include <numeric>

namespace merge::detail {

namespace {

// How one copy's chart stands to the base's: for each base slot the slot it has now (0: gone).
struct Match {
  std::vector<int> slotOfBase;  // index base slot
  std::vector<bool> taken;      // index the copy's slot
};

// An account keeps its name, or keeps its slot and kind under a new one (a rename). Deleting
// shifts the later slots, so a rename after a deletion reads as a deletion and an addition: a
// question later, never a silent loss.
Match matchChart(const store::BookTables& base, const store::BookTables& copy) {
  Match match{std::vector<int>(static_cast<size_t>(base.accountCount), 0),
              std::vector<bool>(static_cast<size_t>(copy.accountCount), false)};
  QHash<QString, int> slotOfName;
  for (int slot = copy.accountCount - 1; slot >= 1; --slot)
    slotOfName.insert(copy.accounts[slot].AccountName, slot);  // the first slot of a name wins
  for (int slot = 1; slot < base.accountCount; ++slot) {
    const auto at = slotOfName.constFind(base.accounts[slot].AccountName);
    if (at == slotOfName.cend() || match.taken[static_cast<size_t>(*at)]) continue;
    match.slotOfBase[static_cast<size_t>(slot)] = *at;
    match.taken[static_cast<size_t>(*at)] = true;
  }
  for (int slot = 1; slot < base.accountCount; ++slot) {
    if (match.slotOfBase[static_cast<size_t>(slot)] != 0 || slot >= copy.accountCount ||
        match.taken[static_cast<size_t>(slot)] ||
        copy.accounts[slot].AccountKind != base.accounts[slot].AccountKind) {
      continue;
    }
    match.slotOfBase[static_cast<size_t>(slot)] = slot;
    match.taken[static_cast<size_t>(slot)] = true;
  }
  return match;
}

QString nameOf(const store::AccountRecord& account) {
  return store::trimTrailingSpaces(account.AccountName);
}

QString kindWord(int kind) {
  static const QStringList words{QStringLiteral("業主權益"), QStringLiteral("資產"),
                                 QStringLiteral("負債"), QStringLiteral("收入"),
                                 QStringLiteral("支出")};
  return kind >= 0 && kind < words.size() ? words[kind] : QString::number(kind);
}

QString accountWords(const store::AccountRecord& account) {
  return QStringLiteral("%1（%2）").arg(nameOf(account), kindWord(account.AccountKind));
}

// Whether the copy keeps the base's accounts in the base's order.
bool keepsOrder(const Match& match, int baseCount) {
  int last = 0;
  for (int slot = 1; slot < baseCount; ++slot) {
    const int now = match.slotOfBase[static_cast<size_t>(slot)];
    if (now == 0) continue;
    if (now < last) return false;
    last = now;
  }
  return true;
}

}  // namespace

AlignedAccounts alignAccounts(const store::BookTables& base, const store::BookTables& ours,
                              const store::BookTables& theirs) {
  const Match mine = matchChart(base, ours);
  const Match other = matchChart(base, theirs);
  AlignedAccounts aligned;
  std::vector<int> ourSlot;    // per item: its slot in ours (0: none)
  std::vector<int> theirSlot;  // per item: its slot in theirs
  std::vector<int> baseSlot;
  auto addItem = [&](const store::AccountRecord& record, Side added, int b, int o, int t) {
    AccountItem item;
    item.record = record;
    if (o != 0) item.ourName = ours.accounts[o].AccountName;
    aligned.items.push_back(item);
    aligned.deletedBy.push_back(Side::None);
    aligned.addedBy.push_back(added);
    baseSlot.push_back(b);
    ourSlot.push_back(o);
    theirSlot.push_back(t);
    const int id = static_cast<int>(aligned.items.size()) - 1;
    if (b != 0) aligned.baseIds.insert(base.accounts[b].AccountName, id);
    if (o != 0) aligned.ourIds.insert(ours.accounts[o].AccountName, id);
    if (t != 0) aligned.theirIds.insert(theirs.accounts[t].AccountName, id);
    return id;
  };

  for (int slot = 1; slot < base.accountCount; ++slot) {
    const store::AccountRecord& was = base.accounts[slot];
    const int o = mine.slotOfBase[static_cast<size_t>(slot)];
    const int t = other.slotOfBase[static_cast<size_t>(slot)];
    const store::AccountRecord ourRecord = o != 0 ? ours.accounts[o] : was;
    const store::AccountRecord theirRecord = t != 0 ? theirs.accounts[t] : was;
    const bool ourChange = o != 0 && !(ourRecord == was);
    const bool theirChange = t != 0 && !(theirRecord == was);
    const int id = addItem(ourChange ? ourRecord : theirRecord, Side::None, slot, o, t);
    AccountItem& item = aligned.items.back();
    if (o == 0 || t == 0) {
      aligned.deletedBy[static_cast<size_t>(id)] =
          o == 0 && t == 0 ? Side::Both : (o == 0 ? Side::Ours : Side::Theirs);
      item.present = false;
      const bool changedByKeeper = (o == 0 && theirChange) || (t == 0 && ourChange);
      if (o == 0 && t == 0) continue;
      if (!changedByKeeper) continue;  // a question only when the keeper also uses it
      item.conflict = static_cast<int>(aligned.conflicts.size());
      item.presentWhen = o == 0 ? kIfTheirs : kIfMine;
      aligned.conflicts.push_back(
          {ConflictKind::AccountDeletedInUse,
           QStringLiteral("帳戶「%1」一邊刪除了，另一邊改了它").arg(nameOf(was)),
           o == 0 ? QStringLiteral("刪除帳戶") : accountWords(ourRecord),
           t == 0 ? QStringLiteral("刪除帳戶") : accountWords(theirRecord), false});
      continue;
    }
    if (ourChange && theirChange && !(ourRecord == theirRecord)) {
      item.theirs = theirRecord;
      item.conflict = static_cast<int>(aligned.conflicts.size());
      aligned.conflicts.push_back({ConflictKind::AccountChangedBoth,
                                   QStringLiteral("兩邊都改了帳戶「%1」").arg(nameOf(was)),
                                   accountWords(ourRecord), accountWords(theirRecord), false});
    }
  }

  // New accounts; one of the same name on both sides is one account.
  QHash<QString, int> ourAdditions;
  for (int slot = 1; slot < ours.accountCount; ++slot) {
    if (mine.taken[static_cast<size_t>(slot)]) continue;
    if (aligned.ourIds.contains(ours.accounts[slot].AccountName)) continue;
    ourAdditions.insert(ours.accounts[slot].AccountName,
                        addItem(ours.accounts[slot], Side::Ours, 0, slot, 0));
  }
  for (int slot = 1; slot < theirs.accountCount; ++slot) {
    if (other.taken[static_cast<size_t>(slot)]) continue;
    const store::AccountRecord& record = theirs.accounts[slot];
    if (aligned.theirIds.contains(record.AccountName)) continue;
    const auto same = ourAdditions.constFind(record.AccountName);
    if (same == ourAdditions.cend()) {
      addItem(record, Side::Theirs, 0, 0, slot);
      continue;
    }
    const auto index = static_cast<size_t>(*same);
    aligned.theirIds.insert(record.AccountName, *same);
    aligned.addedBy[index] = Side::Both;
    theirSlot[index] = slot;
    AccountItem& item = aligned.items[index];
    if (item.record == record) continue;
    item.theirs = record;
    item.conflict = static_cast<int>(aligned.conflicts.size());
    aligned.conflicts.push_back(
        {ConflictKind::AccountChangedBoth,
         QStringLiteral("兩邊都新增了帳戶「%1」，種類不同").arg(nameOf(record)),
         accountWords(item.record), accountWords(record), false});
  }

  // The chart's order: the side that reordered the base's accounts decides (ours first);
  // accounts only the other side has follow in its order.
  const bool oursLeads =
      !keepsOrder(mine, base.accountCount) || keepsOrder(other, base.accountCount);
  const std::vector<int>& leadSlot = oursLeads ? ourSlot : theirSlot;
  const std::vector<int>& followSlot = oursLeads ? theirSlot : ourSlot;
  std::vector<int> order(aligned.items.size());
  std::iota(order.begin(), order.end(), 0);
  auto rank = [&](int id) {
    const auto i = static_cast<size_t>(id);
    if (leadSlot[i] != 0) return leadSlot[i];
    if (followSlot[i] != 0) return 1000 + followSlot[i];
    return 2000 + baseSlot[i];
  };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return rank(a) < rank(b); });
  std::vector<int> newId(order.size());
  for (size_t at = 0; at < order.size(); ++at) newId[static_cast<size_t>(order[at])] = int(at);
  AlignedAccounts sorted;
  sorted.conflicts = std::move(aligned.conflicts);
  for (const int id : order) {
    sorted.items.push_back(aligned.items[static_cast<size_t>(id)]);
    sorted.deletedBy.push_back(aligned.deletedBy[static_cast<size_t>(id)]);
    sorted.addedBy.push_back(aligned.addedBy[static_cast<size_t>(id)]);
  }
  auto remap = [&](const QHash<QString, int>& ids) {
    QHash<QString, int> mapped;
    for (auto it = ids.cbegin(); it != ids.cend(); ++it)
      mapped.insert(it.key(), newId[static_cast<size_t>(it.value())]);
    return mapped;
  };
  sorted.baseIds = remap(aligned.baseIds);
  sorted.ourIds = remap(aligned.ourIds);
  sorted.theirIds = remap(aligned.theirIds);
  return sorted;
}

std::vector<Entry> entriesIn(const store::BookTables& book, const QHash<QString, int>& ids) {
  auto refOf = [&](const QString& name) {
    const auto at = ids.constFind(name);
    return at == ids.cend() ? AccountRef{-1, name} : AccountRef{*at, QString()};
  };
  std::vector<Entry> entries;
  entries.reserve(static_cast<size_t>(book.entryCount - 1));
  for (int slot = 1; slot < book.entryCount; ++slot) {
    const store::LedgerEntry& e = book.entries[slot];
    entries.push_back(
        {e.EntryDate, refOf(e.IncreaseAccount), refOf(e.DecreaseAccount), e.Amount, e.Memo});
  }
  return entries;
}

}  // namespace merge::detail
