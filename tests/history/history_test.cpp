#include "history/History.h"
#include "history/steps.h"

#include "Books.h"
#include "TestFiles.h"
#include "accounts/chart.h"
#include "maintenance/closing.h"
#include "users/users.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using testbooks::bookBytes;
using Change = std::function<void(Module1&)>;

struct Book : testbooks::Books {
  Book() : Books({"A-現金", "Equity", "E-餐飲費", "I-薪資", "L-信用卡", "A-銀行"}) {
    const char* memos[] = {"初值", "午餐", "", "薪水 March", "咖啡", "卡費", "晚餐 with 朋友"};
    for (int i = 0; i < 14; ++i) {
      entry(QStringLiteral("2025/0%1/1%2").arg(1 + i % 9).arg(i % 10),
            i % 3 ? "E-餐飲費" : "A-銀行", i % 2 ? "A-現金" : "L-信用卡", 100 * i + 7,
            memos[i % 7]);
    }
  }
};

void removeEntries(Module1& s, const std::function<bool(int)>& goes) {
  for (int i = 1; i < s.EntryCount; ++i) {
    if (goes(i)) markDeleted(s, i);
  }
  CompactEntries(s);
}

// Every shape of change the commands make to the tables, made directly: undo brings back the
// very records (and so the very bytes) of before, redo those of after.
TEST(History, UndoAndRedoRestoreEveryShapeOfChangeExactly) {
  const std::pair<const char*, Change> changes[] = {
      {"all deleted", [](Module1& s) { removeEntries(s, [](int) { return true; }); }},
      {"some deleted, then appended",
       [](Module1& s) {
         removeEntries(s, [](int i) { return i <= 3 || i % 2 == 0 || i == 14; });
         for (int k = 0; k < 3; ++k) testbooks::addEntry(s, "2025/06/30", "A-銀行", "Equity", k);
       }},
      {"account renamed in its entries",
       [](Module1& s) {
         for (int i = 1; i < s.EntryCount; ++i) {
           if (s.EntryTable[i].IncreaseAccount == s.AccountTable[3].AccountName)
             s.EntryTable[i].IncreaseAccount = nameField("E-外食");
         }
         s.AccountTable[3].AccountName = nameField("E-外食");
       }},
      {"account deleted, later ones move up, two swapped, a kind changed",
       [](Module1& s) {
         for (int i = 3; i + 1 < s.AccountCount; ++i) s.AccountTable[i] = s.AccountTable[i + 1];
         s.AccountTable[--s.AccountCount] = AccountRecord{};
         SwapValues(s.AccountTable[1], s.AccountTable[2]);
         s.AccountTable[4].AccountKind = kAsset;
       }},
      {"order reversed",
       [](Module1& s) {
         for (int i = 1, j = s.EntryCount - 1; i < j; ++i, --j)
           SwapValues(s.EntryTable[i], s.EntryTable[j]);
       }},
      // Texts as no command stores them: short, empty, beyond Latin-1 and with blanks inside.
      {"odd texts",
       [](Module1& s) {
         s.EntryTable[s.EntryCount++] =
             LedgerEntry{"", "A-現金", QString(), -2147483647 - 1, "café  "};
         s.EntryTable[2].Memo = QStringLiteral(" a  b ");
         s.AccountTable[s.AccountCount++] = AccountRecord{QStringLiteral("Ωmega"), 7};
       }},
  };
  for (const auto& [name, change] : changes) {
    SCOPED_TRACE(name);
    Book b;
    const QByteArray before = bookBytes(b.store);
    const auto entriesBefore = b.entries();
    {
      const HistoryStep step(b.store, QStringLiteral("步驟"));
      change(b.store);
    }
    const QByteArray after = bookBytes(b.store);
    const auto entriesAfter = b.entries();
    ASSERT_NE(before, after);
    ASSERT_EQ(b.store.history().undoName(), QStringLiteral("步驟"));
    for (int round = 0; round < 2; ++round) {
      ASSERT_FALSE(b.store.history().undo(b.store));
      EXPECT_EQ(bookBytes(b.store), before);
      EXPECT_EQ(b.entries(), entriesBefore);
      EXPECT_EQ(b.store.panel(Module1::EntriesPanel),
                QStringLiteral("資料筆數：%1").arg(entriesBefore.size()));
      ASSERT_FALSE(b.store.history().redo(b.store));
      EXPECT_EQ(bookBytes(b.store), after);
      EXPECT_EQ(b.entries(), entriesAfter);
    }
  }
}

TEST(History, KeepsTheLastHundredSteps) {
  Book b;
  History& h = b.store.history();
  EXPECT_EQ(h.undo(b.store)->text, QStringLiteral("沒有可以復原的動作"));
  EXPECT_EQ(h.redo(b.store)->text, QStringLiteral("沒有可以重做的動作"));
  const int start = b.store.EntryCount;
  for (int i = 0; i < 102; ++i) {
    const HistoryStep step(b.store, QString::number(i));
    if (i > 0) b.entry("2025/12/31", "A-現金", "Equity", i);
  }
  EXPECT_EQ(h.undoCount(), History::kDepth);  // the first, which changed nothing, made none
  while (h.canUndo()) ASSERT_FALSE(h.undo(b.store));
  EXPECT_EQ(b.store.EntryCount, start + 1);  // the oldest step is gone: its entry stays
  EXPECT_EQ(h.redoName(), QStringLiteral("2"));
}

// A book changed behind the history's back is not guessed at: nothing moves and the steps,
// which no longer describe it, are forgotten.
TEST(History, RefusesAStepTheBookNoLongerFits) {
  for (const bool redo : {false, true}) {
    Book b;
    History& h = b.store.history();
    ASSERT_FALSE(closeBooksAt(b.store, "2025/03/31"));
    if (redo) {
      ASSERT_FALSE(h.undo(b.store));
    }
    // A carried entry that undo would remove, or an entry that redo would remove.
    if (redo) {
      b.store.EntryTable[1].Memo = memoField("別處改的");
    } else {
      b.store.EntryTable[b.store.EntryCount - 1].Amount += 1;
    }
    const QByteArray disturbed = bookBytes(b.store);
    const auto refused = redo ? h.redo(b.store) : h.undo(b.store);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->text, redo ? QStringLiteral("無法重做「結帳」：帳本已經和當時不同，"
                                                   "之前的步驟都無法再重做")
                                  : QStringLiteral("無法復原「結帳」：帳本已經和當時不同，"
                                                   "之前的步驟都無法再復原"));
    EXPECT_EQ(bookBytes(b.store), disturbed);
    EXPECT_FALSE(h.canUndo() || h.canRedo());
  }
}

// The steps belong to the book: reopened unchanged (as the list does after its save), or saved
// as a new book, it keeps them; another book, the same one changed on disk, or a log-out
// forgets them.
TEST(History, LastsWhileItsBookIsOpen) {
  testbooks::Books b;
  Module1& store = b.store;
  store.UserName = "u";
  const auto reopen = [&](const QString& name) {
    store.DataBaseName = name;
    QDir().mkpath(store.databaseFolder());
    return LoadDatabase(store, 100);
  };
  const auto changeAndSave = [&](const char* account) {
    return !createAccount(store, account, kExpense, "") && SaveDatabase(store).saved();
  };
  ASSERT_FALSE(reopen("b") || reopen("a"));
  ASSERT_TRUE(changeAndSave("房租"));
  ASSERT_FALSE(reopen("a"));
  EXPECT_EQ(store.history().undoName(), stepname::kNewAccount);
  ASSERT_FALSE(reopen("b"));
  EXPECT_FALSE(store.history().canUndo());

  ASSERT_TRUE(changeAndSave("房租"));
  putFile(store.databaseFolder() + "/Main.dat", QByteArray());
  ASSERT_FALSE(reopen("b"));
  EXPECT_FALSE(store.history().canUndo());

  // Changed on disk before a save: the book goes on as a new one in the list, steps and all.
  ASSERT_FALSE(createAccount(store, "保險", kExpense, ""));
  putFile(store.databaseFolder() + "/Main.dat", QByteArray(128, ' '));
  const SaveResult conflict = SaveDatabase(store);
  ASSERT_TRUE(conflict.saved() && conflict.notice);
  ASSERT_NE(store.DataBaseName, QStringLiteral("b"));
  ASSERT_FALSE(reopen(store.DataBaseName));
  EXPECT_EQ(store.history().undoName(), stepname::kNewAccount);

  ASSERT_FALSE(createAccount(store, "水費", kExpense, ""));
  ASSERT_TRUE(saveAndLogOut(store).saved());
  EXPECT_FALSE(store.history().canUndo());
}

}  // namespace
