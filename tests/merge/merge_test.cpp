// Merging two copies of a book: each kind of question with the book every answer gives, the
// changes that merge without one, and the merges that are refused.
#include "MergeBooks.h"
#include "merge/merge.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace mergebooks;
using merge::Choice;
using merge::ConflictKind;

namespace {

const QString kCash = QStringLiteral("A-現金");
const QString kFood = QStringLiteral("E-餐飲");
const QString kBus = QStringLiteral("E-交通");
const Row kLunch{"2024/01/10", kFood, kCash, 100, "午餐"};
const Row kDinner{"2024/08/01", kFood, kCash, 50, "晚餐"};
const Row kCarried{"2024/06/30", kCash, "Equity", -100, "初值"};

BookTables chartOf(std::initializer_list<QString> extra, const std::vector<Row>& rows) {
  BookTables b = book({QStringLiteral("Equity"), kCash}, rows);
  for (const QString& name : extra) b.accounts[b.accountCount++] = makeAccount(name, kindOf(name));
  return b;
}

BookTables carriedAt(const std::vector<Row>& after, qint32 cash) {
  std::vector<Row> rows = after;
  rows.push_back({"2024/06/30", kCash, "Equity", cash, "初值"});
  return chartOf({kFood}, rows);
}

struct ConflictCase {
  const char* name;
  BookTables base, ours, theirs;
  ConflictKind kind;
  std::optional<BookTables> mine, theirsChosen, both;  // the book each answer gives
};

BookTables manyAccounts(int count, const QString& mark) {
  BookTables b = chartOf({}, {});
  for (int i = 0; b.accountCount <= count; ++i)
    b.accounts[b.accountCount++] = makeAccount(QStringLiteral("E-%1%2").arg(mark).arg(i), kExpense);
  return b;
}

std::vector<ConflictCase> conflictCases() {
  std::vector<ConflictCase> cases;
  cases.push_back({"renamed differently", chartOf({kFood}, {kLunch}),
                   book({"Equity", kCash, "E-吃飯"}, {{"2024/01/10", "E-吃飯", kCash, 100, "午餐"}}),
                   book({"Equity", kCash, "E-伙食"}, {{"2024/01/10", "E-伙食", kCash, 100, "午餐"}}),
                   ConflictKind::AccountChangedBoth,
                   book({"Equity", kCash, "E-吃飯"}, {{"2024/01/10", "E-吃飯", kCash, 100, "午餐"}}),
                   book({"Equity", kCash, "E-伙食"}, {{"2024/01/10", "E-伙食", kCash, 100, "午餐"}}),
                   std::nullopt});
  const Row busRide{"2024/02/02", kBus, kCash, 15, "公車"};
  cases.push_back({"deleted an account the other used", chartOf({kFood, kBus}, {kLunch}),
                   chartOf({kFood}, {kLunch}), chartOf({kFood, kBus}, {kLunch, busRide}),
                   ConflictKind::AccountDeletedInUse, chartOf({kFood}, {kLunch}),
                   chartOf({kFood, kBus}, {kLunch, busRide}), std::nullopt});
  BookTables wide = manyAccounts(96, "底");
  BookTables ourWide = wide, theirWide = wide, ourOnly = wide, theirOnly = wide;
  for (const char* name : {"E-甲1", "E-甲2", "E-甲3"}) {
    ourWide.accounts[ourWide.accountCount++] = makeAccount(name, kExpense);
    ourOnly.accounts[ourOnly.accountCount++] = makeAccount(name, kExpense);
  }
  for (const char* name : {"E-乙1", "E-乙2", "E-乙3"}) {
    theirWide.accounts[theirWide.accountCount++] = makeAccount(name, kExpense);
    theirOnly.accounts[theirOnly.accountCount++] = makeAccount(name, kExpense);
  }
  theirWide.entries[theirWide.entryCount++] = makeEntry("2024/03/03", "E-乙1", kCash, 9, "乙");
  theirOnly.entries[theirOnly.entryCount++] = makeEntry("2024/03/03", "E-乙1", kCash, 9, "乙");
  cases.push_back({"accounts beyond the limit", wide, ourWide, theirWide,
                   ConflictKind::AccountsOverLimit, ourOnly, theirOnly, std::nullopt});
  const Row lunch120{"2024/01/10", kFood, kCash, 120, "午餐"};
  const Row lunch150{"2024/01/10", kFood, kCash, 150, "午餐"};
  cases.push_back({"entry changed differently", chartOf({kFood}, {kLunch, kDinner}),
                   chartOf({kFood}, {lunch120, kDinner}), chartOf({kFood}, {lunch150, kDinner}),
                   ConflictKind::EntryChangedBoth, chartOf({kFood}, {lunch120, kDinner}),
                   chartOf({kFood}, {lunch150, kDinner}),
                   chartOf({kFood}, {lunch120, lunch150, kDinner})});
  cases.push_back({"entry changed and deleted", chartOf({kFood}, {kLunch, kDinner}),
                   chartOf({kFood}, {lunch120, kDinner}), chartOf({kFood}, {kDinner}),
                   ConflictKind::EntryChangedDeleted, chartOf({kFood}, {lunch120, kDinner}),
                   chartOf({kFood}, {kDinner}), std::nullopt});
  // Closed at 2024/06/30: the lunch is carried in cash's balance of -100.
  const Row breakfast{"2024/05/01", kFood, kCash, 30, "早餐"};
  const Row snack{"2024/09/01", kFood, kCash, 20, "點心"};
  cases.push_back({"new entry before the other side's closing", chartOf({kFood}, {kLunch, kDinner}),
                   carriedAt({kDinner}, -100), chartOf({kFood}, {kLunch, kDinner, breakfast, snack}),
                   ConflictKind::EntryBeforeClosing,
                   chartOf({kFood}, {kDinner, kCarried, snack}),
                   chartOf({kFood}, {kDinner, kCarried, breakfast, snack}),
                   std::nullopt});
  cases.push_back({"closed entry deleted on the other side", chartOf({kFood}, {kLunch, kDinner}),
                   carriedAt({kDinner}, -100), chartOf({kFood}, {kDinner}),
                   ConflictKind::EntryBeforeClosing, carriedAt({kDinner}, -100),
                   carriedAt({kDinner}, 0), std::nullopt});
  cases.push_back({"closed entry changed on the other side", chartOf({kFood}, {kLunch, kDinner}),
                   carriedAt({kDinner}, -100), chartOf({kFood}, {lunch120, kDinner}),
                   ConflictKind::EntryBeforeClosing, carriedAt({kDinner}, -100),
                   chartOf({kFood}, {lunch120, kDinner, {"2024/06/30", kCash, "Equity", 0, "初值"}}),
                   std::nullopt});
  return cases;
}

TEST(MergeConflicts, EachAnswerGivesItsBook) {
  for (const ConflictCase& c : conflictCases()) {
    SCOPED_TRACE(c.name);
    const auto planned = merge::plan(c.base, c.ours, c.theirs);
    ASSERT_TRUE(std::holds_alternative<merge::Plan>(planned)) << std::get<QString>(planned).toStdString();
    const merge::Plan& plan = std::get<merge::Plan>(planned);
    ASSERT_EQ(plan.conflicts.size(), 1u);
    EXPECT_EQ(plan.conflicts[0].kind, c.kind);
    EXPECT_FALSE(plan.conflicts[0].title.isEmpty() || plan.conflicts[0].mine == plan.conflicts[0].theirs);
    EXPECT_EQ(plan.conflicts[0].allowsBoth, c.both.has_value());
    const std::pair<Choice, const std::optional<BookTables>*> answers[] = {
        {Choice::Mine, &c.mine}, {Choice::Theirs, &c.theirsChosen}, {Choice::Both, &c.both}};
    for (const auto& [answer, expected] : answers) {
      const auto merged = merge::apply(plan, std::vector<Choice>{answer});
      if (!expected->has_value()) {
        EXPECT_TRUE(std::holds_alternative<QString>(merged));
        continue;
      }
      ASSERT_TRUE(std::holds_alternative<merge::Merged>(merged)) << std::get<QString>(merged).toStdString();
      EXPECT_EQ(bytesOf(std::get<merge::Merged>(merged).tables), bytesOf(**expected))
          << static_cast<int>(answer);
    }
    // The other computer merging sees the same question from its side.
    const auto mirrored = merge::plan(c.base, c.theirs, c.ours);
    ASSERT_EQ(std::get<merge::Plan>(mirrored).conflicts.size(), 1u);
    EXPECT_EQ(std::get<merge::Plan>(mirrored).conflicts[0].mine, plan.conflicts[0].theirs);
  }
}

struct QuietCase {
  const char* name;
  BookTables base, ours, theirs, expected;
  merge::Summary summary;
};

std::vector<QuietCase> quietCases() {
  const Row lunch120{"2024/01/10", kFood, kCash, 120, "午餐"};
  const Row snack{"2024/09/01", kFood, kCash, 20, "點心"};
  const Row meal{"2024/09/02", "E-伙食", kCash, 80, "聚餐"};
  return {
      {"a rename follows the other side's new entries", chartOf({kFood}, {kLunch}),
       chartOf({kFood}, {kLunch, snack}),
       book({"Equity", kCash, "E-伙食"}, {{"2024/01/10", "E-伙食", kCash, 100, "午餐"}}),
       book({"Equity", kCash, "E-伙食"}, {{"2024/01/10", "E-伙食", kCash, 100, "午餐"},
                                          {"2024/09/01", "E-伙食", kCash, 20, "點心"}}),
       {0, 0, {QStringLiteral("E-餐飲 → E-伙食")}}},
      {"the other side's new entries on top of a closing", chartOf({kFood}, {kLunch, kDinner}),
       carriedAt({kDinner}, -100), chartOf({kFood}, {kLunch, kDinner, snack}),
       chartOf({kFood}, {kDinner, kCarried, snack}), {1, 0, {}}},
      {"a range deleted on one side, a change on the other elsewhere",
       chartOf({kFood}, {kLunch, kDinner}), chartOf({kFood}, {kDinner}),
       chartOf({kFood}, {kLunch, {"2024/08/01", kFood, kCash, 55, "晚餐"}}),
       chartOf({kFood}, {{"2024/08/01", kFood, kCash, 55, "晚餐"}}), {1, 1, {}}},
      {"the same change and the same new entry on both sides count once",
       chartOf({kFood}, {kLunch, kDinner}), chartOf({kFood}, {lunch120, kDinner, snack}),
       chartOf({kFood}, {lunch120, kDinner, snack}), chartOf({kFood}, {lunch120, kDinner, snack}),
       {0, 0, {}}},
      {"an account added on one side with its entries", chartOf({kFood}, {kLunch}),
       chartOf({kFood}, {kLunch, snack}), book({"Equity", kCash, kFood, "E-伙食"}, {kLunch, meal}),
       book({"Equity", kCash, kFood, "E-伙食"}, {kLunch, snack, meal}), {1, 0, {}}},
  };
}

TEST(MergeQuietly, BothSidesChangesLand) {
  for (const QuietCase& c : quietCases()) {
    SCOPED_TRACE(c.name);
    const auto merged = merge::mergeBooks(c.base, c.ours, c.theirs);
    ASSERT_TRUE(std::holds_alternative<merge::Merged>(merged)) << std::get<QString>(merged).toStdString();
    EXPECT_EQ(linesOf(std::get<merge::Merged>(merged).tables), linesOf(c.expected));
    EXPECT_EQ(std::get<merge::Merged>(merged).summary, c.summary);
  }
}

TEST(MergeRefused, UnsoundOrUndecidableBooks) {
  BookTables full = chartOf({kFood}, {});
  for (int i = 0; i < 2990; ++i) full.entries[full.entryCount++] = makeEntry("2024/01/01", kFood, kCash, i, "");
  BookTables ours = full, theirs = full;
  for (int i = 0; i < 6; ++i) {
    ours.entries[ours.entryCount++] = makeEntry("2024/02/01", kFood, kCash, i, "甲");
    theirs.entries[theirs.entryCount++] = makeEntry("2024/02/01", kFood, kCash, i, "乙");
  }
  BookTables otherClosing = carriedAt({kDinner}, -100);
  otherClosing.entries[otherClosing.entryCount - 1].Amount = -99;
  BookTables strayName = chartOf({kFood}, {kLunch, {"2024/03/01", "E-無此帳戶", kCash, 1, ""}});
  const struct {
    const char* name;
    BookTables base, ours, theirs;
    QString reason;
  } cases[] = {
      {"beyond 3000 entries", full, ours, theirs, QStringLiteral("合併後的記錄有 3002 筆，超過 3000 筆的上限")},
      {"both closed differently", chartOf({kFood}, {kLunch, kDinner}), carriedAt({kDinner}, -100),
       otherClosing, QStringLiteral("兩邊都結了帳，結帳的日期或結轉的金額不同，無法合併")},
      {"an entry naming no account", chartOf({kFood}, {kLunch}), strayName, chartOf({kFood}, {kLunch}),
       QStringLiteral("記錄用到的帳戶「E-無此帳戶」不在帳戶表裡")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto merged = merge::mergeBooks(c.base, c.ours, c.theirs);
    ASSERT_TRUE(std::holds_alternative<QString>(merged));
    EXPECT_EQ(std::get<QString>(merged), c.reason);
  }
}

}  // namespace
