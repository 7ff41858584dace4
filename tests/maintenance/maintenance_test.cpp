#include "Books.h"
#include "maintenance/bulkdelete.h"
#include "maintenance/closing.h"

#include <limits>

#include <gtest/gtest.h>

namespace {

using testbooks::Books;

// Seven entries known by their amounts, dated as listed below. Both dates are required and must
// be dates even where the rule reads only the first; a refusal changes nothing.
TEST(BulkDelete, RemovesTheEntriesItsRuleNames) {
  const std::vector<qint32> all{1, 2, 3, 4, 5, 6, 7};
  const struct {
    maintenance::DeleteRule rule;
    const char *first, *second;
    std::vector<qint32> kept;
    const char* refusal = nullptr;
  } cases[] = {
      {maintenance::DeleteRule::OnDate, "2003/11/15", "1999/01/01", {1, 2, 4, 5, 7}},
      {maintenance::DeleteRule::Outside, "2003/11/30", "2003/11/01", {2, 3, 5, 6}},
      {maintenance::DeleteRule::OnDate, "2003/11/15", "", all, "請先輸入日期"},
      {maintenance::DeleteRule::After, "2003/11/15", "2003/02/30", all, "不是正確的日期格式"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.rule) << " " << c.first << " " << c.second);
    Books b({"Equity", "A-現金"});
    for (const char* date : {"2003/10/31", "2003/11/01", "2003/11/15", "2003/12/01", "2003/11/30",
                             "2003/11/15", "2004/01/01"}) {
      b.entry(date, "A-現金", "Equity", b.store.tables().entryCount);
    }
    const auto result = maintenance::deleteByDate(b.store, c.rule, c.first, c.second);
    EXPECT_EQ(result.refused, c.refusal ? std::optional(refusal(c.refusal)) : std::nullopt);
    std::vector<qint32> kept;
    for (const store::LedgerEntry& e : b.entries()) kept.push_back(e.Amount);
    EXPECT_EQ(kept, c.kept);
    EXPECT_EQ(result.removed, 7 - static_cast<int>(kept.size()));
  }
}

// Half a year of a household closed at D: the entries after D stay, each asset and liability
// follows with its balance at D, income and expenses start again; closing again changes nothing.
TEST(Closing, CarriesTheBalanceSheetAndZeroesIncomeAndExpenses) {
  Books b({"Equity", "A-現金", "L-信用卡", "I-薪水", "A-銀行", "E-餐飲", "A-保險箱"});
  b.entry("2024/01/01", "A-現金", "Equity", 10000);
  b.entry("2024/01/01", "A-銀行", "Equity", 50000);
  b.entry("2024/02/10", "E-餐飲", "A-現金", 1200);
  b.entry("2024/03/05", "I-薪水", "A-銀行", 40000);
  b.entry("2024/03/20", "E-餐飲", "L-信用卡", 3000);
  b.entry("2024/04/01", "L-信用卡", "A-銀行", 2000);
  b.entry("2024/05/15", "A-現金", "A-銀行", 95000);
  b.entry("2024/06/30", "E-餐飲", "A-現金", 500);
  b.entry("2024/08/01", "E-餐飲", "A-現金", 700);
  std::vector<store::LedgerEntry> expected{b.entries().back()};
  // Cash, the card (what is owed), the bank (overdrawn), the empty safe.
  for (const auto& [name, balance] :
       {std::pair{"A-現金", 103300}, {"L-信用卡", 1000}, {"A-銀行", -7000}, {"A-保險箱", 0}})
    expected.push_back(store::makeEntry("2024/06/30", name, "Equity", balance, "初值"));
  for (int twice = 0; twice < 2; ++twice) {
    EXPECT_EQ(maintenance::closeBooksAt(b.store, "2024-6-30"), std::nullopt);
    EXPECT_EQ(b.entries(), expected);
  }
}

// Only the entries kept and carried need room; a balance beyond 32 bits is refused, not wrapped.
TEST(Closing, RefusesWhatTheTableOrAnAmountCannotHold) {
  constexpr qint32 kMax = std::numeric_limits<qint32>::max();
  struct Case {
    int before, after;  // entries before D (an expense paid from `from`) and after it
    const char* from;
    qint32 amount;
    const char* refusal;  // words from it; nullptr: closes
  };
  for (const Case& c :
       {Case{2, 2998, "A-現金", 1, nullptr},  // a full table
        Case{1, 2999, "A-現金", 1, "3000"}, Case{2, 0, "A-現金", kMax, "-4294967294"},
        Case{2, 0, "I-薪水", kMax, nullptr}}) {  // not carried
    Books b({"Equity", "A-現金", "L-信用卡", "I-薪水", "E-餐飲"});
    for (int i = 0; i < c.before; ++i) b.entry("2024/01/02", "E-餐飲", c.from, c.amount);
    for (int i = 0; i < c.after; ++i) b.entry("2024/09/01", "L-信用卡", "Equity", 1);
    const auto before = b.entries();
    const auto refused = maintenance::closeBooksAt(b.store, "2024/06/30");
    EXPECT_EQ(refused.has_value(), c.refusal != nullptr) << c.before << " " << c.from;
    if (refused) {
      EXPECT_TRUE(refused->text.contains(c.refusal)) << refused->text.toStdString();
      EXPECT_EQ(b.entries(), before);
    } else {
      EXPECT_EQ(b.store.tables().entryCount, c.after + 3);
    }
  }
}

}  // namespace
