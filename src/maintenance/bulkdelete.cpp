#include "maintenance/bulkdelete.h"

#include "book/workspace.h"
#include "history/History.h"
#include "platform/dates.h"
#include "store/ledger.h"

#include <utility>

namespace maintenance {

namespace {

bool meetsRule(DeleteRule rule, const QString& date, const QString& first, const QString& lo,
               const QString& hi) {
  switch (rule) {
    case DeleteRule::OnDate:
      return date == first;
    case DeleteRule::After:
      return date > first;
    case DeleteRule::Within:
      return date >= lo && date <= hi;
    case DeleteRule::Outside:
      return date < lo || date > hi;
  }
  return false;
}

}  // namespace

BulkDeleteResult deleteByDate(book::Workspace& store, DeleteRule rule, const QString& typedFirst,
                              const QString& typedSecond) {
  BulkDeleteResult result;
  if (typedFirst.isEmpty() || typedSecond.isEmpty()) {
    result.refused = refusal(QStringLiteral("請先輸入日期"));
    return result;
  }
  const auto first = dates::normalise(typedFirst);
  const auto second = dates::normalise(typedSecond);
  if (!first || !second) {
    result.refused = refusal(QStringLiteral("不是正確的日期格式"));
    return result;
  }
  result.first = *first;
  result.second = *second;

  QString lo = *first;
  QString hi = *second;
  if (hi < lo) std::swap(lo, hi);
  const HistoryStep step(store.history(), store.tables(), stepnames::kBulkDelete);
  for (int i = 1; i < store.tables().entryCount; ++i) {
    if (meetsRule(rule, store.tables().entries[i].EntryDate, *first, lo, hi)) {
      store::markDeleted(store.tables(), i);
      ++result.removed;
    }
  }
  store::compactEntries(store.tables());
  return result;
}

std::vector<int> entriesByDate(const book::Workspace& store, DeleteRule rule,
                               const QString& typedFirst, const QString& typedSecond) {
  std::vector<int> found;
  const auto first = dates::normalise(typedFirst);
  const auto second = dates::normalise(typedSecond);
  if (typedFirst.isEmpty() || typedSecond.isEmpty() || !first || !second) return found;
  QString lo = *first;
  QString hi = *second;
  if (hi < lo) std::swap(lo, hi);
  for (int i = 1; i < store.tables().entryCount; ++i)
    if (meetsRule(rule, store.tables().entries[i].EntryDate, *first, lo, hi)) found.push_back(i);
  return found;
}

}  // namespace maintenance
