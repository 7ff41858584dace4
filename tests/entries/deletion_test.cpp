#include "entries/deletion.h"

#include "Books.h"

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
    testbooks::Books b({"A-現金", "E-餐飲"});
    for (int slot = 1; slot <= 4; ++slot) {  // the third names the cash account on both sides
      b.entry(QStringLiteral("2025/01/0%1").arg(slot), slot == 3 ? "A-現金" : "E-餐飲", "A-現金",
              slot, all[slot - 1]);
    }
    b.store.showEntryCount();
    const auto refused =
        expected == all ? std::optional(refusal("請先勾選要刪除的記錄")) : std::nullopt;
    EXPECT_EQ(tickedEntriesRefusal(b.store, ticked), refused);
    EXPECT_EQ(deleteTickedEntries(b.store, ticked), refused);
    QStringList left;
    for (const LedgerEntry& e : b.entries()) left.append(TrimTrailingSpaces(e.Memo));
    EXPECT_EQ(left, expected);
    EXPECT_EQ(b.store.panel(Module1::EntriesPanel),
              QStringLiteral("資料筆數：%1").arg(left.size()));
  }
}

}  // namespace
