#pragma once

// Books as tables for the merge tests, and the edits a person makes on one computer: entries
// added, changed and deleted, accounts added and renamed, the books closed, a range deleted.

#include "store/database.h"
#include "store/ledger.h"
#include "store/records.h"

#include <QString>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace mergebooks {

struct Row {
  QString date, increase, decrease;
  qint32 amount;
  QString memo;
};

inline qint16 kindOf(const QString& name) {
  const int at = QStringLiteral("ALIE").indexOf(name.left(1));
  return name.mid(1, 1) == u'-' && at >= 0 ? qint16(kAsset + at) : qint16(kEquity);
}

inline BookTables book(std::initializer_list<QString> chart, const std::vector<Row>& rows) {
  BookTables b;
  for (const QString& name : chart) b.accounts[b.accountCount++] = makeAccount(name, kindOf(name));
  for (const Row& r : rows)
    b.entries[b.entryCount++] = makeEntry(r.date, r.increase, r.decrease, r.amount, r.memo);
  return b;
}

inline QByteArray bytesOf(const BookTables& b) {
  return accountsFileBytes(b.accounts, b.accountCount) + "|" +
         entriesFileBytes(b.entries, b.entryCount);
}

// The book's records in words, in order: what a failed comparison shows.
inline std::vector<std::string> linesOf(const BookTables& b) {
  std::vector<std::string> lines;
  for (int s = 1; s < b.accountCount; ++s)
    lines.push_back(QStringLiteral("%1 %2").arg(b.accounts[s].AccountName).arg(b.accounts[s].AccountKind).toStdString());
  for (int s = 1; s < b.entryCount; ++s) {
    const LedgerEntry& e = b.entries[s];
    lines.push_back(QStringLiteral("%1|%2|%3|%4|%5").arg(e.EntryDate, e.IncreaseAccount, e.DecreaseAccount)
                        .arg(e.Amount).arg(e.Memo.trimmed()).toStdString());
  }
  return lines;
}

// Each account's balance over all entries, by its name.
inline qint64 balanceOf(const BookTables& b, const QString& name) {
  const std::vector<qint64> all =
      recordBalances(b.accounts, b.accountCount, entriesFileBytes(b.entries, b.entryCount),
                     b.entryCount - 1, QStringLiteral("9999/12/31"));
  for (int slot = 1; slot < b.accountCount; ++slot)
    if (b.accounts[slot].AccountName == nameField(name)) return all[static_cast<size_t>(slot - 1)];
  return 0;
}

inline void removeEntriesIf(BookTables& b, const auto& gone) {
  int to = 1;
  for (int from = 1; from < b.entryCount; ++from)
    if (!gone(b.entries[from])) b.entries[to++] = b.entries[from];
  for (int slot = to; slot < b.entryCount; ++slot) b.entries[slot] = LedgerEntry{};
  b.entryCount = to;
}

// One computer's session of edits on its copy. `mark` tells its new names and memos apart;
// `parity` limits its changes of existing entries and accounts to every other one, so that two
// sessions never make the same change (-1: no limit); `wholeBook` allows deleting, closing and
// deleting a range.
class Session {
 public:
  Session(BookTables start, unsigned seed, QString mark, int parity, bool wholeBook)
      : book(std::move(start)), rng_(seed), mark_(std::move(mark)), parity_(parity),
        wholeBook_(wholeBook) {}

  BookTables book;

  void run(int steps) {
    for (int i = 0; i < steps; ++i) step();
  }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
  QString date() {
    return QStringLiteral("%1/%2/%3")
        .arg(pick(2019, 2024))
        .arg(pick(1, 12), 2, 10, QChar('0'))
        .arg(pick(1, 28), 2, 10, QChar('0'));
  }
  QString anyAccount() { return book.accounts[pick(1, book.accountCount - 1)].AccountName; }
  bool mayTouch(int position) const { return parity_ < 0 || position % 2 == parity_; }
  // Entries from the base carry "底n" memos: their n decides which session may touch them.
  int touchableEntry() {
    std::vector<int> candidates;
    for (int s = 1; s < book.entryCount; ++s) {
      const QString memo = TrimTrailingSpaces(book.entries[s].Memo);
      if (parity_ < 0 || (memo.startsWith(u'底') && mayTouch(memo.mid(1).toInt()))) candidates.push_back(s);
    }
    return candidates.empty() ? 0 : candidates[static_cast<size_t>(pick(0, int(candidates.size()) - 1))];
  }

  void step() {
    const int what = pick(0, wholeBook_ ? 9 : 6);
    if (what <= 2 && book.entryCount <= kMaxEntries) {
      book.entries[book.entryCount++] = makeEntry(date(), anyAccount(), anyAccount(), pick(1, 9000),
                                                  mark_ + QString::number(++made_));
    } else if (what <= 4) {
      if (const int slot = touchableEntry()) {
        LedgerEntry& e = book.entries[slot];
        if (pick(0, 1)) e.Amount = pick(1, 9000);
        else e.EntryDate = date();
      }
    } else if (what == 5) {
      // A rename: every entry follows the account.
      const int slot = pick(3, std::max(3, book.accountCount - 1));
      if (slot >= book.accountCount || !mayTouch(slot)) return;
      const QString was = book.accounts[slot].AccountName;
      const QString now = nameField(was.left(2) + mark_ + QString::number(++made_));
      book.accounts[slot].AccountName = now;
      for (int s = 1; s < book.entryCount; ++s) {
        if (book.entries[s].IncreaseAccount == was) book.entries[s].IncreaseAccount = now;
        if (book.entries[s].DecreaseAccount == was) book.entries[s].DecreaseAccount = now;
      }
    } else if (what == 6 && book.accountCount <= kMaxAccounts) {
      const qint16 kind = qint16(pick(kAsset, kExpense));
      const QString name = QStringLiteral("%1-%2新%3").arg(QStringLiteral("ALIE")[kind - 1]).arg(mark_).arg(++made_);
      book.accounts[book.accountCount++] = makeAccount(name, kind);
      if ((kind == kAsset || kind == kLiability) && book.entryCount <= kMaxEntries)
        book.entries[book.entryCount++] = makeEntry("2024/07/15", name, kEquityName, 0, kInitialMemo);
    } else if (what == 7) {
      if (const int slot = touchableEntry()) removeEntriesIf(book, [&](const LedgerEntry& e) {
          return &e == &book.entries[slot];
        });
    } else if (what == 8) {
      closeAt(dateField(date()));
    } else {
      QString first = dateField(date()), second = dateField(date());
      if (second < first) std::swap(first, second);
      removeEntriesIf(book, [&](const LedgerEntry& e) {
        return e.EntryDate >= first && e.EntryDate <= second;
      });
    }
  }

  // The carried balances follow the entries that stay, in slot order of the accounts.
  void closeAt(const QString& date) {
    const std::vector<qint64> balances =
        recordBalances(book.accounts, book.accountCount, entriesFileBytes(book.entries, book.entryCount),
                       book.entryCount - 1, date);
    removeEntriesIf(book, [&](const LedgerEntry& e) { return e.EntryDate <= date; });
    for (int slot = 1; slot < book.accountCount; ++slot) {
      const qint16 kind = book.accounts[slot].AccountKind;
      if ((kind != kAsset && kind != kLiability) || book.entryCount > kMaxEntries) continue;
      book.entries[book.entryCount++] =
          makeEntry(date, book.accounts[slot].AccountName, kEquityName,
                    static_cast<qint32>(balances[static_cast<size_t>(slot - 1)]), kInitialMemo);
    }
  }

  std::mt19937 rng_;
  QString mark_;
  int parity_;
  bool wholeBook_;
  int made_ = 0;
};

// A household's book of a few years: the chart a new book starts with and some more.
inline BookTables randomBase(unsigned seed, int entries) {
  std::mt19937 rng(seed);
  BookTables b = book({QStringLiteral("Equity"), QStringLiteral("A-現金"), QStringLiteral("A-銀行"),
                       QStringLiteral("L-信用卡"), QStringLiteral("I-薪水"), QStringLiteral("E-餐飲"),
                       QStringLiteral("E-交通"), QStringLiteral("I-利息")},
                      {});
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
  for (int i = 0; i < entries; ++i) {
    b.entries[b.entryCount++] = makeEntry(
        QStringLiteral("%1/%2/%3").arg(pick(2019, 2024)).arg(pick(1, 12), 2, 10, QChar('0')).arg(pick(1, 28), 2, 10, QChar('0')),
        b.accounts[pick(2, b.accountCount - 1)].AccountName,
        b.accounts[pick(1, b.accountCount - 1)].AccountName, pick(1, 9000),
        QStringLiteral("底%1").arg(i));
  }
  return b;
}

}  // namespace mergebooks
