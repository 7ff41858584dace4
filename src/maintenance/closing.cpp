#include "maintenance/closing.h"

#include "book/workspace.h"
#include "history/History.h"
#include "platform/dates.h"
#include "store/ledger.h"

#include <limits>
#include <vector>

namespace maintenance {

namespace {

struct Carried {
  int slot;
  qint64 balance;
};

bool carriesBalance(qint16 kind) { return kind == store::kAsset || kind == store::kLiability; }

bool fitsAmount(qint64 value) {
  return value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
}

}  // namespace

std::optional<Message> closeBooksAt(book::Workspace& store, const QString& typedDate) {
  const std::optional<QString> normalised = dates::normalise(typedDate);
  if (!normalised) return refusal(QStringLiteral("不是正確的日期格式"));
  const QString date = store::dateField(*normalised);

  // Every check comes before the first change.
  const std::vector<qint64> balances = store::allAccountBalances(store.tables(), date);
  std::vector<Carried> carried;
  for (int slot = 1; slot < store.tables().accountCount; ++slot) {
    const store::AccountRecord& account = store.tables().accounts[slot];
    if (!carriesBalance(account.AccountKind)) continue;
    const qint64 balance = balances[static_cast<size_t>(slot - 1)];
    if (!fitsAmount(balance)) {
      return refusal(
          QStringLiteral("帳戶「%1」在 %2 的餘額 %3 超出金額的範圍"
                         "（-2147483648 至 2147483647），無法結帳")
              .arg(store::trimTrailingSpaces(account.AccountName), date, QString::number(balance)));
    }
    carried.push_back({slot, balance});
  }

  int kept = 0;
  for (int i = 1; i < store.tables().entryCount; ++i) {
    if (store.tables().entries[i].EntryDate > date) ++kept;
  }
  // The carried entries take the room of the removed ones: only what stays must fit.
  const int needed = kept + static_cast<int>(carried.size());
  if (needed > store::kMaxEntries) {
    return refusal(QStringLiteral("記錄最多 %1 筆：%2 之後的 %3 筆記錄加上 %4 筆結轉記錄共 %5 筆，"
                                  "放不下，無法結帳")
                       .arg(store::kMaxEntries)
                       .arg(date)
                       .arg(kept)
                       .arg(carried.size())
                       .arg(needed));
  }

  const HistoryStep step(store.history(), store.tables(), stepnames::kClosing);
  // The entries dated on or before D go; the carried entries follow those that stay. (Written
  // before the removal when the table has room, the result is the same.)
  for (int i = 1; i < store.tables().entryCount; ++i) {
    if (store.tables().entries[i].EntryDate <= date) store::markDeleted(store.tables(), i);
  }
  store::compactEntries(store.tables());
  for (const Carried& c : carried) {
    store.tables().entries[store.tables().entryCount] =
        store::makeEntry(date, store.tables().accounts[c.slot].AccountName, store::kEquityName,
                         static_cast<qint32>(c.balance), store::kInitialMemo);
    ++store.tables().entryCount;
  }
  store.showEntryCount();
  return std::nullopt;
}

}  // namespace maintenance
