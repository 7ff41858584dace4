#include "maintenance/bulkdelete.h"

#include "books.h"

#include <gtest/gtest.h>

namespace {

using testbooks::Household;

// Entries around November 2003, in slot order, with two on the 15th.
struct Autumn : Household {
  Autumn() {
    entry("2003/10/31", "A-現金", "Equity", 100, "初值");
    entry("2003/11/01", "E-餐飲", "A-現金", 1);
    entry("2003/11/15", "E-餐飲", "A-現金", 2);
    entry("2003/12/01", "E-餐飲", "A-現金", 3);
    entry("2003/11/30", "E-餐飲", "A-現金", 4);
    entry("2003/11/15", "I-薪水", "A-銀行", 5);
    entry("2004/01/01", "A-現金", "Equity", 6, "初值");
  }
};

std::vector<QString> texts(std::initializer_list<const char*> list) {
  std::vector<QString> out;
  for (const char* s : list) out.push_back(QString::fromUtf8(s));
  return out;
}

TEST(BulkDelete, EachRuleRemovesExactlyItsDates) {
  struct Case {
    DeleteRule rule;
    const char* first;
    const char* second;
    std::vector<QString> kept;
    int removed;
  };
  const std::vector<QString> all = Autumn().dates();
  const std::vector<Case> cases = {
      {DeleteRule::OnDate, "2003/11/15", "1999/01/01",
       texts({"2003/10/31", "2003/11/01", "2003/12/01", "2003/11/30", "2004/01/01"}), 2},
      {DeleteRule::OnDate, "2003/11/02", "2003/11/02", all, 0},
      {DeleteRule::After, "2003/11/30", "2003/11/30",
       texts({"2003/10/31", "2003/11/01", "2003/11/15", "2003/11/30", "2003/11/15"}), 2},
      {DeleteRule::After, "2004/01/01", "2003/01/01", all, 0},
      // The range in either order; both bounds removed.
      {DeleteRule::Within, "2003/11/30", "2003/11/01",
       texts({"2003/10/31", "2003/12/01", "2004/01/01"}), 4},
      {DeleteRule::Within, "2003/11/01", "2003/11/30",
       texts({"2003/10/31", "2003/12/01", "2004/01/01"}), 4},
      {DeleteRule::Within, "2003/11/15", "2003/11/15",
       texts({"2003/10/31", "2003/11/01", "2003/12/01", "2003/11/30", "2004/01/01"}), 2},
      // Both bounds kept.
      {DeleteRule::Outside, "2003/11/30", "2003/11/01",
       texts({"2003/11/01", "2003/11/15", "2003/11/30", "2003/11/15"}), 3},
      {DeleteRule::Outside, "2003/11/15", "2003/11/15", texts({"2003/11/15", "2003/11/15"}), 5},
      // Every entry, the opening ones included.
      {DeleteRule::Within, "2003/01/01", "2004/12/31", {}, 7},
      {DeleteRule::Outside, "2005/01/01", "2005/12/31", {}, 7},
  };
  for (const Case& c : cases) {
    Autumn b;
    const auto result = deleteByDate(b.store, c.rule, c.first, c.second);
    SCOPED_TRACE(testing::Message()
                 << static_cast<int>(c.rule) << " " << c.first << " " << c.second);
    EXPECT_EQ(result.refused, std::nullopt);
    EXPECT_EQ(result.removed, c.removed);
    EXPECT_EQ(b.dates(), c.kept);
    EXPECT_EQ(b.store.EntryCount, static_cast<int>(c.kept.size()) + 1);
  }
}

TEST(BulkDelete, RefusesMissingAndWrongDatesWithoutChanges) {
  struct Case {
    DeleteRule rule;
    const char* first;
    const char* second;
    const char* message;
  };
  for (const Case c : {
           // The second field counts even where the rule does not read it.
           Case{DeleteRule::OnDate, "2003/11/15", "", "請先輸入日期"},
           Case{DeleteRule::Within, "", "2003/11/15", "請先輸入日期"},
           Case{DeleteRule::OnDate, "abc", "2003/11/15", "不是正確的日期格式"},
           Case{DeleteRule::After, "2003/11/15", "2003/02/30", "不是正確的日期格式"},
           Case{DeleteRule::Outside, "2003/11/15", "  ", "不是正確的日期格式"},
       }) {
    Autumn b;
    const auto before = b.entries();
    const auto result = deleteByDate(b.store, c.rule, c.first, c.second);
    EXPECT_EQ(result.refused, refusal(c.message)) << c.first << "|" << c.second;
    EXPECT_EQ(b.entries(), before);
  }
}

}  // namespace
