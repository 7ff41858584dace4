#include "Books.h"
#include "reports/period/period.h"
#include "reports/statements/statements.h"

#include <limits>

#include <gtest/gtest.h>

namespace {

const QString kRule = QString(34, u'-') + QStringLiteral("\r\n");
QString pad(int n) { return QString(n, u' '); }

// As of 2025/01/31: cash beyond 32 bits, an overdrawn account of a 20-character name, no
// liabilities, one meal on the date and one the day after.
TEST(Statements, SixTextsOfASmallChartAreExact) {
  testbooks::Books b({"A-現金", "Equity", "E-餐飲", "A-ABCDEFGHIJKLMNOPQR", "I-薪資"});
  for (int i = 0; i < 3; ++i) b.entry("2025/01/01", "A-現金", "Equity", 2147483647);
  b.entry("2025/01/10", "I-薪資", "A-現金", 3000);
  b.entry("2025/01/31", "E-餐飲", "A-ABCDEFGHIJKLMNOPQR", 200);  // on the date: counts
  b.entry("2025/02/01", "E-餐飲", "A-ABCDEFGHIJKLMNOPQR", 999);  // the day after: does not

  const Statements s = BuildStatements(b.store, QStringLiteral("2025/01/31"));
  EXPECT_EQ(s.assets, QStringLiteral("資產\r\n") + kRule + QStringLiteral("A-現金") + pad(16) +
                          "  6442453941\r\n" + "A-ABCDEFGHIJKLMNOPQR  -200\r\n" + kRule +
                          QStringLiteral("資產總合   6442453741"));
  EXPECT_EQ(s.liabilities,
            QStringLiteral("負債\r\n") + kRule + kRule + QStringLiteral("負債總合   0"));
  EXPECT_EQ(s.netWorthLine, QStringLiteral("財產淨值  6442453741\r\n"));
  EXPECT_EQ(s.income, QStringLiteral("收入\r\n") + kRule + QStringLiteral("I-薪資") + pad(16) +
                          "  3000\r\n" + kRule + QStringLiteral("收入總合   3000"));
  EXPECT_EQ(s.expenses, QStringLiteral("支出\r\n") + kRule + QStringLiteral("E-餐飲") + pad(16) +
                            "  200\r\n" + kRule + QStringLiteral("支出總合   200"));
  EXPECT_EQ(s.balanceLine, QStringLiteral("結餘  2800"));
}

using V = std::vector<qint64>;

// Two years of a small household, figures worked out by hand.
struct PeriodBook : ::testing::Test, testbooks::Books {
  PeriodBook() : Books({"A-現金", "Equity", "I-薪資", "E-餐飲", "E-房租", "L-信用卡", "I-利息"}) {
    entry("2024/12/01", "A-現金", "Equity", 5000, "初值");
    entry("2024/12/20", "E-餐飲", "A-現金", 100);
    entry("2025/01/05", "I-薪資", "A-現金", 3000);
    entry("2025/01/10", "E-餐飲", "A-現金", 200);
    entry("2025/01/31", "E-房租", "L-信用卡", 1000);
    entry("2025/03/02", "E-餐飲", "L-信用卡", 50);
    entry("2025/03/15", "L-信用卡", "A-現金", 1000);  // paying the card off
    entry("2025/03/31", "E-餐飲", "A-現金", -30);     // a refund
    entry("2026/01/01", "I-薪資", "A-現金", 9999);
  }
};

TEST_F(PeriodBook, MonthsAccountsTotalsAndNet) {
  const auto chosen = period::customPeriod("2025/1/1", "2025/3/31");
  const auto r = period::buildReport(store, std::get<period::Period>(chosen));
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

TEST(PeriodSlices, LargestEightAndTheRestAsOthers) {
  period::Report r;
  for (int i = 1; i <= 11; ++i) r.expense.push_back({QStringLiteral("E-%1").arg(i), i, {}, i * 10});
  r.expense.push_back({"E-退款", 12, {}, -50});  // nothing spent: no slice
  const auto slices = period::expenseSlices(r);
  ASSERT_EQ(slices.size(), 9u);
  EXPECT_EQ(slices[0].label, "E-11");
  EXPECT_EQ(slices[8].label, period::kOthers);
  EXPECT_EQ(slices[8].value, 30 + 20 + 10);
  r.expense.resize(2);
  EXPECT_EQ(period::expenseSlices(r).size(), 2u);  // no "其他" when all fit
}

TEST(PeriodInput, BadDatesAndReversedRangesAreRefused) {
  EXPECT_EQ(std::get<QString>(period::customPeriod("2025/3/1", "2025/1/1")),
            "起始日期 2025/03/01 在結束日期 2025/01/01 之後，請改正");
  EXPECT_EQ(std::get<QString>(period::customPeriod("明天", "2025/1/1")),
            "起始日期「明天」不是日期，請輸入像 2025/1/1 的日期");
  EXPECT_EQ(std::get<QString>(period::customPeriod("2025/1/1", "2025/13/1")),
            "結束日期「2025/13/1」不是日期，請輸入像 2025/12/31 的日期");
  const auto feb = period::monthPeriod(2024, 2), year = period::yearPeriod(2024);
  EXPECT_EQ(std::tuple(feb.to, year.from, year.to),
            std::tuple(QDate(2024, 2, 29), QDate(2024, 1, 1), QDate(2024, 12, 31)));
}

TEST(PeriodGrouped, ThousandsSeparatorsIncludingTheExtremes) {
  const std::pair<qint64, const char*> rows[] = {
      {999, "999"},
      {1000, "1,000"},
      {-1234567, "-1,234,567"},
      {std::numeric_limits<qint64>::min(), "-9,223,372,036,854,775,808"}};
  for (const auto& [value, text] : rows) EXPECT_EQ(period::grouped(value), text) << value;
}

}  // namespace
