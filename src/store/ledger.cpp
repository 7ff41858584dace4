#include "store/ledger.h"

#include "platform/codepage.h"
#include "store/booktables.h"

#include <QHash>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace store {

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

constexpr Sign signOf(int kind, int otherKind, bool firstSide) {
  if (kind < 0 || kind > 4 || otherKind < 0 || otherKind > 4) return Sign::None;
  return firstSide ? kFirstSide[kind][otherKind] : kSecondSide[kind][otherKind];
}

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

std::unordered_map<QString, NameInfo, FieldHash, SameFieldText> nameIndex(const BookTables& book) {
  std::unordered_map<QString, NameInfo, FieldHash, SameFieldText> index;
  index.reserve(static_cast<size_t>(std::max(book.accountCount - 1, 0)));
  for (int slot = 1; slot < book.accountCount; ++slot) {
    const AccountRecord& a = book.accounts[slot];
    index.try_emplace(a.AccountName, NameInfo{a.AccountKind, trimTrailingSpaces(a.AccountName)});
  }
  return index;
}

}  // namespace

Sign signRule(int kind, int otherKind, bool firstSide) {
  return signOf(kind, otherKind, firstSide);
}

int kindOfName(const BookTables& book, const QString& name) {
  const int slot = book.accountSlot(name);
  return slot == 0 ? -1 : book.accounts[slot].AccountKind;
}

namespace {

using SlotsOfName = std::unordered_map<QString, std::vector<int>, FieldHash, SameFieldText>;

// Every slot that carries a name (a chart may hold a name twice), first slot first: its kind is
// the one the sign rule looks up.
SlotsOfName slotsOfNames(const AccountTableType& accounts, int accountCount) {
  SlotsOfName slotsOf;
  slotsOf.reserve(static_cast<size_t>(std::max(accountCount - 1, 0)));
  for (int slot = 1; slot < accountCount; ++slot)
    slotsOf[accounts[slot].AccountName].push_back(slot);
  return slotsOf;
}

// One entry counted for the accounts on both its sides.
void addEntry(std::vector<qint64>& balances, const AccountTableType& accounts,
              const std::vector<int>& increase, const std::vector<int>& decrease, qint32 amount) {
  const int increaseKind = increase.empty() ? -1 : accounts[increase.front()].AccountKind;
  const int decreaseKind = decrease.empty() ? -1 : accounts[decrease.front()].AccountKind;
  for (const int slot : increase) {
    balances[slot - 1] += apply(signOf(accounts[slot].AccountKind, decreaseKind, true), amount);
  }
  for (const int slot : decrease) {
    balances[slot - 1] += apply(signOf(accounts[slot].AccountKind, increaseKind, false), amount);
  }
}

const std::vector<int> kNoSlots;

// A stored name's 20 bytes as three words, for comparing and hashing without a byte loop.
struct NameKey {
  quint64 head = 0;
  quint64 middle = 0;
  quint32 tail = 0;

  NameKey() = default;
  explicit NameKey(const char* bytes) {
    static_assert(kNameWidth == 20);
    std::memcpy(&head, bytes, 8);
    std::memcpy(&middle, bytes + 8, 8);
    std::memcpy(&tail, bytes + 16, 4);
  }
  bool operator==(const NameKey&) const = default;
  quint64 hash() const {
    return head * 0x9E3779B97F4A7C15ull ^ middle * 0xC2B2AE3D27D4EB4Full ^
           tail * 0x165667B19E3779F9ull;
  }
};

// The slots named by each name's bytes met in the entries: open addressing in a table that
// doubles before it is half full. A chart's worth of names covers nearly every entry, so a
// look-up is a hash and a compare or two.
class SlotsByBytes {
 public:
  template <typename Resolve>
  const std::vector<int>& find(const char* bytes, Resolve resolve) {
    const NameKey key(bytes);
    size_t at = index(key);
    while (cells_[at].named) {
      if (cells_[at].key == key) return *cells_[at].named;
      at = (at + 1) & (cells_.size() - 1);
    }
    const std::vector<int>* named = &resolve(bytes);
    cells_[at] = Cell{key, named};
    if (++used_ * 2 > cells_.size()) grow();
    return *named;
  }

 private:
  struct Cell {
    NameKey key;
    const std::vector<int>* named = nullptr;
  };
  size_t index(const NameKey& key) const {
    return static_cast<size_t>(key.hash() >> (64 - bits_)) & (cells_.size() - 1);
  }
  void grow() {
    std::vector<Cell> old(cells_.size() * 2);
    old.swap(cells_);
    ++bits_;
    for (const Cell& cell : old) {
      if (!cell.named) continue;
      size_t at = index(cell.key);
      while (cells_[at].named) at = (at + 1) & (cells_.size() - 1);
      cells_[at] = cell;
    }
  }

  int bits_ = 8;
  std::vector<Cell> cells_ = std::vector<Cell>(size_t{1} << 8);
  size_t used_ = 0;
};

// A date field of plain ASCII bytes compared with a plain ASCII date of the same width, as
// their decoded texts would compare: byte order is character order for ASCII.
struct PlainDate {
  quint64 head = 0;
  quint16 tail = 0;

  explicit PlainDate(const char* bytes) {
    static_assert(kDateWidth == 10);
    std::memcpy(&head, bytes, 8);
    std::memcpy(&tail, bytes + 8, 2);
  }
  bool ascii() const { return ((head & 0x8080808080808080ull) | (tail & 0x8080u)) == 0; }
  // Most significant byte first, so that the words compare as the bytes do.
  bool after(const PlainDate& other) const {
    const quint64 a = qFromBigEndian(head);
    const quint64 b = qFromBigEndian(other.head);
    if (a != b) return a > b;
    return qFromBigEndian(tail) > qFromBigEndian(other.tail);
  }
};

}  // namespace

std::vector<qint64> allAccountBalances(const BookTables& book, const QString& date) {
  const AccountTableType& accounts = book.accounts;
  std::vector<qint64> balances(static_cast<size_t>(std::max(book.accountCount - 1, 0)), 0);
  const SlotsOfName slotsOf = slotsOfNames(accounts, book.accountCount);
  // Entries mostly share their names' text with the accounts (loading and the entry dialog
  // copy the account's own name), so the text's address finds the slots without hashing it.
  std::unordered_map<const QChar*, const std::vector<int>*> slotsAt;
  slotsAt.reserve(slotsOf.size());
  for (const auto& [name, named] : slotsOf) slotsAt.emplace(name.constData(), &named);
  auto slotsNamed = [&](const QString& name) -> const std::vector<int>& {
    if (const auto at = slotsAt.find(name.constData());
        at != slotsAt.end() && name.size() == kNameWidth) {
      return *at->second;
    }
    const auto it = slotsOf.find(name);
    return it == slotsOf.end() ? kNoSlots : it->second;
  };

  for (int i = 1; i < book.entryCount; ++i) {
    const LedgerEntry& e = book.entries[i];
    const std::vector<int>& increase = slotsNamed(e.IncreaseAccount);
    const std::vector<int>& decrease = slotsNamed(e.DecreaseAccount);
    if ((increase.empty() && decrease.empty()) || e.EntryDate > date) continue;
    addEntry(balances, accounts, increase, decrease, e.Amount);
  }
  return balances;
}

std::vector<qint64> recordBalances(const AccountTableType& accounts, int accountCount,
                                   const QByteArray& entryRecords, int records,
                                   const QString& date) {
  std::vector<qint64> balances(static_cast<size_t>(std::max(accountCount - 1, 0)), 0);
  const SlotsOfName slotsOf = slotsOfNames(accounts, accountCount);
  // Each name's bytes are decoded once, the first time an entry carries them.
  SlotsByBytes slotsOfBytes;
  auto resolve = [&](const char* field) -> const std::vector<int>& {
    const auto it = slotsOf.find(codepage::fieldFromBytes(field, kNameWidth));
    return it == slotsOf.end() ? kNoSlots : it->second;
  };
  // A date of plain ASCII bytes reads as itself; any other date is decoded first, for the
  // comparison the decoded table would make.
  const QByteArray dateBytes = date.toLatin1();
  const bool plainDate = date.size() == kDateWidth && dateBytes.size() == kDateWidth &&
                         QLatin1StringView(dateBytes) == date &&
                         PlainDate(dateBytes.constData()).ascii();
  const PlainDate last(plainDate ? dateBytes.constData() : "0000000000");
  auto after = [&](const char* field) {
    const PlainDate entryDate(field);
    if (plainDate && entryDate.ascii()) return entryDate.after(last);
    return codepage::fieldFromBytes(field, kDateWidth) > date;
  };

  for (int i = 0; i < records; ++i) {
    const char* record = entryRecords.constData() + qsizetype(i) * kRecordLength;
    const std::vector<int>& increase = slotsOfBytes.find(record + field::kIncrease, resolve);
    const std::vector<int>& decrease = slotsOfBytes.find(record + field::kDecrease, resolve);
    if ((increase.empty() && decrease.empty()) || after(record + field::kDate)) continue;
    addEntry(balances, accounts, increase, decrease,
             qFromLittleEndian<qint32>(record + field::kAmount));
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
  row.memo = trimTrailingSpaces(e.Memo);
  row.number = QString::number(entrySlot);
  row.slot = entrySlot;
  row.runningTotal = apply(sign, e.Amount);
  return row;
}

}  // namespace

LedgerRow ledgerRowOf(const BookTables& book, int entrySlot, bool firstSide) {
  const LedgerEntry& e = book.entries[entrySlot];
  const QString& own = firstSide ? e.IncreaseAccount : e.DecreaseAccount;
  const QString& other = firstSide ? e.DecreaseAccount : e.IncreaseAccount;
  const Sign sign = signRule(kindOfName(book, own), kindOfName(book, other), firstSide);
  return entryRow(e, entrySlot, trimTrailingSpaces(other), sign);
}

std::vector<LedgerRow> showLedger(const BookTables& book, int slot) {
  std::vector<LedgerRow> rows;
  const AccountRecord& account = book.accounts[slot];
  const auto names = nameIndex(book);
  auto addRow = [&](const LedgerEntry& e, int entrySlot, const QString& other, bool firstSide) {
    const auto known = names.find(other);
    const bool isAccount = known != names.end();
    const Sign sign = signRule(account.AccountKind, isAccount ? known->second.kind : -1, firstSide);
    rows.push_back(
        entryRow(e, entrySlot, isAccount ? known->second.shown : trimTrailingSpaces(other), sign));
  };
  for (int i = 1; i < book.entryCount; ++i) {
    const LedgerEntry& e = book.entries[i];
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

QStringList accountListNames(const BookTables& book) {
  QStringList names;
  names.reserve(book.accountCount - 1);
  for (int slot = 1; slot < book.accountCount; ++slot)
    names.append(book.accounts[slot].AccountName);
  return names;
}

QString trimTrailingSpaces(const QString& text) {
  qsizetype end = text.size();
  while (end > 0 && text.at(end - 1) == QLatin1Char(' ')) --end;
  return text.left(end);
}

void markDeleted(BookTables& book, int slot) { book.entries[slot].EntryDate = kDeleteMarker; }

void compactEntries(BookTables& book) {
  int write = 1;
  for (int slot = 1; slot < book.entryCount; ++slot) {
    if (sameField(book.entries[slot].EntryDate, kDeleteMarker)) continue;
    if (write != slot) book.entries[write] = std::move(book.entries[slot]);
    ++write;
  }
  book.entryCount = write;
}

}  // namespace store
