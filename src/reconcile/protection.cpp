#include "reconcile/protection.h"

#include "book/workspace.h"
#include "store/ledger.h"

#include <QSet>

#include <algorithm>

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

Held heldAmong(const book::Workspace& store, const std::vector<Reconciliation>& all,
               const std::vector<int>& entrySlots) {
  Held held;
  if (all.empty()) return held;
  const std::vector<EntryKey> keys = keysOfBook(store);
  for (int slot : entrySlots) {
    if (slot < 1 || slot > static_cast<int>(keys.size())) continue;
    const EntryKey& key = keys[static_cast<size_t>(slot - 1)];
    const Reconciliation* r = holding(all, key);
    if (!r) continue;
    held.keys.push_back(key);
    if (!held.holders.contains(r->id)) held.holders << r->id;
  }
  return held;
}

Message protectionQuestion(const std::vector<Reconciliation>& all, const Held& held,
                           bool deleting) {
  QStringList names;
  for (const QString& id : held.holders)
    if (const Reconciliation* r = byId(all, id))
      names
          << QStringLiteral("「%1（%2）」").arg(nameOf(*r), store::trimTrailingSpaces(r->account));
  const QString which = held.keys.size() == 1
                            ? QStringLiteral("這筆記錄")
                            : QStringLiteral("其中 %1 筆記錄").arg(held.keys.size());
  const QString what = deleting ? QStringLiteral("刪除") : QStringLiteral("變更");
  const QString text = QStringLiteral("%1已經在%2中對過帳。%3之後，那次對帳就不再平衡。")
                           .arg(which, names.join(QStringLiteral("、")), what);
  if (deleting) return confirmDelete(text + QStringLiteral("確定刪除資料嗎？"));
  return {text + QStringLiteral("確定要變更嗎？"), QStringLiteral("已對帳的記錄"),
          MessageIcon::Question, MessageButtons::YesNo};
}

void release(std::vector<Reconciliation>& all, const Held& held, bool deleting,
             const QDateTime& now) {
  for (Reconciliation& r : all) {
    if (!held.holders.contains(r.id)) continue;
    for (TickedEntry& t : r.ticked)
      if (std::find(held.keys.begin(), held.keys.end(), t.key) != held.keys.end())
        t.released = deleting ? Release::Deleted : Release::Changed;
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
