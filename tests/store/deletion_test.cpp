#include "store/deletion.h"

#include "ScriptedDialogs.h"
#include "store/Module1.h"
#include "store/ledger.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

// Four entries; the third names the cash account on both sides: two rows in its ledger.
struct Book {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};

  Book() {
    store.AccountTable[1] = makeAccount(QStringLiteral("A-現金"), kAsset);
    store.AccountTable[2] = makeAccount(QStringLiteral("E-餐飲"), kExpense);
    store.AccountCount = 3;
    const QString memos[] = {QStringLiteral("初值"), QStringLiteral("午餐"), QStringLiteral("對轉"),
                             QStringLiteral("晚餐")};
    for (int slot = 1; slot <= 4; ++slot) {
      store.EntryTable[slot] = makeEntry(QStringLiteral("2025/01/0%1").arg(slot),
                                         store.AccountTable[slot == 3 ? 1 : 2].AccountName,
                                         store.AccountTable[1].AccountName, slot, memos[slot - 1]);
    }
    store.EntryCount = 5;
    store.showEntryCount();
  }

  QStringList memos() const {
    QStringList out;
    for (int slot = 1; slot < store.EntryCount; ++slot) {
      out.append(TrimTrailingSpaces(store.EntryTable[slot].Memo));
    }
    return out;
  }
};

TEST(Deletion, RemovesTheTickedEntriesOnceOrNothing) {
  const QStringList all = {"初值", "午餐", "對轉", "晚餐"};
  const struct {
    std::vector<int> ticked;
    Answer answer;
    DeletionOutcome outcome;
    QStringList left;
  } cases[] = {
      {{}, Answer::Yes, DeletionOutcome::NothingTicked, all},
      {{0, 5, 3001}, Answer::Yes, DeletionOutcome::NothingTicked, all},  // no entry in use
      {{2, 4}, Answer::No, DeletionOutcome::Declined, all},
      {{2}, Answer::Yes, DeletionOutcome::Deleted, {"初值", "對轉", "晚餐"}},
      {{3, 3}, Answer::Yes, DeletionOutcome::Deleted, {"初值", "午餐", "晚餐"}},  // both rows
      {{1, 2, 3, 3, 4}, Answer::Yes, DeletionOutcome::Deleted, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.left.join(u',').toStdString());
    Book book;
    book.dialogs.answer(c.answer);
    EXPECT_EQ(deleteTickedEntries(book.store, c.ticked), c.outcome);
    EXPECT_EQ(book.dialogs.lastMessage().text, c.outcome == DeletionOutcome::NothingTicked
                                                   ? QStringLiteral("請先勾選要刪除的記錄")
                                                   : QStringLiteral("確定刪除資料嗎？"));
    EXPECT_EQ(book.memos(), c.left);
    EXPECT_EQ(book.store.panel(Module1::EntriesPanel),
              QStringLiteral("資料筆數：%1").arg(c.left.size()));
    for (int slot = 1; slot < book.store.EntryCount; ++slot) {
      EXPECT_NE(book.store.EntryTable[slot].EntryDate, kDeleteMarker);
    }
  }
}

}  // namespace
