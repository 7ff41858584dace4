#include "history/History.h"
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

constexpr int kCommands = 600;

// A seeded session on a small book: every command of the book, refused ones among them, and
// undo and redo in between. The book's file bytes after every command are the model: undo and
// redo must walk exactly along them.
class Session {
 public:
  explicit Session(unsigned seed) : random_(seed) {
    s_.history().setDepth(kCommands);
    states_.push_back(bookBytes(s_));
  }

  void run() {
    for (int i = 0; i < kCommands; ++i) {
      const int kind = pick(0, 14);
      if (kind >= 13) {
        step(kind == 13);
        continue;
      }
      const int undoable = history().undoCount(), redoable = history().redoCount();
      command(kind);
      if (bookBytes(s_) == states_[at_]) {
        ASSERT_EQ(history().undoCount(), undoable) << "a command that changed nothing made a step";
        ASSERT_EQ(history().redoCount(), redoable);
      } else {
        ASSERT_EQ(history().undoCount(), undoable + 1) << "kind " << kind;
        ASSERT_EQ(history().redoCount(), 0);
        states_.resize(++at_);
        states_.push_back(bookBytes(s_));
      }
    }
    while (history().canUndo()) step(true);
    ASSERT_EQ(at_, 0u);
    while (history().canRedo()) step(false);
    ASSERT_EQ(at_, states_.size() - 1);
  }

 private:
  History& history() { return s_.history(); }
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
  QString oneOf(const QStringList& options) { return options[pick(0, int(options.size()) - 1)]; }
  QString date() {
    return pick(0, 30) ? QStringLiteral("2024/%1/%2").arg(pick(1, 12)).arg(pick(1, 28))
                       : QStringLiteral("2024/13/1");
  }
  QString memo() { return oneOf({"", "午餐", "coffee 咖啡", "初值", "  ", "x😀"}); }
  QString amount() { return oneOf({"100", "2.5", "-3", "", "abc", "99999999999", "7"}); }
  int account() { return pick(0, s_.AccountCount); }

  void step(bool undo) {
    const bool possible = undo ? history().canUndo() : history().canRedo();
    ASSERT_EQ((undo ? history().undo(s_) : history().redo(s_)).has_value(), !possible);
    if (!possible) return;
    at_ = undo ? at_ - 1 : at_ + 1;
    ASSERT_EQ(bookBytes(s_), states_[at_]) << (undo ? "undo" : "redo") << " to " << at_;
  }

  void command(int kind) {
    switch (kind) {
      case 0:
      case 1:
      case 2:
        storeEntry(
            s_, {kind == 2, kind == 2 ? pick(0, s_.EntryCount) : 0, pick(-1, s_.AccountCount - 1),
                 pick(0, s_.AccountCount - 1), date(), amount(), memo()});
        break;
      case 3: {
        std::vector<int> ticked;
        for (int n = pick(0, 4); n > 0; --n) ticked.push_back(pick(0, s_.EntryCount));
        deleteTickedEntries(s_, ticked);
        break;
      }
      case 4: {
        const QString first = date();
        deleteByDate(s_, static_cast<DeleteRule>(pick(0, 3)), first, pick(0, 1) ? first : date());
        break;
      }
      case 5:
        if (pick(0, 3) == 0) closeBooksAt(s_, date());
        break;
      case 6:
      case 7:
        createAccount(s_, oneOf({"股票", "信用卡", "薪資", "現金", "房租", "Equity", ""}),
                      pick(0, 4), amount());
        break;
      case 8:
        renameAccount(s_, account(), oneOf({"", "A-新帳戶", "E-雜支", "  ", "Equity", "I-薪資"}));
        break;
      case 9:
        changeKind(s_, account(), oneOf({"", "1", "2", "3", "4", "5", "x"}));
        break;
      case 10:
        deleteAccount(s_, account());
        break;
      case 11:
        moveAccountUp(s_, account());
        break;
      default:
        moveAccountDown(s_, account());
    }
  }

  std::mt19937 random_;
  Book b_;
  Module1& s_ = b_.store;
  std::vector<QByteArray> states_;
  size_t at_ = 0;
};

// scripts/fuzz sets VARNIX_HISTORY_SEEDS for a longer run.
TEST(HistoryProperty, UndoAndRedoWalkBackAndForthThroughEverySavedState) {
  const int seeds = qEnvironmentVariableIntValue("VARNIX_HISTORY_SEEDS");
  for (int seed = 1; seed <= (seeds > 0 ? seeds : 200); ++seed) {
    SCOPED_TRACE(seed);
    Session(static_cast<unsigned>(seed)).run();
    if (::testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace
