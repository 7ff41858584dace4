#include "history/History.h"

#include "Books.h"
#include "maintenance/bulkdelete.h"
#include "maintenance/closing.h"
#include "accounts/chart.h"
#include "store/database.h"
#include "entries/deletion.h"
#include "entries/entrycommands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

// Seeds run here; scripts/fuzz sets VARNIX_HISTORY_SEEDS for a longer run.
int seedCount() {
  const char* text = std::getenv("VARNIX_HISTORY_SEEDS");
  const int seeds = text ? std::atoi(text) : 0;
  return seeds > 0 ? seeds : 200;
}

constexpr int kCommands = 600;

// A seeded session on a small book: every command of the book, refused ones among them, and
// undo and redo in between. The book's file bytes after every command are the model: undo and
// redo must walk exactly along them.
class Session {
 public:
  explicit Session(unsigned seed)
      : random_(seed), b_({"A-現金", "Equity", "E-餐飲費", "I-薪資", "L-信用卡", "A-銀行"}) {
    b_.store.history().setDepth(kCommands);
    for (int i = 0; i < 20; ++i) {
      b_.entry(date(), pick(0, 1) ? "E-餐飲費" : "A-銀行", pick(0, 1) ? "A-現金" : "L-信用卡",
               pick(1, 5000), memo());
    }
    states_.push_back(bytes());
  }

  void run() {
    for (int i = 0; i < kCommands; ++i) {
      const int kind = pick(0, 14);
      if (kind >= 13) {
        step(kind == 13);
        continue;
      }
      const int undoable = history().undoCount();
      const int redoable = history().redoCount();
      b_.dialogs.clear();
      command(kind);
      if (bytes() == states_[at_]) {
        ASSERT_EQ(history().undoCount(), undoable) << "a command that changed nothing made a step";
        ASSERT_EQ(history().redoCount(), redoable);
      } else {
        ASSERT_EQ(history().undoCount(), undoable + 1) << "kind " << kind;
        ASSERT_EQ(history().redoCount(), 0);
        states_.resize(at_ + 1);
        states_.push_back(bytes());
        ++at_;
      }
    }
    while (history().canUndo()) step(true);
    ASSERT_EQ(at_, 0u);
    while (history().canRedo()) step(false);
    ASSERT_EQ(at_, states_.size() - 1);
  }

 private:
  History& history() { return b_.store.history(); }
  QByteArray bytes() const {
    return accountsFileBytes(b_.store.AccountTable, b_.store.AccountCount) + "|" +
           entriesFileBytes(b_.store.EntryTable, b_.store.EntryCount);
  }
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
  template <typename T>
  const T& oneOf(const std::vector<T>& options) {
    return options[static_cast<size_t>(pick(0, static_cast<int>(options.size()) - 1))];
  }
  QString date() {
    if (pick(0, 30) == 0) return QStringLiteral("2024/13/1");
    return QStringLiteral("2024/%1/%2").arg(pick(1, 12)).arg(pick(1, 28));
  }
  QString memo() { return oneOf<QString>({"", "午餐", "coffee 咖啡", "初值", "  ", "x😀"}); }
  QString amount() { return oneOf<QString>({"100", "2.5", "-3", "", "abc", "99999999999", "7"}); }
  int accountSlot() { return pick(0, b_.store.AccountCount); }

  void step(bool undo) {
    const bool possible = undo ? history().canUndo() : history().canRedo();
    const auto refused = undo ? history().undo(b_.store) : history().redo(b_.store);
    ASSERT_EQ(refused.has_value(), !possible);
    if (!possible) return;
    at_ = undo ? at_ - 1 : at_ + 1;
    ASSERT_EQ(bytes(), states_[at_]) << (undo ? "undo" : "redo") << " to state " << at_;
  }

  void command(int kind) {
    Module1& s = b_.store;
    switch (kind) {
      case 0:
      case 1:
      case 2: {
        const bool edit = kind == 2;
        storeEntry(s, {edit, edit ? pick(0, s.EntryCount) : 0, pick(-1, s.AccountCount - 1),
                       pick(0, s.AccountCount - 1), date(), amount(), memo()});
        break;
      }
      case 3: {
        std::vector<int> ticked;
        for (int n = pick(0, 4); n > 0; --n) ticked.push_back(pick(0, s.EntryCount));
        deleteTickedEntries(s, ticked);
        break;
      }
      case 4: {
        const QString first = date();
        deleteByDate(s, static_cast<DeleteRule>(pick(0, 3)), first, pick(0, 1) ? first : date());
        break;
      }
      case 5:
        if (pick(0, 3) == 0) closeBooksAt(s, date());
        break;
      case 6:
      case 7:
        createAccount(s, oneOf<QString>({"股票", "信用卡", "薪資", "現金", "房租", "Equity", ""}),
                      pick(0, 4), amount());
        break;
      case 8:
        renameAccount(s, accountSlot(),
                      oneOf<QString>({"", "A-新帳戶", "E-雜支", "  ", "Equity", "I-薪資"}));
        break;
      case 9:
        changeKind(s, accountSlot(), oneOf<QString>({"", "1", "2", "3", "4", "5", "x"}));
        break;
      case 10:
        deleteAccount(s, accountSlot());
        break;
      case 11:
        moveAccountUp(s, accountSlot());
        break;
      case 12:
        moveAccountDown(s, accountSlot());
        break;
    }
  }

  std::mt19937 random_;
  testbooks::Books b_;
  std::vector<QByteArray> states_;
  size_t at_ = 0;
};

TEST(HistoryProperty, UndoAndRedoWalkBackAndForthThroughEverySavedState) {
  for (int seed = 1; seed <= seedCount(); ++seed) {
    SCOPED_TRACE(seed);
    Session session(static_cast<unsigned>(seed));
    session.run();
    if (::testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace
