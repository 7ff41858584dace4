#include "reports/period/period.h"

#include "Books.h"
#include "reports/statements/statements.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using V = std::vector<qint64>;

// Two years of a small household, figures worked out by hand.
class PeriodBook : public ::testing::Test {
 protected:
  testbooks::Books b{{"A-現金", "Equity", "I-薪資", "E-餐飲", "E-房租", "L-信用卡", "I-利息"}};
  void SetUp() override {
    b.entry("2024/12/01", "A-現金", "Equity", 5000, "初值");
    b.entry("2024/12/20", "E-餐飲", "A-現金", 100);
    b.entry("2025/01/05", "I-薪資", "A-現金", 3000);
    b.entry("2025/01/10", "E-餐飲", "A-現金", 200);
    b.entry("2025/01/31", "E-房租", "L-信用卡", 1000);
    b.entry("2025/03/02", "E-餐飲", "L-信用卡", 50);
    b.entry("2025/03/15", "L-信用卡", "A-現金", 1000);  // paying the card off
    b.entry("2025/03/31", "E-餐飲", "A-現金", -30);     // a refund
    b.entry("2026/01/01", "I-薪資", "A-現金", 9999);
  }
};

TEST_F(PeriodBook, MonthsAccountsTotalsAndNet) {
  const auto chosen = period::customPeriod("2025/1/1", "2025/3/31");
  ASSERT_TRUE(std::holds_alternative<period::Period>(chosen));
  const auto r = period::buildReport(b.store, std::get<period::Period>(chosen));
  EXPECT_EQ(r.months, QStringList({"2025/01", "2025/02", "2025/03"}));
  ASSERT_EQ(r.income.size(), 1u);  // 利息 never moved
  EXPECT_EQ(r.income[0].name + r.expense.at(0).name + r.expense.at(1).name, "I-薪資E-餐飲E-房租");
  EXPECT_EQ(r.income[0].months, (V{3000, 0, 0}));
  ASSERT_EQ(r.expense.size(), 2u);  // slot order
  EXPECT_EQ(r.expense[0].months, (V{200, 0, 20}));
  EXPECT_EQ(r.expense[0].total, 220);
  EXPECT_EQ(r.expense[1].months, (V{1000, 0, 0}));
  EXPECT_EQ(r.incomeByMonth, (V{3000, 0, 0}));
  EXPECT_EQ(r.expenseByMonth, (V{1200, 0, 20}));
  EXPECT_EQ(r.netByMonth, (V{1800, 0, -20}));
  EXPECT_EQ(r.net, 1780);
}

// The year's figures are what the statements at the two year ends tell apart.
TEST_F(PeriodBook, YearTotalAgreesWithTheStatements) {
  for (int year : {2024, 2025, 2026}) {
    const auto r = period::buildReport(b.store, period::yearPeriod(year));
    const QString end = QStringLiteral("%1/12/31").arg(year);
    const QString before = QStringLiteral("%1/12/31").arg(year - 1);
    EXPECT_EQ(r.net,
              BuildStatements(b.store, end).balance - BuildStatements(b.store, before).balance)
        << year;
    EXPECT_EQ(r.months.size(), 12);
  }
}

TEST_F(PeriodBook, NetWorthAtEachMonthEndMatchesTheStatements) {
  const auto worth = period::netWorthByMonth(b.store);
  ASSERT_EQ(worth.size(), 14u);  // 2024/12 .. 2026/01
  EXPECT_EQ(worth.front().month + worth.back().month, "2024/122026/01");
  const QString ends[] = {"2024/12/31", "2025/01/31", "2025/02/28", "2025/03/31"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(worth[static_cast<size_t>(i)].value, BuildStatements(b.store, ends[i]).netWorth) << i;
  }
  EXPECT_EQ(worth[0].value, 4900);
  EXPECT_EQ(worth[1].value, 6700);
}

TEST(PeriodSlices, LargestEightAndTheRestAsOthers) {
  period::Report r;
  for (int i = 1; i <= 11; ++i) r.expense.push_back({QStringLiteral("E-%1").arg(i), i, {}, i * 10});
  r.expense.push_back({"E-退款", 12, {}, -50});  // nothing spent: no slice
  const auto slices = period::expenseSlices(r);
  ASSERT_EQ(slices.size(), 9u);
  EXPECT_EQ(slices[0].label, "E-11");
  EXPECT_EQ(slices[7].label, "E-4");
  EXPECT_EQ(slices[8].label, period::kOthers);
  EXPECT_EQ(slices[8].value, 30 + 20 + 10);
  r.expense.resize(2);
  EXPECT_EQ(period::expenseSlices(r).size(), 2u);  // no "其他" when all fit
  EXPECT_TRUE(period::expenseSlices(period::Report{}).empty());
}

TEST(PeriodInput, BadDatesAndReversedRangesAreRefused) {
  EXPECT_EQ(std::get<QString>(period::customPeriod("2025/3/1", "2025/1/1")),
            "起始日期 2025/03/01 在結束日期 2025/01/01 之後，請改正");
  EXPECT_EQ(std::get<QString>(period::customPeriod("明天", "2025/1/1")),
            "起始日期「明天」不是日期，請輸入像 2025/1/1 的日期");
  EXPECT_EQ(std::get<QString>(period::customPeriod("2025/1/1", "2025/13/1")),
            "結束日期「2025/13/1」不是日期，請輸入像 2025/12/31 的日期");
  const auto feb = period::monthPeriod(2024, 2);
  EXPECT_EQ(feb.to, QDate(2024, 2, 29));
}

TEST(PeriodGrouped, ThousandsSeparatorsIncludingTheExtremes) {
  const std::pair<qint64, const char*> rows[] = {
      {0, "0"},
      {999, "999"},
      {1000, "1,000"},
      {-1234567, "-1,234,567"},
      {std::numeric_limits<qint64>::min(), "-9,223,372,036,854,775,808"}};
  for (const auto& [value, text] : rows) EXPECT_EQ(period::grouped(value), text) << value;
}
}  // namespace
