#include "search/search.h"

#include "book/workspace.h"
#include "catalogue/catalogue.h"
#include "platform/dates.h"
#include "platform/numbers.h"
#include "store/booklist.h"
#include "store/database.h"
#include "store/ledger.h"

#include <QRegularExpression>

namespace search {

QString fold(const QString& text) {
  // Compatibility composition turns full-width letters, digits, signs and the ideographic
  // blank into their ASCII forms and leaves the Chinese characters alone.
  return text.normalized(QString::NormalizationForm_KC).toCaseFolded().trimmed();
}

namespace {

// The normalised date into `date` (empty for an empty box); the refusal otherwise.
std::optional<QString> readDate(const QString& typed, const QString& which, QString& date) {
  const QString text = fold(typed);
  if (text.isEmpty()) return std::nullopt;
  if (auto normalised = dates::normalise(text)) {
    date = *normalised;
    return std::nullopt;
  }
  return QStringLiteral("%1「%2」不是日期，請輸入像 2025/3/31 的日期").arg(which, typed.trimmed());
}

std::variant<std::optional<qint64>, QString> readAmount(const QString& typed,
                                                        const QString& which) {
  QString text = fold(typed);
  if (text.isEmpty()) return std::optional<qint64>();
  // Amounts are copied from statements and receipts with their digit groups ("1,000"; the
  // full-width "１，０００" is folded to it). Only groups of three are groups: "1,00" is a typo.
  static const QRegularExpression grouped(QStringLiteral("^[+-]?\\d{1,3}(,\\d{3})+(\\.\\d*)?$"));
  if (grouped.match(text).hasMatch()) text.remove(QLatin1Char(','));
  const numbers::Amount amount = numbers::parseAmount(text);
  if (!amount.ok()) {
    return QStringLiteral("%1「%2」%3")
        .arg(which, typed.trimmed(),
             amount.error == numbers::AmountError::OutOfRange ? QStringLiteral("超出金額的範圍")
                                                              : QStringLiteral("不是金額"));
  }
  return std::optional<qint64>(amount.value);
}

}  // namespace

std::variant<Criteria, QString> readCriteria(const TypedCriteria& typed) {
  Criteria c;
  c.text = fold(typed.text);
  c.account = fold(typed.account);

  const auto from = readAmount(typed.amountFrom, QStringLiteral("金額"));
  if (const QString* error = std::get_if<QString>(&from)) return *error;
  const auto to = readAmount(typed.amountTo, QStringLiteral("金額上限"));
  if (const QString* error = std::get_if<QString>(&to)) return *error;
  const auto low = std::get<0>(from);
  const auto high = std::get<0>(to);
  c.amountMin = low;
  // One amount alone is the amount sought; a second one makes it a range.
  c.amountMax = high ? high : low;
  if (c.amountMin && c.amountMax && *c.amountMin > *c.amountMax) {
    return QStringLiteral("金額的下限 %1 大於上限 %2，請改正").arg(*c.amountMin).arg(*c.amountMax);
  }

  if (auto error = readDate(typed.dateFrom, QStringLiteral("起始日期"), c.dateFrom)) return *error;
  if (auto error = readDate(typed.dateTo, QStringLiteral("結束日期"), c.dateTo)) return *error;
  if (!c.dateFrom.isEmpty() && !c.dateTo.isEmpty() && c.dateFrom > c.dateTo) {
    return QStringLiteral("起始日期 %1 在結束日期 %2 之後，請改正").arg(c.dateFrom, c.dateTo);
  }
  return c;
}

Book::Book(QString name, const store::EntryTableType& entries, int entryCount)
    : name_(std::move(name)) {
  entries_.reserve(static_cast<size_t>(std::max(entryCount - 1, 0)));
  rows_.reserve(entries_.capacity());
  for (int slot = 1; slot < entryCount; ++slot) {
    const store::LedgerEntry& e = entries[slot];
    entries_.push_back(e);
    if (e.EntryDate == store::kDeleteMarker) continue;
    rows_.push_back({slot, fold(e.Memo), fold(e.IncreaseAccount), fold(e.DecreaseAccount)});
  }
}

void Book::search(const Criteria& c, int bookIndex, Results& results) const {
  for (const Row& row : rows_) {
    const store::LedgerEntry& e = entries_[static_cast<size_t>(row.slot - 1)];
    if (c.amountMin && e.Amount < *c.amountMin) continue;
    if (c.amountMax && e.Amount > *c.amountMax) continue;
    if (!c.dateFrom.isEmpty() && e.EntryDate < c.dateFrom) continue;
    if (!c.dateTo.isEmpty() && e.EntryDate > c.dateTo) continue;
    if (!c.account.isEmpty() && !row.increase.contains(c.account) &&
        !row.decrease.contains(c.account)) {
      continue;
    }
    if (!c.text.isEmpty() && !row.memo.contains(c.text)) continue;
    results.hits.push_back({bookIndex, row.slot, e.EntryDate,
                            store::trimTrailingSpaces(e.IncreaseAccount),
                            store::trimTrailingSpaces(e.DecreaseAccount), e.Amount,
                            store::trimTrailingSpaces(e.Memo)});
    results.sum += e.Amount;
  }
}

Searcher::Searcher(const book::Workspace& store) : store_(store) {
  books_.emplace_back(store.user().databaseName(), store.tables().entries,
                      store.tables().entryCount);
}

void Searcher::readOtherBooks() {
  if (othersRead_) return;
  othersRead_ = true;
  auto list = store::loadDatabaseList(store_.user());
  if (const QString* error = std::get_if<QString>(&list)) {
    skipped_ << QStringLiteral("無法讀取資料庫清單：%1").arg(*error);
    return;
  }
  for (const QString& name : std::get<QStringList>(list)) {
    if (name == store_.user().databaseName()) continue;
    auto book = store::readBookFolder(store_.user().userFolder() + QLatin1Char('/') + name);
    if (const QString* error = std::get_if<QString>(&book)) {
      skipped_ << QStringLiteral("略過資料庫「%1」：%2").arg(name, *error);
      continue;
    }
    const store::BookTables& tables = std::get<store::BookTables>(book);
    books_.emplace_back(name, tables.entries, tables.entryCount);
  }
}

Results Searcher::run(const Criteria& criteria, bool everyBook) const {
  Results results;
  if (everyBook) results.skipped = skipped_;
  if (criteria.asksNothing()) return results;
  const size_t count = everyBook ? books_.size() : 1;
  for (size_t i = 0; i < count; ++i) books_[i].search(criteria, static_cast<int>(i), results);
  return results;
}

}  // namespace search
