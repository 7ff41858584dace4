#include "store/ledger.h"

#include "store/Module1.h"

#include <QHash>

#include <algorithm>
#include <unordered_map>

namespace {

// Rows: K's kind 0..4; columns: the other side's kind 0..4.
constexpr Sign P = Sign::Plus;
constexpr Sign M = Sign::Minus;
constexpr Sign N = Sign::None;

constexpr Sign kFirstSide[5][5] = {
    {N, N, N, N, N},  // equity
    {P, P, P, N, N},  // asset
    {P, M, P, N, N},  // liability
    {P, P, P, N, N},  // income
    {P, P, P, N, N},  // expense
};

constexpr Sign kSecondSide[5][5] = {
    {N, P, M, M, P},  // equity
    {N, M, M, P, M},  // asset
    {M, P, M, M, P},  // liability
    {N, N, N, N, N},  // income
    {N, N, N, N, N},  // expense
};

qint64 apply(Sign sign, qint32 amount) {
  switch (sign) {
    case Sign::Plus:
      return amount;
    case Sign::Minus:
      return -static_cast<qint64>(amount);
    case Sign::None:
      break;
  }
  return 0;
}

QString signedText(Sign sign, qint32 amount) {
  if (sign == Sign::None) return {};
  return QString::number(apply(sign, amount));
}

struct FieldHash {
  size_t operator()(const QString& s) const { return qHash(s); }
};
struct SameFieldText {
  bool operator()(const QString& a, const QString& b) const { return sameField(a, b); }
};

// What the ledger needs to know of each account name: the kind of its first slot (the one the
// sign rule looks up) and the name as shown.
struct NameInfo {
  int kind = -1;
  QString shown;
};

std::unordered_map<QString, NameInfo, FieldHash, SameFieldText> nameIndex(const Module1& store) {
  std::unordered_map<QString, NameInfo, FieldHash, SameFieldText> index;
  index.reserve(static_cast<size_t>(std::max(store.AccountCount - 1, 0)));
  for (int slot = 1; slot < store.AccountCount; ++slot) {
    const AccountRecord& a = store.AccountTable[slot];
    index.try_emplace(a.AccountName, NameInfo{a.AccountKind, TrimTrailingSpaces(a.AccountName)});
  }
  return index;
}

}  // namespace

Sign signRule(int kind, int otherKind, bool firstSide) {
  if (kind < 0 || kind > 4 || otherKind < 0 || otherKind > 4) return Sign::None;
  return firstSide ? kFirstSide[kind][otherKind] : kSecondSide[kind][otherKind];
}

int kindOfName(const Module1& store, const QString& name) {
  const int slot = store.accountSlot(name);
  return slot == 0 ? -1 : store.AccountTable[slot].AccountKind;
}

std::vector<qint64> allAccountBalances(const Module1& store, const QString& date) {
  const int accounts = std::max(store.AccountCount - 1, 0);
  std::vector<qint64> balances(static_cast<size_t>(accounts), 0);
  // Every slot that carries a name (a chart may hold a name twice), first slot first: its
  // kind is the one the sign rule looks up.
  std::unordered_map<QString, std::vector<int>, FieldHash, SameFieldText> slotsOf;
  slotsOf.reserve(static_cast<size_t>(accounts));
  for (int slot = 1; slot <= accounts; ++slot) {
    slotsOf[store.AccountTable[slot].AccountName].push_back(slot);
  }
  // Entries mostly share their names' text with the accounts (loading and the entry dialog
  // copy the account's own name), so the text's address finds the slots without hashing it.
  std::unordered_map<const QChar*, const std::vector<int>*> slotsAt;
  slotsAt.reserve(static_cast<size_t>(accounts));
  for (const auto& [name, named] : slotsOf) slotsAt.emplace(name.constData(), &named);
  static const std::vector<int> kNone;
  auto slotsNamed = [&](const QString& name) -> const std::vector<int>& {
    if (const auto at = slotsAt.find(name.constData());
        at != slotsAt.end() && name.size() == kNameWidth) {
      return *at->second;
    }
    const auto it = slotsOf.find(name);
    return it == slotsOf.end() ? kNone : it->second;
  };

  for (int i = 1; i < store.EntryCount; ++i) {
    const LedgerEntry& e = store.EntryTable[i];
    const std::vector<int>& increase = slotsNamed(e.IncreaseAccount);
    const std::vector<int>& decrease = slotsNamed(e.DecreaseAccount);
    if ((increase.empty() && decrease.empty()) || e.EntryDate > date) continue;
    const int increaseKind =
        increase.empty() ? -1 : store.AccountTable[increase.front()].AccountKind;
    const int decreaseKind =
        decrease.empty() ? -1 : store.AccountTable[decrease.front()].AccountKind;
    for (const int slot : increase) {
      balances[slot - 1] +=
          apply(signRule(store.AccountTable[slot].AccountKind, decreaseKind, true), e.Amount);
    }
    for (const int slot : decrease) {
      balances[slot - 1] +=
          apply(signRule(store.AccountTable[slot].AccountKind, increaseKind, false), e.Amount);
    }
  }
  return balances;
}

namespace {

// A row before the totals are run: runningTotal holds the signed amount.
LedgerRow entryRow(const LedgerEntry& e, int entrySlot, const QString& otherShown, Sign sign) {
  LedgerRow row;
  row.date = e.EntryDate;
  row.other = otherShown;
  row.amount = signedText(sign, e.Amount);
  row.memo = TrimTrailingSpaces(e.Memo);
  row.number = QString::number(entrySlot);
  row.slot = entrySlot;
  row.runningTotal = apply(sign, e.Amount);
  return row;
}

}  // namespace

LedgerRow ledgerRowOf(const Module1& store, int entrySlot, bool firstSide) {
  const LedgerEntry& e = store.EntryTable[entrySlot];
  const QString& own = firstSide ? e.IncreaseAccount : e.DecreaseAccount;
  const QString& other = firstSide ? e.DecreaseAccount : e.IncreaseAccount;
  const Sign sign = signRule(kindOfName(store, own), kindOfName(store, other), firstSide);
  return entryRow(e, entrySlot, TrimTrailingSpaces(other), sign);
}

std::vector<LedgerRow> ShowLedger(const Module1& store, int slot) {
  std::vector<LedgerRow> rows;
  const AccountRecord& account = store.AccountTable[slot];
  const auto names = nameIndex(store);
  auto addRow = [&](const LedgerEntry& e, int entrySlot, const QString& other, bool firstSide) {
    const auto known = names.find(other);
    const bool isAccount = known != names.end();
    const Sign sign = signRule(account.AccountKind, isAccount ? known->second.kind : -1, firstSide);
    rows.push_back(
        entryRow(e, entrySlot, isAccount ? known->second.shown : TrimTrailingSpaces(other), sign));
  };
  for (int i = 1; i < store.EntryCount; ++i) {
    const LedgerEntry& e = store.EntryTable[i];
    if (sameField(e.IncreaseAccount, account.AccountName)) addRow(e, i, e.DecreaseAccount, true);
    if (sameField(e.DecreaseAccount, account.AccountName)) addRow(e, i, e.IncreaseAccount, false);
  }
  qint64 total = 0;
  for (LedgerRow& row : rows) {
    const qint64 amount = row.runningTotal;
    row.amountRed = amount < 0;
    total += amount;
    row.totalRed = total < 0;
    row.runningTotal = total;
    row.total = total >= 0 ? QLatin1Char(' ') + QString::number(total) : QString::number(total);
  }
  return rows;
}

QStringList accountListNames(const Module1& store) {
  QStringList names;
  names.reserve(store.AccountCount - 1);
  for (int slot = 1; slot < store.AccountCount; ++slot)
    names.append(store.AccountTable[slot].AccountName);
  return names;
}

QString TrimTrailingSpaces(const QString& text) {
  qsizetype end = text.size();
  while (end > 0 && text.at(end - 1) == QLatin1Char(' ')) --end;
  return text.left(end);
}

void markDeleted(Module1& store, int slot) { store.EntryTable[slot].EntryDate = kDeleteMarker; }

void CompactEntries(Module1& store) {
  int write = 1;
  for (int slot = 1; slot < store.EntryCount; ++slot) {
    if (sameField(store.EntryTable[slot].EntryDate, kDeleteMarker)) continue;
    if (write != slot) store.EntryTable[write] = std::move(store.EntryTable[slot]);
    ++write;
  }
  store.EntryCount = write;
}
