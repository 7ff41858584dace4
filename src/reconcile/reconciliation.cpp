#include "reconcile/reconciliation.h"

#include "platform/dates.h"
#include "store/database.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSet>

#include <cstdlib>

namespace reconcile {
namespace {

bool isLive(const Reconciliation& r, const QString& account) {
  return !r.deleted && store::sameField(store::nameField(r.account), store::nameField(account));
}

QString keyText(const EntryKey& key) {
  return key.digest + QLatin1Char('#') + QString::number(key.occurrence);
}

QString amountText(qint64 amount) { return QString::number(amount); }

QSet<QString> keysOf(const std::vector<Line>& lines) {
  QSet<QString> keys;
  keys.reserve(static_cast<qsizetype>(lines.size()));
  for (const Line& line : lines) keys.insert(keyText(line.key));
  return keys;
}

}  // namespace

std::vector<EntryKey> entryKeys(const std::vector<store::LedgerEntry>& entries) {
  std::vector<EntryKey> keys;
  keys.reserve(entries.size());
  QHash<QByteArray, int> seen;
  for (const store::LedgerEntry& e : entries) {
    const QByteArray digest =
        QCryptographicHash::hash(store::entryRecordBytes(e), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    int& count = seen[digest];
    keys.push_back({QString::fromLatin1(digest), count++});
  }
  return keys;
}

const Reconciliation* lastFinished(const std::vector<Reconciliation>& all, const QString& account) {
  const Reconciliation* last = nullptr;
  for (const Reconciliation& r : all)
    if (r.finished && isLive(r, account) &&
        (!last || r.statementDate > last->statementDate ||
         (r.statementDate == last->statementDate && r.changed > last->changed)))
      last = &r;
  return last;
}

const Reconciliation* putOff(const std::vector<Reconciliation>& all, const QString& account) {
  for (const Reconciliation& r : all)
    if (!r.finished && isLive(r, account)) return &r;
  return nullptr;
}

std::vector<bool> reconciledLines(const std::vector<Reconciliation>& all, const QString& account,
                                  const std::vector<Line>& lines) {
  QSet<QString> held;
  for (const Reconciliation& r : all)
    if (r.finished && isLive(r, account))
      for (const TickedEntry& t : r.ticked) held.insert(keyText(t.key));
  std::vector<bool> out;
  out.reserve(lines.size());
  for (const Line& line : lines) out.push_back(held.contains(keyText(line.key)));
  return out;
}

Wizard::Wizard(const std::vector<Reconciliation>& all, const QString& account,
               const std::vector<Line>& lines, const QDate& statementDate, qint64 ending)
    : account_(account), statementDate_(statementDate), ending_(ending) {
  const Reconciliation* last = lastFinished(all, account);
  starting_ = last ? last->ending : 0;
  const std::vector<bool> reconciled = reconciledLines(all, account, lines);
  // What reconciled entries no longer in the book amounted to: closing the books carried it
  // into its "初值" entry, whose reconciled part it is. An entry the person changed or deleted
  // was not carried anywhere.
  qint64 folded = 0;
  if (last) {
    const QSet<QString> present = keysOf(lines);
    for (const Reconciliation& r : all)
      if (r.finished && isLive(r, account))
        for (const TickedEntry& t : r.ticked)
          if (t.released == Release::None && !present.contains(keyText(t.key))) folded += t.amount;
  }
  QSet<QString> keptTicks;
  if (const Reconciliation* earlier = putOff(all, account))
    for (const TickedEntry& t : earlier->ticked) keptTicks.insert(keyText(t.key));
  const QString limit = dates::format(statementDate);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (reconciled[i] || lines[i].date > limit) continue;
    Line line = lines[i];
    if (line.carried && folded != 0) {
      line.amount -= folded;
      folded = 0;
    }
    lines_.push_back(line);
    ticked_.push_back(false);
    if (keptTicks.contains(keyText(line.key))) setTicked(static_cast<int>(lines_.size()) - 1, true);
  }
}

void Wizard::setTicked(int i, bool on) {
  const auto at = static_cast<size_t>(i);
  if (i < 0 || at >= ticked_.size() || ticked_[at] == on) return;
  ticked_[at] = on;
  tickedSum_ += on ? lines_[at].amount : -lines_[at].amount;
}

void Wizard::addTicked(const Line& line) {
  lines_.push_back(line);
  ticked_.push_back(false);
  setTicked(static_cast<int>(lines_.size()) - 1, true);
}

QStringList Wizard::hints() const {
  QStringList out;
  const qint64 diff = difference();
  if (diff == 0) return out;
  for (size_t i = 0; i < lines_.size(); ++i)
    if (!ticked_[i] && lines_[i].amount == diff) {
      out << QStringLiteral("未勾選的 %1 金額 %2 正好等於差額，是否漏勾了這一筆？")
                 .arg(lines_[i].date, amountText(lines_[i].amount));
      break;
    }
  if (diff % 2 == 0)
    for (size_t i = 0; i < lines_.size(); ++i)
      if (std::llabs(lines_[i].amount) == std::llabs(diff / 2)) {
        out << QStringLiteral("%1 金額 %2 是差額的一半，這筆記錄的兩個帳戶可能填反了")
                   .arg(lines_[i].date, amountText(std::llabs(lines_[i].amount)));
        break;
      }
  if (diff % 9 == 0) out << QStringLiteral("差額可以被 9 整除，可能有金額的兩個數字前後顛倒");
  return out;
}

Reconciliation Wizard::result(const QString& id, const QDateTime& now, bool finished) const {
  Reconciliation r;
  r.id = id;
  r.changed = now.toUTC();
  r.account = account_;
  r.statementDate = statementDate_;
  r.starting = starting_;
  r.ending = ending_;
  r.finished = finished;
  for (size_t i = 0; i < lines_.size(); ++i)
    if (ticked_[i]) r.ticked.push_back({lines_[i].key, lines_[i].amount});
  return r;
}

QString brokenReason(const Reconciliation& r, const std::vector<Line>& lines) {
  bool changed = false;
  bool deleted = false;
  QSet<QString> present;
  for (const TickedEntry& t : r.ticked) {
    if (t.released == Release::None) continue;
    if (present.isEmpty()) present = keysOf(lines);
    if (present.contains(keyText(t.key))) continue;
    (t.released == Release::Deleted ? deleted : changed) = true;
  }
  if (deleted) return QStringLiteral("其中已對帳的記錄被刪除了");
  if (changed) return QStringLiteral("其中已對帳的記錄被變更了");
  return {};
}

QStringList brokenReconciliations(const std::vector<Reconciliation>& all, const QString& account,
                                  const std::vector<Line>& lines) {
  QStringList out;
  for (const Reconciliation& r : all)
    if (r.finished && isLive(r, account))
      if (const QString why = brokenReason(r, lines); !why.isEmpty())
        out << QStringLiteral("%1已經不平衡：%2").arg(nameOf(r), why);
  return out;
}

QString nameOf(const Reconciliation& r) {
  return QStringLiteral("%1 的對帳").arg(dates::format(r.statementDate));
}

const Reconciliation* holding(const std::vector<Reconciliation>& all, const EntryKey& key) {
  for (const Reconciliation& r : all)
    if (r.finished && !r.deleted)
      for (const TickedEntry& t : r.ticked)
        if (t.key == key) return &r;
  return nullptr;
}

}  // namespace reconcile
