#include "history/History.h"
#include "book/book.h"
#include "history/steps.h"

#include "Books.h"
#include "TestFiles.h"
#include "accounts/chart.h"
#include "entries/deletion.h"
#include "entries/entrycommands.h"
#include "maintenance/bulkdelete.h"
#include "maintenance/closing.h"
#include "users/users.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using testbooks::bookBytes;

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

// A book changed behind the history's back is not guessed at: nothing moves and the steps,
// which no longer describe it, are forgotten.
TEST(History, RefusesAStepTheBookNoLongerFits) {
  for (const bool redo : {false, true}) {
    Book b;
    ASSERT_FALSE(maintenance::closeBooksAt(b.store, "2025/03/31"));
    // An entry that redo would remove, or a carried one that undo would remove.
    if (redo) {
      ASSERT_FALSE(b.store.undo());
      b.store.tables().entries[1].Memo = store::memoField("別處改的");
    } else {
      b.store.tables().entries[b.store.tables().entryCount - 1].Amount += 1;
    }
    const QByteArray disturbed = bookBytes(b.store);
    const QString what = redo ? "重做" : "復原";
    EXPECT_EQ((redo ? b.store.redo() : b.store.undo()).value_or(Message{}).text,
              QStringLiteral("無法%1「結帳」：帳本已經和當時不同，之前的步驟都無法再%1").arg(what));
    EXPECT_EQ(bookBytes(b.store), disturbed);
    EXPECT_FALSE(b.store.history().canUndo() || b.store.history().canRedo());
  }
}

// The steps belong to the book: reopened unchanged (as the list does after its save), or saved
// as a new book, it keeps them; another book, the same one changed on disk, or a log-out
// forgets them.
TEST(History, LastsWhileItsBookIsOpen) {
  testbooks::Books b;
  book::Workspace& store = b.store;
  const auto reopen = [&](const QString& name) {
    b.signIn("u", name);
    return book::open(store, 100);
  };
  const auto changeAndSave = [&](const char* account) {
    return !accounts::createAccount(store, account, store::kExpense, "") &&
           book::save(store).saved();
  };
  ASSERT_FALSE(reopen("b") || reopen("a"));
  ASSERT_TRUE(changeAndSave("房租"));
  ASSERT_FALSE(reopen("a"));
  EXPECT_EQ(store.history().undoName(), stepnames::kNewAccount);
  ASSERT_FALSE(reopen("b"));
  EXPECT_FALSE(store.history().canUndo());

  ASSERT_TRUE(changeAndSave("房租"));
  putFile(store.user().databaseFolder() + "/Main.dat", QByteArray());
  ASSERT_FALSE(reopen("b"));
  EXPECT_FALSE(store.history().canUndo());

  // Changed on disk before a save: the book goes on as a new one in the list, steps and all.
  ASSERT_FALSE(accounts::createAccount(store, "保險", store::kExpense, ""));
  putFile(store.user().databaseFolder() + "/Main.dat", QByteArray(128, ' '));
  const book::SaveResult conflict = book::save(store);
  ASSERT_TRUE(conflict.saved() && conflict.notice);
  ASSERT_NE(store.user().databaseName(), QStringLiteral("b"));
  ASSERT_FALSE(reopen(store.user().databaseName()));
  EXPECT_EQ(store.history().undoName(), stepnames::kNewAccount);

  ASSERT_FALSE(accounts::createAccount(store, "水費", store::kExpense, ""));
  ASSERT_TRUE(users::saveAndLogOut(store).saved());
  EXPECT_FALSE(store.history().canUndo());
}

// A seeded session on a small book: every command of the book, refused ones among them, and
// undo and redo in between. The book's file bytes after every command are the model: undo and
// redo must walk exactly along them, as far back as the history keeps steps. scripts/fuzz sets
// VARNIX_HISTORY_SEEDS for a longer run.
TEST(HistoryProperty, UndoAndRedoWalkBackAndForthThroughEverySavedState) {
  const int seeds = qEnvironmentVariableIntValue("VARNIX_HISTORY_SEEDS");
  for (unsigned seed = 1; seed <= unsigned(seeds > 0 ? seeds : 200); ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(random); };
    const auto oneOf = [&](const QStringList& all) { return all[pick(0, int(all.size()) - 1)]; };
    const auto date = [&] {
      return pick(0, 30) ? QStringLiteral("2024/%1/%2").arg(pick(1, 12)).arg(pick(1, 28))
                         : QStringLiteral("2024/13/1");
    };
    const auto amount = [&] { return oneOf({"100", "2.5", "-3", "", "abc", "99999999999", "7"}); };
    Book b;
    book::Workspace& s = b.store;
    History& h = s.history();
    const auto account = [&] { return pick(0, s.tables().accountCount); };
    const auto entry = [&] { return pick(0, s.tables().entryCount); };
    const auto storeEntry = [&](bool edit) {
      entries::storeEntry(s, {edit, edit ? entry() : 0, pick(-1, s.tables().accountCount - 1),
                              pick(0, s.tables().accountCount - 1), date(), amount(),
                              oneOf({"", "午餐", "coffee 咖啡", "初值", "  ", "x😀"})});
    };
    // Each command with the name its step has, as the menu shows it.
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"新增記錄", [&] { storeEntry(false); }},
        {"刪除記錄",
         [&] {
           entries::deleteTickedEntries(s, {entry(), entry()});
         }},
        {"修改記錄", [&] { storeEntry(true); }},
        {"多筆刪除",
         [&] {
           const QString first = date();
           maintenance::deleteByDate(s, maintenance::DeleteRule(pick(0, 3)), first,
                                     pick(0, 1) ? first : date());
         }},
        {"結帳", [&] { maintenance::closeBooksAt(s, pick(0, 3) ? "" : date()); }},
        {"新增帳戶",
         [&] {
           accounts::createAccount(s,
                                   oneOf({"股票", "信用卡", "薪資", "現金", "房租", "Equity", ""}),
                                   pick(0, 4), amount());
         }},
        {"更改帳戶名稱",
         [&] {
           accounts::renameAccount(s, account(), oneOf({"", "A-新帳戶", "E-雜支", "  ", "Equity"}));
         }},
        {"更改帳戶類別",
         [&] {
           accounts::changeKind(s, account(), oneOf({"", "1", "2", "3", "4", "5", "x"}));
         }},
        {"刪除帳戶", [&] { accounts::deleteAccount(s, account()); }},
        {"移動帳戶", [&] { accounts::moveAccountUp(s, account()); }},
        {"移動帳戶", [&] { accounts::moveAccountDown(s, account()); }},
    };
    std::vector<QByteArray> states{bookBytes(s)};
    size_t at = 0;
    const auto step = [&](bool undo) {
      const bool possible = undo ? h.canUndo() : h.canRedo();
      const std::optional<Message> refused = undo ? s.undo() : s.redo();
      ASSERT_EQ(refused.has_value(), !possible);
      if (!possible) {
        ASSERT_EQ(refused->text, undo ? "沒有可以復原的動作" : "沒有可以重做的動作");
        return;
      }
      at = undo ? at - 1 : at + 1;
      ASSERT_EQ(bookBytes(s), states[at]) << (undo ? "undo" : "redo") << " to " << at;
    };
    for (int i = 0; i < 600 && !HasFatalFailure(); ++i) {
      const int kind = pick(0, 14);  // new and deleted entries twice as often; then undo, redo
      if (kind >= 13) {
        step(kind == 13);
        continue;
      }
      const int undoable = h.undoCount(), redoable = h.redoCount();
      const auto& [name, command] = commands[kind % 11];
      command();
      const bool changed = bookBytes(s) != states[at];
      // The last hundred steps are kept; a command that changed nothing made none.
      ASSERT_EQ(h.undoCount(), std::min(undoable + changed, History::kDepth)) << name;
      ASSERT_EQ(h.redoCount(), changed ? 0 : redoable);
      if (changed) {
        ASSERT_EQ(h.undoName(), QString::fromUtf8(name));
        states.resize(++at);
        states.push_back(bookBytes(s));
      }
    }
    // Back to the oldest state kept (the first when no step was dropped), and forward again.
    const size_t oldest = at - size_t(h.undoCount());
    while (h.canUndo() && !HasFatalFailure()) step(true);
    ASSERT_EQ(at, oldest);
    while (h.canRedo() && !HasFatalFailure()) step(false);
    ASSERT_EQ(at, states.size() - 1);
  }
}

}  // namespace
