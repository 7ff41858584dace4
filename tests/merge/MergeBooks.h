#pragma once

// Books as tables for the merge tests, and the edits a person makes on one computer.

#include "Books.h"
#include "store/ledger.h"

#include <random>
#include <string>
#include <vector>

namespace mergebooks {

struct Row {
  QString date, increase, decrease;
  qint32 amount;
  QString memo;
};

// The meals of the merge tests' books, paid in cash.
inline const QString kCash = QStringLiteral("A-現金"), kFood = QStringLiteral("E-餐飲");
inline const Row kLunch{"2024/01/10", kFood, kCash, 100, "午餐"},
    kDinner{"2024/08/01", kFood, kCash, 50, "晚餐"}, kSnack{"2024/09/01", kFood, kCash, 20, "點心"};

// A state folder (this computer's bases of books) of its own while the object lives.
struct OwnState {
  QTemporaryDir dir;
  QByteArray before = qgetenv("XDG_STATE_HOME");
  OwnState() { qputenv("XDG_STATE_HOME", dir.path().toUtf8()); }
  ~OwnState() { qputenv("XDG_STATE_HOME", before); }
};

inline void add(store::BookTables& b, const Row& r) {
  b.entries[b.entryCount++] = store::makeEntry(r.date, r.increase, r.decrease, r.amount, r.memo);
}

inline store::BookTables bookOf(const QStringList& chart, const std::vector<Row>& rows) {
  store::BookTables b;
  for (const QString& name : chart)
    b.accounts[b.accountCount++] = store::makeAccount(name, testbooks::kindOfPrefix(name));
  for (const Row& r : rows) add(b, r);
  return b;
}

inline QByteArray accountsOf(const store::BookTables& b) {
  return store::accountsFileBytes(b.accounts, b.accountCount);
}
inline QByteArray entriesOf(const store::BookTables& b) {
  return store::entriesFileBytes(b.entries, b.entryCount);
}
inline QByteArray bytesOf(const store::BookTables& b) { return accountsOf(b) + "|" + entriesOf(b); }

// The records in words, in order: what a failed comparison shows.
inline std::vector<std::string> linesOf(const store::BookTables& b) {
  std::vector<std::string> lines;
  for (int s = 1; s < b.accountCount; ++s) {
    const store::AccountRecord& a = b.accounts[s];
    lines.push_back((a.AccountName + ' ' + QString::number(a.AccountKind)).toStdString());
  }
  for (int s = 1; s < b.entryCount; ++s) {
    const store::LedgerEntry& e = b.entries[s];
    const QStringList fields{e.EntryDate, e.IncreaseAccount, e.DecreaseAccount,
                             QString::number(e.Amount), e.Memo.trimmed()};
    lines.push_back(fields.join(u'|').toStdString());
  }
  return lines;
}

inline std::vector<qint64> balancesOf(const store::BookTables& b,
                                      const QString& date = "9999/12/31") {
  return store::allAccountBalances(b, date);
}

template <typename Gone>
void removeEntriesIf(store::BookTables& b, const Gone& gone) {
  for (int slot = 1; slot < b.entryCount; ++slot)
    if (gone(slot)) store::markDeleted(b, slot);
  store::compactEntries(b);
}

// Random numbers and dates of a few years, from one seed.
struct Dice {
  std::mt19937 rng;
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
  QString date() {
    return QStringLiteral("%1/%2/%3")
        .arg(pick(2019, 2024))
        .arg(pick(1, 12), 2, 10, QChar('0'))
        .arg(pick(1, 28), 2, 10, QChar('0'));
  }
};

// One computer's session on its copy: entries added, changed, deleted; accounts added and
// renamed; the books closed; a range of dates deleted. New names and memos carry `mark`. With a
// `parity` of 0 or 1 the session changes only the base's entries and accounts of that parity
// and leaves deleting to the side allowed `wholeBook` work: two such sessions never make the
// same change.
class Session : Dice {
 public:
  Session(store::BookTables start, unsigned seed, QString mark, int parity, bool wholeBook)
      : Dice{std::mt19937(seed)},
        book(std::move(start)),
        mark_(std::move(mark)),
        parity_(parity),
        wholeBook_(wholeBook) {}

  void run(int steps) {
    for (int i = 0; i < steps; ++i) step(pick(0, wholeBook_ ? 9 : 6));
  }
  store::BookTables book;

 private:
  QString anyAccount() { return book.accounts[pick(1, book.accountCount - 1)].AccountName; }
  bool mine(int number) const { return parity_ < 0 || number % 2 == parity_; }
  // The base's entries carry "底n" memos: n tells whose they are.
  int touchableEntry() {
    std::vector<int> found;
    for (int s = 1; s < book.entryCount; ++s) {
      const QString memo = book.entries[s].Memo.trimmed();
      if (parity_ < 0 || (memo.startsWith(u'底') && mine(memo.mid(1).toInt()))) found.push_back(s);
    }
    return found.empty() ? 0 : found[static_cast<size_t>(pick(0, int(found.size()) - 1))];
  }
  void append(const store::LedgerEntry& e) {
    if (book.entryCount <= store::kMaxEntries) book.entries[book.entryCount++] = e;
  }

  void step(int what) {
    const int slot = what >= 3 && what <= 4 ? touchableEntry() : 0;
    if (what <= 2) {
      append(store::makeEntry(date(), anyAccount(), anyAccount(), pick(1, 9000),
                              mark_ + QString::number(++made_)));
    } else if (slot != 0 && what == 3) {
      book.entries[slot].Amount = pick(1, 9000);
    } else if (slot != 0) {
      book.entries[slot].EntryDate = store::dateField(date());
    } else if (what == 5) {
      const int account = pick(3, std::max(3, book.accountCount - 1));
      if (account >= book.accountCount || !mine(account)) return;
      const QString was = book.accounts[account].AccountName;
      const QString now = store::nameField(was.left(2) + mark_ + QString::number(++made_));
      book.accounts[account].AccountName = now;  // every entry follows the account
      for (int s = 1; s < book.entryCount; ++s) {
        for (QString* name : {&book.entries[s].IncreaseAccount, &book.entries[s].DecreaseAccount})
          if (*name == was) *name = now;
      }
    } else if (what == 6 && book.accountCount <= store::kMaxAccounts) {
      const qint16 kind = qint16(pick(store::kAsset, store::kExpense));
      const QString name =
          QStringLiteral("ALIE").mid(kind - 1, 1) + "-" + mark_ + "新" + QString::number(++made_);
      book.accounts[book.accountCount++] = store::makeAccount(name, kind);
      if (kind == store::kAsset || kind == store::kLiability)
        append(store::makeEntry("2024/07/15", name, store::kEquityName, 0, store::kInitialMemo));
    } else if (what == 7) {
      const int gone = touchableEntry();
      removeEntriesIf(book, [&](int s) { return s == gone; });
    } else if (what == 8) {
      // The carried balances follow the entries that stay, in the accounts' slot order.
      const QString day = store::dateField(date());
      const std::vector<qint64> balances = balancesOf(book, day);
      removeEntriesIf(book, [&](int s) { return book.entries[s].EntryDate <= day; });
      for (int a = 1; a < book.accountCount; ++a) {
        if (book.accounts[a].AccountKind == store::kAsset ||
            book.accounts[a].AccountKind == store::kLiability)
          append(store::makeEntry(day, book.accounts[a].AccountName, store::kEquityName,
                                  qint32(balances[size_t(a - 1)]), store::kInitialMemo));
      }
    } else if (what == 9) {
      const QString first = store::dateField(date()), second = store::dateField(date());
      removeEntriesIf(book, [&](int s) {
        const QString& d = book.entries[s].EntryDate;
        return d >= std::min(first, second) && d <= std::max(first, second);
      });
    }
  }

  QString mark_;
  int parity_;
  bool wholeBook_;
  int made_ = 0;
};

// A household's book of a few years.
inline store::BookTables randomBase(unsigned seed, int entries) {
  store::BookTables b = bookOf(
      {"Equity", "A-現金", "A-銀行", "L-信用卡", "I-薪水", "E-餐飲", "E-交通", "I-利息"}, {});
  Dice dice{std::mt19937(seed)};
  for (int i = 0; i < entries; ++i) {
    b.entries[b.entryCount++] =
        store::makeEntry(dice.date(), b.accounts[dice.pick(2, b.accountCount - 1)].AccountName,
                         b.accounts[dice.pick(1, b.accountCount - 1)].AccountName,
                         dice.pick(1, 9000), QStringLiteral("底%1").arg(i));
  }
  return b;
}

}  // namespace mergebooks
