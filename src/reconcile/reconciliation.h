#pragma once

#include "store/records.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Reconciling an account against a bank statement. Entries carry no id in the book files, so a
// reconciled entry is known by a digest of its record's bytes and its place among the records
// with the same bytes (the first, the second...). Identical records cannot be told apart, and
// need not be: which of them is ticked changes no balance.
namespace reconcile {

struct EntryKey {
  QString digest;      // of the record's bytes as the book file holds them: 16 hex digits
  int occurrence = 0;  // 0 for the first record with these bytes in slot order

  bool operator==(const EntryKey&) const = default;
};

// The keys of the book's entries, in slot order.
std::vector<EntryKey> entryKeys(const std::vector<store::LedgerEntry>& entries);

// What became of a ticked entry the person changed or deleted after being told it was
// reconciled. While the book does not hold the entry as it was ticked, the reconciliation no
// longer balances; once it does again (復原), it balances again.
enum class Release { None, Changed, Deleted };

struct TickedEntry {
  EntryKey key;
  qint64 amount = 0;  // as it counted for the account when it was ticked
  Release released = Release::None;

  bool operator==(const TickedEntry&) const = default;
};

struct Reconciliation {
  QString id;
  QDateTime changed;
  bool deleted = false;
  QString account;  // the account's name as the book holds it
  QDate statementDate;
  qint64 starting = 0;
  qint64 ending = 0;
  bool finished = false;  // false: put off with its ticks kept
  std::vector<TickedEntry> ticked;

  bool operator==(const Reconciliation&) const = default;
};

// One entry of the account as the wizard lists it.
struct Line {
  int slot = 0;
  QString date;
  QString other;  // the entry's other account
  QString memo;
  qint64 amount = 0;  // signed as it counts for the account
  EntryKey key;
  bool carried = false;  // a "初值" entry against Equity: closing the books may have made it
};

// The finished reconciliation of the account with the latest statement date; none when the
// account was never reconciled.
const Reconciliation* lastFinished(const std::vector<Reconciliation>& all, const QString& account);

// The put-off reconciliation of the account, whose ticks the wizard takes up again.
const Reconciliation* putOff(const std::vector<Reconciliation>& all, const QString& account);

// Which of the account's lines (all of them, slot order) are reconciled already.
std::vector<bool> reconciledLines(const std::vector<Reconciliation>& all, const QString& account,
                                  const std::vector<Line>& lines);

// The wizard's state: the lines to tick and the difference, kept up to date tick by tick.
class Wizard {
 public:
  // The account's lines dated up to the statement date that no finished reconciliation holds.
  // When closing the books folded reconciled entries into a carried entry, that entry counts
  // only with what was not reconciled yet, so the starting balance stays the bank's figure.
  Wizard(const std::vector<Reconciliation>& all, const QString& account,
         const std::vector<Line>& lines, const QDate& statementDate, qint64 ending);

  qint64 starting() const { return starting_; }
  qint64 ending() const { return ending_; }
  void setEnding(qint64 ending) { ending_ = ending; }
  const std::vector<Line>& lines() const { return lines_; }
  bool isTicked(int i) const { return ticked_[static_cast<size_t>(i)]; }
  void setTicked(int i, bool on);
  // A line made while the wizard is open (the adjustment), ticked.
  void addTicked(const Line& line);
  // The statement's ending balance less the starting balance and the ticked lines.
  qint64 difference() const { return ending_ - starting_ - tickedSum_; }

  // What might explain a difference that is not 0.
  QStringList hints() const;

  // The reconciliation as it stands: finished, or put off with its ticks.
  Reconciliation result(const QString& id, const QDateTime& now, bool finished) const;

 private:
  QString account_;
  QDate statementDate_;
  qint64 starting_ = 0;
  qint64 ending_ = 0;
  qint64 tickedSum_ = 0;
  std::vector<Line> lines_;
  std::vector<bool> ticked_;
};

// Why a finished reconciliation no longer balances in the book whose entries of its account are
// `lines`: a ticked entry the person changed or deleted is not there as it was ticked. Empty
// when it balances. Entries the books' closing or a bulk delete took away were not released,
// and break nothing.
QString brokenReason(const Reconciliation& r, const std::vector<Line>& lines);

// The earlier reconciliations of the account that no longer balance, each named as the wizard
// and the ledger's question name it.
QStringList brokenReconciliations(const std::vector<Reconciliation>& all, const QString& account,
                                  const std::vector<Line>& lines);

// "2025/03/31 的對帳" : how a reconciliation is named to the person.
QString nameOf(const Reconciliation& r);

// The finished reconciliation that holds this entry, if any (the ledger asks before it is
// changed or deleted).
const Reconciliation* holding(const std::vector<Reconciliation>& all, const EntryKey& key);

}  // namespace reconcile
