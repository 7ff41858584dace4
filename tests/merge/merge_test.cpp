// Merging two copies of a book: each kind of question with the book every answer gives, changes
// that merge without one, and merges that are refused.
#include "merge/merge.h"
#include "MergeBooks.h"

#include <gtest/gtest.h>

using namespace mergebooks;
using merge::Choice;
using merge::ConflictKind;

namespace {

const Row kLunch120{"2024/01/10", kFood, kCash, 120, "午餐"},
    kLunch150{"2024/01/10", kFood, kCash, 150, "午餐"},
    kBreakfast{"2024/05/01", kFood, kCash, 30, "早餐"},
    kBus{"2024/02/02", "E-交通", kCash, 15, "公車"};

// Equity, cash and food (and more), with the entries.
store::BookTables chart(const std::vector<Row>& rows, const QStringList& more = {}) {
  return bookOf(QStringList{"Equity", kCash, kFood} + more, rows);
}
// Closed at 2024/06/30: the lunch of 100 carried in cash's balance.
Row carried(qint32 cash) { return {"2024/06/30", kCash, "Equity", cash, "初值"}; }
store::BookTables renamed(const QString& food, const std::vector<Row>& rows) {
  store::BookTables b = bookOf({"Equity", kCash, food}, rows);
  for (int s = 1; s < b.entryCount; ++s) b.entries[s].IncreaseAccount = store::nameField(food);
  return b;
}
store::BookTables withAccounts(store::BookTables b, const QString& mark, int count) {
  for (int i = 0; i < count; ++i)
    b.accounts[b.accountCount++] =
        store::makeAccount(QStringLiteral("E-%1%2").arg(mark).arg(i), store::kExpense);
  return b;
}

struct ConflictCase {
  const char* name;
  store::BookTables base, ours, theirs;
  ConflictKind kind;
  std::optional<store::BookTables> mine, theirsChosen, both;  // the book each answer gives
};

std::vector<ConflictCase> conflictCases() {
  const store::BookTables wide = withAccounts(chart({}), "底", 93);  // 96 accounts
  store::BookTables theirWide = withAccounts(wide, "乙", 3);
  theirWide.entries[theirWide.entryCount++] =
      store::makeEntry("2024/03/03", "E-乙0", kCash, 9, "乙");
  return {
      {"renamed differently", chart({kLunch}), renamed("E-吃飯", {kLunch}),
       renamed("E-伙食", {kLunch}), ConflictKind::AccountChangedBoth, renamed("E-吃飯", {kLunch}),
       renamed("E-伙食", {kLunch}), std::nullopt},
      {"deleted an account the other used", chart({kLunch}, {"E-交通"}), chart({kLunch}),
       chart({kLunch, kBus}, {"E-交通"}), ConflictKind::AccountDeletedInUse, chart({kLunch}),
       chart({kLunch, kBus}, {"E-交通"}), std::nullopt},
      {"accounts beyond the limit", wide, withAccounts(wide, "甲", 3), theirWide,
       ConflictKind::AccountsOverLimit, withAccounts(wide, "甲", 3), theirWide, std::nullopt},
      {"entry changed differently", chart({kLunch, kDinner}), chart({kLunch120, kDinner}),
       chart({kLunch150, kDinner}), ConflictKind::EntryChangedBoth, chart({kLunch120, kDinner}),
       chart({kLunch150, kDinner}), chart({kLunch120, kLunch150, kDinner})},
      {"entry changed and deleted", chart({kLunch, kDinner}), chart({kLunch120, kDinner}),
       chart({kDinner}), ConflictKind::EntryChangedDeleted, chart({kLunch120, kDinner}),
       chart({kDinner}), std::nullopt},
      {"new entry before the other side's closing", chart({kLunch, kDinner}),
       chart({kDinner, carried(-100)}), chart({kLunch, kDinner, kBreakfast, kSnack}),
       ConflictKind::EntryBeforeClosing, chart({kDinner, carried(-100), kSnack}),
       chart({kDinner, carried(-100), kBreakfast, kSnack}), std::nullopt},
      // Answered for the other side, the closing no longer carries the old lunch.
      {"closed entry deleted on the other side", chart({kLunch, kDinner}),
       chart({kDinner, carried(-100)}), chart({kDinner}), ConflictKind::EntryBeforeClosing,
       chart({kDinner, carried(-100)}), chart({kDinner, carried(0)}), std::nullopt},
      {"closed entry changed on the other side", chart({kLunch, kDinner}),
       chart({kDinner, carried(-100)}), chart({kLunch120, kDinner}),
       ConflictKind::EntryBeforeClosing, chart({kDinner, carried(-100)}),
       chart({kLunch120, kDinner, carried(0)}), std::nullopt},
  };
}

TEST(MergeConflicts, EachAnswerGivesItsBook) {
  for (const ConflictCase& c : conflictCases()) {
    SCOPED_TRACE(c.name);
    const auto planned = merge::plan(c.base, c.ours, c.theirs);
    ASSERT_TRUE(std::holds_alternative<merge::Plan>(planned))
        << std::get<QString>(planned).toStdString();
    const merge::Plan& plan = std::get<merge::Plan>(planned);
    ASSERT_EQ(plan.conflicts.size(), 1u);
    EXPECT_EQ(plan.conflicts[0].kind, c.kind);
    EXPECT_EQ(plan.conflicts[0].allowsBoth, c.both.has_value());
    for (const auto& [answer, expected] :
         {std::pair{Choice::Mine, &c.mine}, std::pair{Choice::Theirs, &c.theirsChosen},
          std::pair{Choice::Both, &c.both}}) {
      const auto merged = merge::apply(plan, std::vector<Choice>{answer});
      ASSERT_EQ(merged.index(), expected->has_value() ? 0u : 1u);
      if (expected->has_value()) {
        EXPECT_EQ(bytesOf(std::get<merge::Merged>(merged).tables), bytesOf(**expected));
      }
    }
    // The other computer sees the same question from its side.
    const auto mirrored = merge::plan(c.base, c.theirs, c.ours);
    ASSERT_EQ(std::get<merge::Plan>(mirrored).conflicts.size(), 1u);
    EXPECT_EQ(std::get<merge::Plan>(mirrored).conflicts[0].mine, plan.conflicts[0].theirs);
    EXPECT_NE(plan.conflicts[0].mine, plan.conflicts[0].theirs);
  }
}

TEST(MergeQuietly, BothSidesChangesLand) {
  const struct {
    const char* name;
    store::BookTables base, ours, theirs, expected;
    merge::Summary summary;
  } cases[] = {
      {"a rename follows the other side's new entries", chart({kLunch}), chart({kLunch, kSnack}),
       renamed("E-伙食", {kLunch}), renamed("E-伙食", {kLunch, kSnack}),
       merge::Summary{0, 0, {"E-餐飲 → E-伙食"}}},
      {"the other side's new entries on top of a closing", chart({kLunch, kDinner}),
       chart({kDinner, carried(-100)}), chart({kLunch, kDinner, kSnack}),
       chart({kDinner, carried(-100), kSnack}), merge::Summary{1, 0, {}}},
      {"a range deleted on one side, a change elsewhere on the other", chart({kLunch, kDinner}),
       chart({kDinner}), chart({kLunch, kSnack}), chart({kSnack}), merge::Summary{1, 1, {}}},
      {"the same change and the same new entry count once", chart({kLunch, kDinner}),
       chart({kLunch120, kDinner, kSnack}), chart({kLunch120, kDinner, kSnack}),
       chart({kLunch120, kDinner, kSnack}), merge::Summary{}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto merged = merge::mergeBooks(c.base, c.ours, c.theirs);
    ASSERT_TRUE(std::holds_alternative<merge::Merged>(merged))
        << std::get<QString>(merged).toStdString();
    EXPECT_EQ(linesOf(std::get<merge::Merged>(merged).tables), linesOf(c.expected));
    EXPECT_EQ(std::get<merge::Merged>(merged).summary, c.summary);
  }
}

TEST(MergeRefused, UnsoundOrUndecidableBooks) {
  store::BookTables full = chart({}), ours, theirs;
  for (int i = 0; i < 2990; ++i)
    full.entries[full.entryCount++] = store::makeEntry("2024/01/01", kFood, kCash, i, "");
  ours = theirs = full;
  for (int i = 0; i < 6; ++i) {
    ours.entries[ours.entryCount++] = store::makeEntry("2024/02/01", kFood, kCash, i, "甲");
    theirs.entries[theirs.entryCount++] = store::makeEntry("2024/02/01", kFood, kCash, i, "乙");
  }
  const struct {
    const char* name;
    store::BookTables base, ours, theirs;
    QString reason;
  } cases[] = {
      {"beyond 3000 entries", full, ours, theirs, "合併後的記錄有 3002 筆，超過 3000 筆的上限"},
      {"both closed differently", chart({kLunch, kDinner}), chart({kDinner, carried(-100)}),
       chart({kDinner, carried(-99)}), "兩邊都結了帳，結帳的日期或結轉的金額不同，無法合併"},
      {"an entry naming no account", chart({kLunch}),
       chart({kLunch, {"2024/03/01", "E-無此帳戶", kCash, 1, ""}}), chart({kLunch}),
       "記錄用到的帳戶「E-無此帳戶」不在帳戶表裡"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto merged = merge::mergeBooks(c.base, c.ours, c.theirs);
    ASSERT_TRUE(std::holds_alternative<QString>(merged));
    EXPECT_EQ(std::get<QString>(merged), c.reason);
  }
}

}  // namespace
