#include "history/History.h"

#include "Books.h"
#include "accounts/chart.h"
#include "entries/deletion.h"
#include "entries/entrycommands.h"
#include "maintenance/bulkdelete.h"
#include "maintenance/closing.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr int kCommands = 600;

// A seeded session on a small book: every command of the book, refused ones among them, and
// undo and redo in between. The book's file bytes after every command are the model: undo and
// redo must walk exactly along them.
class Session {
 public:
  explicit Session(unsigned seed) : random_(seed) {
    s_.history().setDepth(kCommands);
    for (int i = 0; i < 20; ++i) {
      b_.entry(date(), pick(0, 1) ? "E-餐飲費" : "A-銀行", pick(0, 1) ? "A-現金" : "L-信用卡",
               pick(1, 5000), memo());
    }
    states_.push_back(testbooks::bookBytes(s_));
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
      if (testbooks::bookBytes(s_) == states_[at_]) {
        ASSERT_EQ(history().undoCount(), undoable) << "a command that changed nothing made a step";
        ASSERT_EQ(history().redoCount(), redoable);
      } else {
        ASSERT_EQ(history().undoCount(), undoable + 1) << "kind " << kind;
        ASSERT_EQ(history().redoCount(), 0);
        states_.resize(++at_);
        states_.push_back(testbooks::bookBytes(s_));
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
    ASSERT_EQ(testbooks::bookBytes(s_), states_[at_]) << (undo ? "undo" : "redo") << " to " << at_;
  }

  void command(int kind) {
    switch (kind) {
      case 0:
      case 1:
      case 2:
        storeEntry(s_, {kind == 2, kind == 2 ? pick(0, s_.EntryCount) : 0,
                        pick(-1, s_.AccountCount - 1), pick(0, s_.AccountCount - 1), date(),
                        amount(), memo()});
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
  testbooks::Books b_{{"A-現金", "Equity", "E-餐飲費", "I-薪資", "L-信用卡", "A-銀行"}};
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
