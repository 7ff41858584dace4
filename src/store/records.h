#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace store {

// The records of one database and the tables that hold them in memory.

inline constexpr int kDateWidth = 10;
inline constexpr int kNameWidth = 20;
inline constexpr int kMemoWidth = 50;
inline constexpr int kMaxEntries = 3000;
inline constexpr int kMaxAccounts = 100;
inline constexpr int kRecordLength = 128;
inline constexpr int kAccountDataBytes = 22;
inline constexpr int kEntryDataBytes = 104;

// Where each field sits in a record's data bytes; the reader and the writer both go by these.
namespace field {
inline constexpr int kAccountName = 0;
inline constexpr int kAccountKind = kAccountName + kNameWidth;  // qint16, little-endian
inline constexpr int kDate = 0;
inline constexpr int kIncrease = kDate + kDateWidth;
inline constexpr int kDecrease = kIncrease + kNameWidth;
inline constexpr int kAmount = kDecrease + kNameWidth;  // qint32, little-endian
inline constexpr int kMemo = kAmount + 4;
static_assert(kAccountKind + 2 == kAccountDataBytes);
static_assert(kMemo + kMemoWidth == kEntryDataBytes);
}  // namespace field

// The names a new database starts with, and the memo of every initial-value entry.
inline const QString kEquityName = QStringLiteral("Equity");
inline const QString kCashName = QStringLiteral("A-現金");
inline const QString kInitialMemo = QStringLiteral("初值");

// Account kinds as stored in AccountKind.
enum AccountKindCode : qint16 {
  kEquity = 0,
  kAsset = 1,
  kLiability = 2,
  kIncome = 3,
  kExpense = 4,
};

// An entry while a deletion is under way: its date holds this marker.
inline const QString kDeleteMarker = QStringLiteral("DeleteData");

struct LedgerEntry {
  QString EntryDate;        // "yyyy/mm/dd", 10 characters
  QString IncreaseAccount;  // first side, 20 characters
  QString DecreaseAccount;  // second side, 20 characters
  qint32 Amount = 0;
  QString Memo;  // 50 characters

  bool operator==(const LedgerEntry&) const = default;
};

struct AccountRecord {
  QString AccountName;  // 20 characters, kind prefix included
  qint16 AccountKind = 0;

  bool operator==(const AccountRecord&) const = default;
};

// Whether two fields hold the same text, code by code. The same as ==, without the general
// comparison Qt makes for it: the ledger compares names thousands of times.
inline bool sameField(const QString& a, const QString& b) {
  const qsizetype n = a.size();
  if (n != b.size()) return false;
  const QChar* p = a.constData();
  const QChar* q = b.constData();
  if (p == q) return true;
  // Names mostly differ within their first four characters: one word tells.
  qsizetype i = 0;
  if (n >= 4) {
    std::uint64_t x;
    std::uint64_t y;
    std::memcpy(&x, p, sizeof x);
    std::memcpy(&y, q, sizeof y);
    if (x != y) return false;
    i = 4;
  }
  for (; i < n; ++i) {
    if (p[i] != q[i]) return false;
  }
  return true;
}

// Text as a fixed-width field holds it in memory (cut to what its bytes hold on disk, padded
// with blanks). Every text stored into a record goes through one of these.
QString dateField(const QString& text);
QString nameField(const QString& text);
QString memoField(const QString& text);

LedgerEntry makeEntry(const QString& date, const QString& increase, const QString& decrease,
                      qint32 amount, const QString& memo);
AccountRecord makeAccount(const QString& name, qint16 kind);

// A table with slots numbered from 1 to Slots. The count that goes with it (the first free
// slot) lives beside it in the store.
template <typename Record, int Slots>
class SlotTable {
 public:
  SlotTable() : slots_(Slots + 1) {}

  static constexpr int capacity() { return Slots; }

  Record& operator[](int slot) {
    Q_ASSERT(slot >= 1 && slot <= Slots);
    return slots_[static_cast<size_t>(slot)];
  }
  const Record& operator[](int slot) const {
    Q_ASSERT(slot >= 1 && slot <= Slots);
    return slots_[static_cast<size_t>(slot)];
  }

  void clear() {
    for (Record& r : slots_) r = Record{};
  }

  void swap(SlotTable& other) noexcept { slots_.swap(other.slots_); }

  bool operator==(const SlotTable&) const = default;

 private:
  std::vector<Record> slots_;  // slot 0 unused
};

using EntryTableType = SlotTable<LedgerEntry, kMaxEntries>;
using AccountTableType = SlotTable<AccountRecord, kMaxAccounts>;

// Exchanges two values of the same type; the account editor moves accounts with it.
template <typename T>
void swapValues(T& a, T& b) {
  using std::swap;
  swap(a, b);
}

}  // namespace store
