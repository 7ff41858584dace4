#include "interchange/payeerules.h"

#include "book/workspace.h"
#include "store/ledger.h"

#include <algorithm>

namespace payeerules {
namespace {

const QString kMemo = QStringLiteral("memo");
const QString kAccount = QStringLiteral("account");

QString pathIn(const QString& userFolder) { return userFolder + QLatin1Char('/') + kFileName; }

}  // namespace

QString key(const QString& memo) {
  return memo.normalized(QString::NormalizationForm_KC).toCaseFolded().simplified();
}

std::variant<Rules, QString> Rules::load(const QString& userFolder) {
  auto contents = sidefile::read(pathIn(userFolder), kKind, kVersion);
  if (auto* reason = std::get_if<QString>(&contents)) return *reason;
  Rules rules;
  rules.records_ = std::move(std::get<sidefile::Contents>(contents).records);
  return rules;
}

std::vector<Rule> Rules::listed() const {
  std::vector<Rule> rules;
  for (const sidefile::Record& r : records_) {
    if (r.deleted) continue;
    rules.push_back({r.id, r.field(kMemo).value_or(QString()),
                     r.field(kAccount).value_or(QString()), r.changed});
  }
  std::sort(rules.begin(), rules.end(),
            [](const Rule& a, const Rule& b) { return key(a.memo) < key(b.memo); });
  return rules;
}

std::optional<QString> Rules::accountFor(const QString& memo, bool* deleted) const {
  const QString wanted = key(memo);
  const sidefile::Record* latest = nullptr;
  for (const sidefile::Record& r : records_) {
    // Two computers may each have learned the memo: the later choice is the rule.
    if (key(r.field(kMemo).value_or(QString())) == wanted &&
        (!latest || r.changed > latest->changed)) {
      latest = &r;
    }
  }
  if (deleted) *deleted = latest && latest->deleted;
  if (!latest || latest->deleted) return std::nullopt;
  return latest->field(kAccount);
}

void Rules::learn(const QString& memo, const QString& account, const QDateTime& when) {
  const QString wanted = key(memo);
  if (wanted.isEmpty()) return;
  for (sidefile::Record& r : records_) {
    if (key(r.field(kMemo).value_or(QString())) != wanted) continue;
    if (!r.deleted && r.field(kAccount) == account) return;  // nothing new: no change to merge
    r.deleted = false;
    r.changed = when;
    r.set(kAccount, account);
    return;
  }
  records_.push_back({sidefile::newId(), when, false, {{kMemo, memo}, {kAccount, account}}});
}

sidefile::Record* Rules::find(const QString& id) {
  const auto at = std::find_if(records_.begin(), records_.end(),
                               [&](const sidefile::Record& r) { return r.id == id; });
  return at == records_.end() ? nullptr : &*at;
}

bool Rules::setAccount(const QString& id, const QString& account, const QDateTime& when) {
  sidefile::Record* r = find(id);
  if (!r || r->deleted) return false;
  r->set(kAccount, account);
  r->changed = when;
  return true;
}

bool Rules::remove(const QString& id, const QDateTime& when) {
  sidefile::Record* r = find(id);
  if (!r || r->deleted) return false;
  r->deleted = true;
  r->changed = when;
  return true;
}

std::optional<QString> Rules::save(const QString& userFolder) const {
  const QString path = pathIn(userFolder);
  auto onDisk = sidefile::read(path, kKind, kVersion);
  // A file that cannot be read is left as it is: writing over it would lose what it holds.
  if (auto* reason = std::get_if<QString>(&onDisk)) return *reason;
  return sidefile::write(path, kKind, kVersion,
                         sidefile::merge(records_, std::get<sidefile::Contents>(onDisk).records));
}

std::optional<QString> suggest(const Rules& rules, const QHash<QString, QString>& fromBook,
                               const QString& memo) {
  bool deleted = false;
  if (auto account = rules.accountFor(memo, &deleted)) return account;
  if (deleted) return std::nullopt;
  const auto learned = fromBook.constFind(key(memo));
  if (learned == fromBook.constEnd()) return std::nullopt;
  return *learned;
}

QHash<QString, QString> learnedFromBook(const book::Workspace& store, const QString& statement) {
  QHash<QString, QString> accounts;
  QHash<QString, QString> dates;
  const auto isIncomeOrExpense = [&](const QString& name) {
    const int kind = store::kindOfName(store.tables(), name);
    return kind == store::kIncome || kind == store::kExpense;
  };
  for (int slot = 1; slot < store.tables().entryCount; ++slot) {
    const store::LedgerEntry& e = store.tables().entries[slot];
    if (e.EntryDate == store::kDeleteMarker) continue;
    const QString memo = key(store::trimTrailingSpaces(e.Memo));
    if (memo.isEmpty()) continue;
    QString other;
    if (store::sameField(e.IncreaseAccount, statement)) {
      other = e.DecreaseAccount;
    } else if (store::sameField(e.DecreaseAccount, statement)) {
      other = e.IncreaseAccount;
    } else if (isIncomeOrExpense(e.IncreaseAccount) != isIncomeOrExpense(e.DecreaseAccount)) {
      other = isIncomeOrExpense(e.IncreaseAccount) ? e.IncreaseAccount : e.DecreaseAccount;
    } else {
      continue;
    }
    // Later slots of the same date are later entries.
    const auto known = dates.constFind(memo);
    if (known != dates.constEnd() && *known > e.EntryDate) continue;
    dates.insert(memo, e.EntryDate);
    accounts.insert(memo, store::trimTrailingSpaces(other));
  }
  return accounts;
}

}  // namespace payeerules
