#include "reconcile/protection.h"

#include "book/workspace.h"
#include "store/ledger.h"

#include <QSet>

namespace reconcile {
namespace {

std::vector<EntryKey> keysOfBook(const book::Workspace& store) {
  std::vector<store::LedgerEntry> entries;
  entries.reserve(static_cast<size_t>(store.tables().entriesInUse()));
  for (int slot = 1; slot < store.tables().entryCount; ++slot)
    entries.push_back(store.tables().entries[slot]);
  return entryKeys(entries);
}

QString keyText(const EntryKey& key) {
  return key.digest + QLatin1Char('#') + QString::number(key.occurrence);
}

const Reconciliation* byId(const std::vector<Reconciliation>& all, const QString& id) {
  for (const Reconciliation& r : all)
    if (r.id == id) return &r;
  return nullptr;
}

}  // namespace

QStringList holdersOf(const book::Workspace& store, const std::vector<Reconciliation>& all,
                      const std::vector<int>& entrySlots) {
  QStringList holders;
  if (all.empty()) return holders;
  const std::vector<EntryKey> keys = keysOfBook(store);
  for (int slot : entrySlots) {
    if (slot < 1 || slot > static_cast<int>(keys.size())) continue;
    if (const Reconciliation* r = holding(all, keys[static_cast<size_t>(slot - 1)]);
        r && !holders.contains(r->id))
      holders << r->id;
  }
  return holders;
}

Message protectionQuestion(const std::vector<Reconciliation>& all, const QStringList& holders,
                           bool deleting) {
  QStringList names;
  for (const QString& id : holders)
    if (const Reconciliation* r = byId(all, id))
      names
          << QStringLiteral("「%1（%2）」").arg(nameOf(*r), store::trimTrailingSpaces(r->account));
  const QString what = deleting ? QStringLiteral("刪除") : QStringLiteral("變更");
  return {QStringLiteral("這筆記錄已經在%1中對過帳。%2之後，那次對帳就不再平衡。確定要%2嗎？")
              .arg(names.join(QStringLiteral("、")), what),
          QStringLiteral("已對帳的記錄"), MessageIcon::Question, MessageButtons::YesNo};
}

void markBroken(std::vector<Reconciliation>& all, const QStringList& holders, bool deleting,
                const QDateTime& now) {
  for (Reconciliation& r : all)
    if (holders.contains(r.id)) {
      r.brokenBy = deleting ? QStringLiteral("其中已對帳的記錄被刪除了")
                            : QStringLiteral("其中已對帳的記錄被變更了");
      r.changed = now.toUTC();
    }
}

QHash<int, QString> reconciledSlots(const book::Workspace& store,
                                    const std::vector<Reconciliation>& all) {
  QHash<int, QString> out;
  QHash<QString, const Reconciliation*> held;
  for (const Reconciliation& r : all)
    if (r.finished && !r.deleted)
      for (const TickedEntry& t : r.ticked) held.insert(keyText(t.key), &r);
  if (held.isEmpty()) return out;
  const std::vector<EntryKey> keys = keysOfBook(store);
  for (size_t i = 0; i < keys.size(); ++i)
    if (const Reconciliation* r = held.value(keyText(keys[i]))) out.insert(int(i) + 1, nameOf(*r));
  return out;
}

}  // namespace reconcile
