#include "merge/merge.h"

#include "merge/steps.h"
#include "store/ledger.h"

#include <QSet>

#include <limits>
#include <unordered_map>

namespace merge {

using detail::Side;

namespace {

bool countsFit(const store::BookTables& book) {
  return book.accountCount >= 1 && book.accountCount <= store::kMaxAccounts + 1 &&
         book.entryCount >= 1 && book.entryCount <= store::kMaxEntries + 1;
}

QString trimmed(const QString& name) { return store::trimTrailingSpaces(name); }

// Accounts one side deleted while the other side's entries (new or changed) still name them.
void askAboutDeletedAccounts(Plan& plan, const detail::AlignedAccounts& aligned) {
  std::vector<int> uses(plan.accounts.size(), 0);
  for (const EntryItem& item : plan.entries) {
    for (const AccountRef* ref : {&item.entry.increase, &item.entry.decrease})
      if (ref->id >= 0) ++uses[static_cast<size_t>(ref->id)];
  }
  for (size_t id = 0; id < plan.accounts.size(); ++id) {
    AccountItem& account = plan.accounts[id];
    const Side deleter = aligned.deletedBy[id];
    if (account.conflict >= 0 || uses[id] == 0 ||
        (deleter != Side::Ours && deleter != Side::Theirs))
      continue;
    const QString deleted = QStringLiteral("刪除帳戶，連同用到它的 %1 筆記錄").arg(uses[id]);
    const QString kept = QStringLiteral("保留帳戶（%1 筆記錄用到它）").arg(uses[id]);
    account.conflict = static_cast<int>(plan.conflicts.size());
    account.presentWhen = deleter == Side::Ours ? kIfTheirs : kIfMine;
    plan.conflicts.push_back({ConflictKind::AccountDeletedInUse,
                              QStringLiteral("帳戶「%1」一邊刪除了，另一邊還在使用")
                                  .arg(trimmed(account.record.AccountName)),
                              deleter == Side::Ours ? deleted : kept,
                              deleter == Side::Ours ? kept : deleted, false});
  }
}

// Both sides added accounts and together they pass the chart's limit: one side's new ones stay.
void askAboutTooManyAccounts(Plan& plan, const detail::AlignedAccounts& aligned) {
  int possible = 0;
  QStringList ourNew;
  QStringList theirNew;
  for (size_t id = 0; id < plan.accounts.size(); ++id) {
    const AccountItem& account = plan.accounts[id];
    if (account.present || account.conflict >= 0) ++possible;
    if (account.conflict >= 0) continue;
    if (aligned.addedBy[id] == Side::Ours) ourNew << trimmed(account.record.AccountName);
    if (aligned.addedBy[id] == Side::Theirs) theirNew << trimmed(account.record.AccountName);
  }
  if (possible <= store::kMaxAccounts || ourNew.isEmpty() || theirNew.isEmpty()) return;
  const int c = static_cast<int>(plan.conflicts.size());
  for (size_t id = 0; id < plan.accounts.size(); ++id) {
    AccountItem& account = plan.accounts[id];
    if (account.conflict >= 0) continue;
    if (aligned.addedBy[id] != Side::Ours && aligned.addedBy[id] != Side::Theirs) continue;
    account.conflict = c;
    account.presentWhen = aligned.addedBy[id] == Side::Ours ? kIfMine : kIfTheirs;
  }
  auto keep = [](const QStringList& names) {
    return QStringLiteral("只留這邊新增的 %1 個帳戶（用到另一邊新帳戶的記錄不留）：%2")
        .arg(names.size())
        .arg(names.join(QStringLiteral("、")));
  };
  plan.conflicts.push_back({ConflictKind::AccountsOverLimit,
                            QStringLiteral("兩邊新增的帳戶合計超過 %1 個").arg(store::kMaxAccounts),
                            keep(ourNew), keep(theirNew), false});
}

std::uint8_t bitOf(Choice answer) {
  switch (answer) {
    case Choice::Mine:
      return 1;
    case Choice::Theirs:
      return 2;
    case Choice::Both:
      return 4;
  }
  return 0;
}

qint64 signedAmount(store::Sign sign, qint64 amount) {
  return sign == store::Sign::Plus ? amount : (sign == store::Sign::Minus ? -amount : 0);
}

struct EntryHash {
  size_t operator()(const Entry& e) const noexcept {
    return qHashMulti(0, e.date, e.increase.id, e.increase.name, e.decrease.id, e.decrease.name,
                      e.amount, e.memo);
  }
};

}  // namespace

std::variant<Plan, QString> plan(const store::BookTables& base, const store::BookTables& ours,
                                 const store::BookTables& theirs) {
  if (!countsFit(base) || !countsFit(ours) || !countsFit(theirs))
    return QStringLiteral("帳本的筆數不對，無法合併");
  detail::AlignedAccounts aligned = detail::alignAccounts(base, ours, theirs);
  Plan result;
  result.accounts = aligned.items;
  result.conflicts = aligned.conflicts;
  const QString equity = store::nameField(store::kEquityName);
  int equityId = aligned.ourIds.value(equity, -1);
  if (equityId < 0) equityId = aligned.theirIds.value(equity, aligned.baseIds.value(equity, -1));
  const std::vector<Entry> baseEntries = detail::entriesIn(base, aligned.baseIds);
  result.ourEntries = detail::entriesIn(ours, aligned.ourIds);
  const std::vector<Entry> theirEntries = detail::entriesIn(theirs, aligned.theirIds);
  if (auto refused =
          detail::mergeEntries(result, baseEntries, result.ourEntries, theirEntries, equityId)) {
    return *refused;
  }
  askAboutDeletedAccounts(result, aligned);
  askAboutTooManyAccounts(result, aligned);
  return result;
}

std::variant<Merged, QString> apply(const Plan& plan, std::span<const Choice> answers) {
  if (answers.size() != plan.conflicts.size()) return QStringLiteral("還有衝突沒有決定");
  for (size_t c = 0; c < answers.size(); ++c) {
    if (answers[c] == Choice::Both && !plan.conflicts[c].allowsBoth)
      return QStringLiteral("這個衝突不能兩者都留");
  }
  auto chosen = [&](int conflict, std::uint8_t when) {
    return (bitOf(answers[static_cast<size_t>(conflict)]) & when) != 0;
  };

  // The chart.
  const size_t accountTotal = plan.accounts.size();
  std::vector<bool> present(accountTotal);
  std::vector<store::AccountRecord> records(accountTotal);
  int accountsKept = 0;
  for (size_t id = 0; id < accountTotal; ++id) {
    const AccountItem& item = plan.accounts[id];
    present[id] = item.conflict < 0 ? item.present : chosen(item.conflict, item.presentWhen);
    const bool theirsChosen = item.theirs && item.conflict >= 0 &&
                              answers[static_cast<size_t>(item.conflict)] == Choice::Theirs;
    records[id] = theirsChosen ? *item.theirs : item.record;
    if (present[id]) ++accountsKept;
  }
  if (accountsKept > store::kMaxAccounts)
    return QStringLiteral("合併後的帳戶有 %1 個，超過 %2 個的上限")
        .arg(accountsKept)
        .arg(store::kMaxAccounts);

  // The entries: an answer that leaves an account out leaves out the entries naming it.
  auto droppedAccount = [&](const AccountRef& ref) {
    return ref.id >= 0 && !present[static_cast<size_t>(ref.id)] &&
           plan.accounts[static_cast<size_t>(ref.id)].conflict >= 0;
  };
  std::vector<Entry> entries;
  std::vector<bool> carried;
  for (const EntryItem& item : plan.entries) {
    if (item.conflict >= 0 && !chosen(item.conflict, item.presentWhen)) continue;
    if (droppedAccount(item.entry.increase) || droppedAccount(item.entry.decrease)) continue;
    entries.push_back(item.entry);
    carried.push_back(item.carried);
  }

  // A change the closing had carried, answered for the other side: the carried balances drop
  // the old entry.
  auto kindOf = [&](const AccountRef& ref) {
    return ref.id >= 0 ? int(records[static_cast<size_t>(ref.id)].AccountKind) : -1;
  };
  for (const CarriedCorrection& fix : plan.corrections) {
    if (!chosen(fix.conflict, fix.when)) continue;
    const Entry& old = fix.old;
    for (const bool firstSide : {true, false}) {
      const AccountRef& own = firstSide ? old.increase : old.decrease;
      const AccountRef& otherSide = firstSide ? old.decrease : old.increase;
      const int kind = kindOf(own);
      if (kind != store::kAsset && kind != store::kLiability) continue;
      const qint64 effect =
          signedAmount(store::signRule(kind, kindOf(otherSide), firstSide), old.amount);
      for (size_t e = 0; e < entries.size(); ++e) {
        if (!carried[e] || entries[e].increase.id != own.id) continue;
        const store::Sign sign = store::signRule(kind, kindOf(entries[e].decrease), true);
        const qint64 amount = entries[e].amount - signedAmount(sign, effect);
        if (amount < std::numeric_limits<qint32>::min() ||
            amount > std::numeric_limits<qint32>::max())
          return QStringLiteral("結轉的金額超出範圍，無法合併");
        entries[e].amount = static_cast<qint32>(amount);
        break;
      }
    }
  }
  if (entries.size() > static_cast<size_t>(store::kMaxEntries)) {
    return QStringLiteral("合併後的記錄有 %1 筆，超過 %2 筆的上限")
        .arg(entries.size())
        .arg(store::kMaxEntries);
  }

  Merged merged;
  store::BookTables& book = merged.tables;
  for (size_t id = 0; id < accountTotal; ++id) {
    if (present[id]) book.accounts[book.accountCount++] = records[id];
  }
  auto nameOf = [&](const AccountRef& ref) {
    return ref.id >= 0 ? records[static_cast<size_t>(ref.id)].AccountName : ref.name;
  };
  for (const Entry& e : entries) {
    book.entries[book.entryCount++] =
        store::LedgerEntry{e.date, nameOf(e.increase), nameOf(e.decrease), e.amount, e.memo};
  }

  // What came from the other side.
  std::unordered_map<Entry, int, EntryHash> ourCount;
  for (const Entry& e : plan.ourEntries) ++ourCount[e];
  for (const Entry& e : entries) {
    const auto at = ourCount.find(e);
    if (at != ourCount.end() && at->second > 0) {
      --at->second;
    } else {
      ++merged.summary.added;
    }
  }
  for (const auto& [entry, left] : ourCount) merged.summary.deleted += left;
  for (size_t id = 0; id < accountTotal; ++id) {
    const QString& before = plan.accounts[id].ourName;
    if (present[id] && !before.isEmpty() && before != records[id].AccountName) {
      merged.summary.renamed << QStringLiteral("%1 → %2").arg(trimmed(before),
                                                              trimmed(records[id].AccountName));
    }
  }
  if (auto reason = unsoundReason(book)) return *reason;
  return merged;
}

std::variant<Merged, QString> mergeBooks(const store::BookTables& base,
                                         const store::BookTables& ours,
                                         const store::BookTables& theirs) {
  auto planned = plan(base, ours, theirs);
  if (const QString* refused = std::get_if<QString>(&planned)) return *refused;
  const Plan& steps = std::get<Plan>(planned);
  if (!steps.conflicts.empty())
    return QStringLiteral("有 %1 個衝突要先決定").arg(steps.conflicts.size());
  return apply(steps, {});
}

std::optional<QString> unsoundReason(const store::BookTables& tables) {
  if (!countsFit(tables)) return QStringLiteral("帳戶或記錄超過上限");
  QSet<QString> names;
  for (int slot = 1; slot < tables.accountCount; ++slot)
    names.insert(tables.accounts[slot].AccountName);
  for (int slot = 1; slot < tables.entryCount; ++slot) {
    const store::LedgerEntry& e = tables.entries[slot];
    for (const QString* name : {&e.IncreaseAccount, &e.DecreaseAccount}) {
      if (!names.contains(*name))
        return QStringLiteral("記錄用到的帳戶「%1」不在帳戶表裡").arg(trimmed(*name));
    }
  }
  // What the files would hold must read back as the same book.
  const QByteArray accountBytes = store::accountsFileBytes(tables.accounts, tables.accountCount);
  const QByteArray entryBytes = store::entriesFileBytes(tables.entries, tables.entryCount);
  store::BookTables again;
  const auto accounts = store::readAccounts(accountBytes, again.accounts);
  const auto entries = store::readEntries(entryBytes, again.entries);
  if (const QString* reason = std::get_if<QString>(&accounts)) return *reason;
  if (const QString* reason = std::get_if<QString>(&entries)) return *reason;
  if (std::get<int>(accounts) != tables.accountCount ||
      std::get<int>(entries) != tables.entryCount ||
      store::accountsFileBytes(again.accounts, tables.accountCount) != accountBytes ||
      store::entriesFileBytes(again.entries, tables.entryCount) != entryBytes) {
    return QStringLiteral("合併後的帳本讀不回原樣");
  }
  return std::nullopt;
}

}  // namespace merge
