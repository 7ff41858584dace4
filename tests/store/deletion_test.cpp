#include "store/deletion.h"

#include "ScriptedDialogs.h"
#include "store/Module1.h"
#include "store/ledger.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

struct Book {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};

  Book() {
    store.AccountTable[1] = makeAccount(QStringLiteral("A-現金"), kAsset);
    store.AccountTable[2] = makeAccount(QStringLiteral("Equity"), kEquity);
    store.AccountTable[3] = makeAccount(QStringLiteral("E-餐飲"), kExpense);
    store.AccountCount = 4;
    add(QStringLiteral("A-現金"), QStringLiteral("Equity"), 1000, QStringLiteral("初值"));
    add(QStringLiteral("E-餐飲"), QStringLiteral("A-現金"), 120, QStringLiteral("午餐"));
    // Names the cash account on both sides: two rows in its ledger.
    add(QStringLiteral("A-現金"), QStringLiteral("A-現金"), 50, QStringLiteral("對轉"));
    add(QStringLiteral("E-餐飲"), QStringLiteral("A-現金"), 80, QStringLiteral("晚餐"));
    store.showAccountCount();
    store.showEntryCount();
  }

  void add(const QString& increase, const QString& decrease, qint32 amount, const QString& memo) {
    const int slot = store.EntryCount++;
    store.EntryTable[slot] =
        makeEntry(QStringLiteral("2025/01/0%1").arg(slot), increase, decrease, amount, memo);
  }

  QStringList memos() const {
    QStringList out;
    for (int slot = 1; slot < store.EntryCount; ++slot) {
      out.append(TrimTrailingSpaces(store.EntryTable[slot].Memo));
    }
    return out;
  }
};

TEST(Deletion, RefusesWhenNothingIsTickedAndAsksNothing) {
  // A slot beyond the entries in use is no ticked entry either.
  for (const std::vector<int>& ticked : {std::vector<int>{}, std::vector<int>{0, 5, 3001}}) {
    Book book;
    EXPECT_EQ(deleteTickedEntries(book.store, ticked), DeletionOutcome::NothingTicked);
    ASSERT_EQ(book.dialogs.messages().size(), 1u);
    EXPECT_EQ(book.dialogs.lastMessage(), refusal(QStringLiteral("請先勾選要刪除的記錄")));
    EXPECT_EQ(book.store.EntryCount, 5);
    EXPECT_EQ(book.memos(), (QStringList{"初值", "午餐", "對轉", "晚餐"}));
  }
}

TEST(Deletion, NoToTheQuestionChangesNothing) {
  Book book;
  book.dialogs.answer(Answer::No);
  EXPECT_EQ(deleteTickedEntries(book.store, {2, 4}), DeletionOutcome::Declined);
  const Message asked = book.dialogs.lastMessage();
  EXPECT_EQ(asked.text, QStringLiteral("確定刪除資料嗎？"));
  EXPECT_EQ(asked.title, QStringLiteral("刪除資料"));
  EXPECT_EQ(asked.icon, MessageIcon::Exclamation);
  EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
  EXPECT_EQ(book.store.EntryCount, 5);
  EXPECT_EQ(book.store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：4"));
  for (int slot = 1; slot < 5; ++slot) {
    EXPECT_NE(book.store.EntryTable[slot].EntryDate, kDeleteMarker);
  }
}

TEST(Deletion, RemovesTheTickedEntriesOnceAndKeepsTheOrder) {
  struct Case {
    std::vector<int> ticked;
    QStringList left;
  };
  const Case cases[] = {
      {{2}, {"初值", "對轉", "晚餐"}},
      // Both rows of the entry that names the cash account twice: deleted once only.
      {{3, 3}, {"初值", "午餐", "晚餐"}},
      {{3}, {"初值", "午餐", "晚餐"}},
      {{1, 3, 3, 4}, {"午餐"}},
      {{1, 2, 3, 3, 4}, {}},
  };
  for (const Case& c : cases) {
    Book book;
    book.dialogs.answer(Answer::Yes);
    EXPECT_EQ(deleteTickedEntries(book.store, c.ticked), DeletionOutcome::Deleted);
    EXPECT_EQ(book.memos(), c.left);
    EXPECT_EQ(book.store.EntryCount, c.left.size() + 1);
    EXPECT_EQ(book.store.panel(Module1::EntriesPanel),
              QStringLiteral("資料筆數：%1").arg(c.left.size()));
    EXPECT_EQ(book.store.panel(Module1::AccountsPanel), QStringLiteral("帳戶數量：3"));
    // Every entry left names the cash account; the one naming it twice has two rows.
    EXPECT_EQ(ShowLedger(book.store, 1).size(), size_t(c.left.size() + c.left.count("對轉")));
    EXPECT_TRUE(book.dialogs.unscripted().isEmpty());
  }
}

}  // namespace
