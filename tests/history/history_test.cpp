#include "history/History.h"
#include "history/steps.h"

#include "Books.h"
#include "TestFiles.h"
#include "maintenance/bulkdelete.h"
#include "maintenance/closing.h"
#include "accounts/chart.h"
#include "store/database.h"
#include "entries/deletion.h"
#include "entries/entrycommands.h"
#include "users/users.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The book as its two files would hold it.
QByteArray bookBytes(const Module1& store) {
  return accountsFileBytes(store.AccountTable, store.AccountCount) + "|" +
         entriesFileBytes(store.EntryTable, store.EntryCount);
}

struct Book : testbooks::Books {
  Book() : Books({"A-現金", "Equity", "E-餐飲費", "I-薪資", "L-信用卡", "A-銀行"}) {
    const char* memos[] = {"初值", "午餐", "", "薪水 March", "咖啡", "卡費", "晚餐 with 朋友"};
    for (int i = 0; i < 14; ++i) {
      entry(QStringLiteral("2025/0%1/1%2").arg(1 + i % 9).arg(i % 10),
            i % 3 ? "E-餐飲費" : "A-銀行", i % 2 ? "A-現金" : "L-信用卡", 100 * i + 7,
            memos[i % 7]);
    }
  }
  std::vector<AccountRecord> accounts() const {
    return {&store.AccountTable[1], &store.AccountTable[1] + store.accountsInUse()};
  }
};

using Change = std::function<void(Module1&)>;

void renameEverywhere(Module1& s, int slot, const QString& name) {
  const QString old = s.AccountTable[slot].AccountName;
  s.AccountTable[slot].AccountName = nameField(name);
  for (int i = 1; i < s.EntryCount; ++i) {
    if (s.EntryTable[i].IncreaseAccount == old) s.EntryTable[i].IncreaseAccount = nameField(name);
    if (s.EntryTable[i].DecreaseAccount == old) s.EntryTable[i].DecreaseAccount = nameField(name);
  }
}

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
      {"append",
       [](Module1& s) {
         s.EntryTable[s.EntryCount++] = makeEntry("2025/12/01", "A-現金", "Equity", 5, "新");
       }},
      {"change one in place", [](Module1& s) { s.EntryTable[4].Memo = memoField("改過的備註"); }},
      {"every other deleted",
       [](Module1& s) { removeEntries(s, [](int i) { return i % 2 == 1; }); }},
      {"all deleted", [](Module1& s) { removeEntries(s, [](int) { return true; }); }},
      {"deleted then appended",
       [](Module1& s) {
         removeEntries(s, [](int i) { return i <= 3 || i == 9 || i == 14; });
         for (int k = 0; k < 3; ++k)
           s.EntryTable[s.EntryCount++] = makeEntry("2025/06/30", "A-銀行", "Equity", k, "初值");
       }},
      {"account renamed in its entries", [](Module1& s) { renameEverywhere(s, 3, "E-外食"); }},
      {"account deleted, later ones move up",
       [](Module1& s) {
         for (int i = 4; i + 1 < s.AccountCount; ++i) s.AccountTable[i] = s.AccountTable[i + 1];
         s.AccountTable[--s.AccountCount] = AccountRecord{};
       }},
      {"accounts swapped", [](Module1& s) { SwapValues(s.AccountTable[5], s.AccountTable[6]); }},
      {"kind changed", [](Module1& s) { s.AccountTable[6].AccountKind = kLiability; }},
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
    const auto accountsBefore = b.accounts();
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
      EXPECT_EQ(b.accounts(), accountsBefore);
      EXPECT_EQ(b.store.panel(Module1::EntriesPanel),
                QStringLiteral("資料筆數：%1").arg(entriesBefore.size()));
      ASSERT_FALSE(b.store.history().redo(b.store));
      EXPECT_EQ(bookBytes(b.store), after);
      EXPECT_EQ(b.entries(), entriesAfter);
    }
  }
}

TEST(History, OnlyAChangeMakesAStepAndANewStepForgetsWhatWasUndone) {
  Book b;
  History& h = b.store.history();
  EXPECT_EQ(h.undo(b.store)->text, QStringLiteral("沒有可以復原的動作"));
  EXPECT_EQ(h.redo(b.store)->text, QStringLiteral("沒有可以重做的動作"));

  ASSERT_FALSE(createAccount(b.store, "股票", kAsset, "300"));
  ASSERT_FALSE(h.undo(b.store));
  ASSERT_EQ(h.redoName(), stepname::kNewAccount);
  // Refused, or asked for nothing: no step, and redo is still there.
  EXPECT_TRUE(createAccount(b.store, "   ", kAsset, "0"));
  EXPECT_FALSE(renameAccount(b.store, 3, ""));
  EXPECT_FALSE(changeKind(b.store, 4, "3"));  // the kind it has
  EXPECT_EQ(deleteByDate(b.store, DeleteRule::OnDate, "2030/1/1", "2030/1/1").removed, 0);
  EXPECT_EQ(h.undoCount(), 0);
  EXPECT_EQ(h.redoName(), stepname::kNewAccount);

  ASSERT_FALSE(changeKind(b.store, 4, "4"));
  EXPECT_EQ(h.undoName(), stepname::kChangeKind);
  EXPECT_FALSE(h.canRedo());
}

TEST(History, ACommandMadeOfCommandsIsOneStep) {
  Book b;
  const QByteArray before = bookBytes(b.store);
  {
    const HistoryStep import(b.store, stepname::kImport);
    for (const char* amount : {"1", "2", "3"}) {
      ASSERT_TRUE(std::holds_alternative<int>(
          storeEntry(b.store, {false, 0, 2, 0, "2025/7/1", amount, "匯入"})));
    }
  }
  EXPECT_EQ(b.store.history().undoCount(), 1);
  EXPECT_EQ(b.store.history().undoName(), stepname::kImport);
  ASSERT_FALSE(b.store.history().undo(b.store));
  EXPECT_EQ(bookBytes(b.store), before);
}

TEST(History, KeepsTheLastHundredSteps) {
  Book b;
  const int start = b.store.EntryCount;
  for (int i = 0; i < 101; ++i) b.store.history().record(history::tablesOf(b.store), b.store, "x");
  EXPECT_EQ(b.store.history().undoCount(), 0);  // nothing changed
  for (int i = 0; i < 101; ++i) {
    const HistoryStep step(b.store, QString::number(i));
    b.entry("2025/12/31", "A-現金", "Equity", i);
  }
  EXPECT_EQ(b.store.history().undoCount(), History::kDepth);
  while (b.store.history().canUndo()) {
    ASSERT_FALSE(b.store.history().undo(b.store));
  }
  // The first step is gone: its entry stays.
  EXPECT_EQ(b.store.EntryCount, start + 1);
  EXPECT_EQ(b.store.history().redoName(), QStringLiteral("1"));
}

// A book changed behind the history's back is not guessed at: nothing moves and the steps,
// which no longer describe it, are forgotten.
TEST(History, RefusesAStepTheBookNoLongerFits) {
  const struct {
    bool redo;
    Change disturb;
  } cases[] = {
      {false, [](Module1& s) { s.EntryTable[s.EntryCount - 1].Amount += 1; }},  // a carried entry
      {false, [](Module1& s) { s.EntryTable[s.EntryCount++] = s.EntryTable[1]; }},
      {true, [](Module1& s) { s.EntryTable[1].Memo = memoField("別處改的"); }},  // one to remove
  };
  for (const auto& c : cases) {
    Book b;
    History& h = b.store.history();
    ASSERT_FALSE(closeBooksAt(b.store, "2025/03/31"));
    if (c.redo) {
      ASSERT_FALSE(h.undo(b.store));
    }
    c.disturb(b.store);
    const QByteArray disturbed = bookBytes(b.store);
    const auto refused = c.redo ? h.redo(b.store) : h.undo(b.store);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->text,
              c.redo
                  ? QStringLiteral("無法重做「結帳」：帳本已經和當時不同，之前的步驟都無法再重做")
                  : QStringLiteral("無法復原「結帳」：帳本已經和當時不同，之前的步驟都無法再復原"));
    EXPECT_EQ(bookBytes(b.store), disturbed);
    EXPECT_FALSE(h.canUndo() || h.canRedo());
  }
}

TEST(History, EachCommandOfTheBookLeavesOneNamedStep) {
  Book b;
  const std::pair<QString, std::function<void()>> commands[] = {
      {stepname::kNewEntry,
       [&] {
         ASSERT_EQ(std::get<int>(storeEntry(b.store, {false, 0, 2, 0, "2025/7/1", "80", "麵"})),
                   15);
       }},
      {stepname::kEditEntry,
       [&] {
         ASSERT_EQ(std::get<int>(storeEntry(b.store, {true, 3, 2, 0, "2025/7/2", "90", "飯"})), 3);
       }},
      {stepname::kDeleteEntries,
       [&] {
         ASSERT_FALSE(deleteTickedEntries(b.store, {2, 5}));
       }},
      {stepname::kBulkDelete,
       [&] {
         ASSERT_EQ(deleteByDate(b.store, DeleteRule::Within, "2025/1/1", "2025/2/28").removed, 3);
       }},
      {stepname::kClosing, [&] { ASSERT_FALSE(closeBooksAt(b.store, "2025/4/30")); }},
      {stepname::kNewAccount,
       [&] { ASSERT_FALSE(createAccount(b.store, "房貸", kLiability, "-5")); }},
      {stepname::kNewAccount,
       [&] { ASSERT_FALSE(createAccount(b.store, "交際費", kExpense, "")); }},
      {stepname::kRenameAccount, [&] { ASSERT_FALSE(renameAccount(b.store, 3, "E-外食")); }},
      {stepname::kChangeKind, [&] { ASSERT_FALSE(changeKind(b.store, 4, "1")); }},
      {stepname::kMoveAccount, [&] { ASSERT_TRUE(moveAccountUp(b.store, 4)); }},
      {stepname::kDeleteAccount, [&] { ASSERT_FALSE(deleteAccount(b.store, 8)); }},
  };
  std::vector<QByteArray> states{bookBytes(b.store)};
  for (const auto& [name, command] : commands) {
    SCOPED_TRACE(name.toStdString());
    command();
    EXPECT_EQ(b.store.history().undoName(), name);
    states.push_back(bookBytes(b.store));
    EXPECT_NE(states.back(), states[states.size() - 2]);
  }
  for (size_t k = states.size() - 1; k-- > 0;) {
    ASSERT_FALSE(b.store.history().undo(b.store));
    EXPECT_EQ(bookBytes(b.store), states[k]) << k;
  }
}

// The steps belong to the book: reopened unchanged (as the list does after its save), or saved
// as a new book, it keeps them; another book, the same one changed on disk, or a log-out
// forgets them.
TEST(History, LastsWhileItsBookIsOpen) {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store(dir.path(), dialogs);
  store.UserName = "u";
  for (const QString name : {"b", "a"}) {
    store.DataBaseName = name;
    QDir().mkpath(store.databaseFolder());
    ASSERT_FALSE(LoadDatabase(store, 100));
  }
  auto reopen = [&](const QString& name) {
    store.DataBaseName = name;
    return LoadDatabase(store);
  };
  ASSERT_FALSE(createAccount(store, "房租", kExpense, ""));
  ASSERT_TRUE(SaveDatabase(store).saved());
  ASSERT_FALSE(reopen("a"));
  EXPECT_EQ(store.history().undoName(), stepname::kNewAccount);

  ASSERT_FALSE(reopen("b"));
  EXPECT_FALSE(store.history().canUndo());

  ASSERT_FALSE(createAccount(store, "房租", kExpense, ""));
  ASSERT_TRUE(SaveDatabase(store).saved());
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
