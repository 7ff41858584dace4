#include "reconcile/adjustment.h"

#include "book/workspace.h"
#include "entries/entrycommands.h"
#include "history/History.h"
#include "history/sidechange.h"
#include "platform/dates.h"
#include "reconcile/lines.h"
#include "store/ledger.h"

namespace reconcile {

std::optional<QString> makeAdjustment(book::Workspace& store, Wizard& wizard, int accountSlot,
                                      int otherSlot, const QDate& statementDate) {
  const qint64 difference = wizard.difference();
  if (difference == 0) return std::nullopt;
  if (store.tables().entryCount > store::kMaxEntries) return entries::kEntryLimitText;
  if (otherSlot < 1 || otherSlot >= store.tables().accountCount || otherSlot == accountSlot)
    return QStringLiteral("請選擇另一個帳戶做為調整的對象");
  if (difference > INT32_MAX || difference < -INT32_MAX)
    return QStringLiteral("差額太大，無法建立一筆調整記錄");
  const store::AccountRecord& account = store.tables().accounts[accountSlot];
  const store::AccountRecord& other = store.tables().accounts[otherSlot];
  // The reconciled account takes the second side (the paying one), as the entry dialog has it.
  const store::Sign sign = store::signRule(account.AccountKind, other.AccountKind, false);
  if (sign == store::Sign::None)
    return QStringLiteral("「%1」不能做為這個帳戶的調整對象")
        .arg(store::trimTrailingSpaces(other.AccountName));
  const qint32 amount = static_cast<qint32>(sign == store::Sign::Plus ? difference : -difference);
  {
    const HistoryStep step(store.history(), store.tables(), stepnames::kReconcileAdjustment);
    store.tables().entries[store.tables().entryCount++] =
        store::makeEntry(dates::format(statementDate), other.AccountName, account.AccountName,
                         amount, QStringLiteral("對帳調整"));
    store.showEntryCount();
  }
  const std::vector<Line> lines = accountLines(store, accountSlot);
  wizard.addTicked(lines.back());
  return std::nullopt;
}

Changed stepsOf(book::Workspace& store, std::vector<Reconciliation>& all,
                std::weak_ptr<const void> alive) {
  return [&store, &all, alive = std::move(alive)](const QString& name,
                                                  const std::vector<Reconciliation>& before) {
    const auto put = [&store,
                      &all](const std::vector<Reconciliation>& target) -> std::optional<QString> {
      all = history::putBack(
          target, all, [](const Reconciliation& r) { return r.id; }, store.clock().now().toUTC());
      return std::nullopt;
    };
    store.history().recordSide(
        name, std::make_unique<history::SideRecords<std::vector<Reconciliation>>>(alive, before,
                                                                                  all, put));
  };
}

}  // namespace reconcile
