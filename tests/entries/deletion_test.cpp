#include "entries/deletion.h"

#include "ScriptedDialogs.h"
#include "store/Module1.h"
#include "store/ledger.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(Deletion, RemovesTheTickedEntriesOnceOrNothing) {
  const QStringList all = {"初值", "午餐", "對轉", "晚餐"};
  const std::pair<std::vector<int>, QStringList> cases[] = {
      {{0, 5, 3001}, all},  // no entry in use: refused
      {{}, all},
      {{3, 3}, {"初值", "午餐", "晚餐"}},  // both rows of one entry
      {{1, 2, 3, 3, 4}, {}},
  };
  for (const auto& [ticked, expected] : cases) {
    SCOPED_TRACE(expected.join(u',').toStdString());
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Module1 store{dir.path(), dialogs};
    // The third entry names the cash account on both sides: two rows in its ledger.
    store.AccountTable[1] = makeAccount(QStringLiteral("A-現金"), kAsset);
    store.AccountTable[2] = makeAccount(QStringLiteral("E-餐飲"), kExpense);
    store.AccountCount = 3;
    for (int slot = 1; slot <= 4; ++slot) {
      store.EntryTable[slot] = makeEntry(QStringLiteral("2025/01/0%1").arg(slot),
                                         store.AccountTable[slot == 3 ? 1 : 2].AccountName,
                                         store.AccountTable[1].AccountName, slot, all[slot - 1]);
    }
    store.EntryCount = 5;
    store.showEntryCount();
    const auto refused = expected == all
                             ? std::optional(refusal(QStringLiteral("請先勾選要刪除的記錄")))
                             : std::nullopt;
    EXPECT_EQ(tickedEntriesRefusal(store, ticked), refused);
    EXPECT_EQ(deleteTickedEntries(store, ticked), refused);
    QStringList left;
    for (int slot = 1; slot < store.EntryCount; ++slot) {
      left.append(TrimTrailingSpaces(store.EntryTable[slot].Memo));
    }
    EXPECT_EQ(left, expected);
    EXPECT_EQ(store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：%1").arg(left.size()));
  }
}

}  // namespace
