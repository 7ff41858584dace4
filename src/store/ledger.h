#pragma once

#include "store/records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace store {

struct BookTables;

// The store's reading operations over the entries: the sign rule, balances, ledger rows and
// the names for the account lists.

enum class Sign { None, Plus, Minus };

// How an entry counts for account K of kind `kind` when the account on the entry's other side
// has kind `otherKind`. firstSide: K is the entry's IncreaseAccount. Kinds outside 0..4 count
// for nothing.
Sign signRule(int kind, int otherKind, bool firstSide);

// Kind of the account of exactly this name, -1 when the chart has none.
int kindOfName(const BookTables& book, const QString& name);

// The balances of all accounts (index slot - 1) over all entries dated on or before `date`, in
// one pass, summed in 64 bits so that no sum of 32-bit amounts overflows.
std::vector<qint64> allAccountBalances(const BookTables& book, const QString& date);

// The same balances summed straight from a book file's checked entry records (128 bytes each),
// with the chart they name: no entry table is filled.
std::vector<qint64> recordBalances(const AccountTableType& accounts, int accountCount,
                                   const QByteArray& entryRecords, int records,
                                   const QString& date);

// One row of an account's ledger, as the main window shows it.
struct LedgerRow {
  QString date;    // 日期
  QString other;   // 類別: the other account, trailing blanks removed
  QString amount;  // 金額: signed amount, or empty
  QString total;   // 累計: running balance; " 1500" for 0 and more, "-200" below 0
  QString memo;    // 備註: trailing blanks removed
  QString number;  // 編號: the entry's slot
  bool amountRed = false;
  bool totalRed = false;
  int slot = 0;
  qint64 runningTotal = 0;

  bool operator==(const LedgerRow&) const = default;
};

// The row entry `entrySlot` gives in the ledger of its first-side (or second-side) account,
// before the totals are run: runningTotal holds the signed amount, total is empty, no colour.
LedgerRow ledgerRowOf(const BookTables& book, int entrySlot, bool firstSide);

// The ledger of the account in `slot`: its rows in slot order with the running balance.
std::vector<LedgerRow> showLedger(const BookTables& book, int slot);

// The names for the account lists, each as stored (20 characters), in slot order.
QStringList accountListNames(const BookTables& book);

// The text without its trailing blanks (code 32 only).
QString trimTrailingSpaces(const QString& text);

// Removes every entry marked deleted, keeping the order of the rest; EntryCount becomes the
// first free slot after them. Nothing is saved.
void compactEntries(BookTables& book);

// Marks entry `slot` deleted.
void markDeleted(BookTables& book, int slot);

}  // namespace store
