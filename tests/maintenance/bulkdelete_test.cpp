#include "maintenance/bulkdelete.h"

#include "Books.h"

#include <gtest/gtest.h>

namespace {

// Seven entries known by their amounts, dated as listed below. Both dates are required and must
// be dates even where the rule reads only the first; a refusal changes nothing.
TEST(BulkDelete, RemovesTheEntriesItsRuleNames) {
  struct Case {
    DeleteRule rule;
    const char* first;
    const char* second;
    std::vector<qint32> kept;
    const char* refusal = nullptr;
  };
  const std::vector<qint32> all{1, 2, 3, 4, 5, 6, 7};
  const std::vector<Case> cases = {
      {DeleteRule::OnDate, "2003/11/15", "1999/01/01", {1, 2, 4, 5, 7}},
      {DeleteRule::After, "2003/11/30", "2003/11/30", {1, 2, 3, 5, 6}},
      {DeleteRule::Within, "2003/11/01", "2003/11/30", {1, 4, 7}},
      {DeleteRule::Outside, "2003/11/30", "2003/11/01", {2, 3, 5, 6}},
      {DeleteRule::Within, "2004/12/31", "2003/1/1", {}},
      {DeleteRule::OnDate, "2003/11/15", "", all, "請先輸入日期"},
      {DeleteRule::After, "2003/11/15", "2003/02/30", all, "不是正確的日期格式"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.rule) << " " << c.first << " " << c.second);
    testbooks::Books b({"Equity", "A-現金"});
    for (const char* date : {"2003/10/31", "2003/11/01", "2003/11/15", "2003/12/01", "2003/11/30",
                             "2003/11/15", "2004/01/01"}) {
      b.entry(date, "A-現金", "Equity", b.store.EntryCount);
    }
    const auto result = deleteByDate(b.store, c.rule, c.first, c.second);
    EXPECT_EQ(result.refused, c.refusal ? std::optional(refusal(c.refusal)) : std::nullopt);
    std::vector<qint32> kept;
    for (const LedgerEntry& e : b.entries()) kept.push_back(e.Amount);
    EXPECT_EQ(kept, c.kept);
    EXPECT_EQ(result.removed, 7 - static_cast<int>(kept.size()));
  }
}

}  // namespace
