#include "Books.h"
#include "reports/period/period.h"
#include "reports/statements/statements.h"

#include <limits>
#include <numeric>

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

  const statements::StatementTexts s =
      statements::buildStatements(b.store, QStringLiteral("2025/01/31"));
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

// Named slices grow past eight until "其他" is under a third of the spending, never past twelve
// slices in all; the slices always add up to what was spent.
TEST(PeriodSlices, OthersStaysUnderAThirdWithinTwelveSlices) {
  std::vector<qint64> fewLarge(8, 1000);
  fewLarge.resize(30, 10);
  const std::tuple<std::vector<qint64>, size_t, bool> cases[] = {
      {std::vector<qint64>(12, 100), 12, false},
      {fewLarge, 9, true},
      {std::vector<qint64>(15, 100), 12, true},   // eleven named: 其他 4/15
      {std::vector<qint64>(40, 100), 12, true}};  // the cap wins
  for (const auto& [totals, count, others] : cases) {
    period::Report r;
    for (size_t i = 0; i < totals.size(); ++i) r.expense.push_back({"E", 1, {}, totals[i]});
    r.expense.push_back({"E-退款", 99, {}, -50});  // nothing spent: no slice
    const auto slices = period::expenseSlices(r);
    ASSERT_EQ(slices.size(), count);
    EXPECT_EQ(slices.back().label == period::kOthers, others);
    const auto add = [](qint64 sum, const period::Slice& s) { return sum + s.value; };
    EXPECT_EQ(std::accumulate(slices.begin(), slices.end(), qint64(0), add),
              std::accumulate(totals.begin(), totals.end(), qint64(0)));
  }
}

TEST_F(PeriodBook, NetWorthFollowsThePeriodCountingWhatCameBefore) {
  const auto worth = [&](QDate from, QDate to) {
    QStringList out;
    for (const auto& p : period::netWorthByMonth(store, {from, to}))
      out << QStringLiteral("%1 %2").arg(p.month).arg(p.value);
    return out;
  };
  // 5000 - 100 by December; +3000 - 200 - 1000 owed by January; -50 owed, +30 back in March.
  EXPECT_EQ(worth({2025, 2, 1}, {2025, 3, 31}), (QStringList{"2025/02 6700", "2025/03 6680"}));
  EXPECT_EQ(worth({2024, 1, 1}, {2024, 12, 31}), QStringList{"2024/12 4900"});   // none before
  EXPECT_EQ(worth({2026, 1, 1}, {2026, 12, 31}), QStringList{"2026/01 16679"});  // nor after
  EXPECT_EQ(worth({2020, 1, 1}, {2020, 12, 31}), QStringList{});
  EXPECT_EQ(period::latestMonthWithEntries(store), QDate(2026, 1, 1));
}

// Labels carry the year once the months span two years, and thin out rather than crowd.
TEST(PeriodAxis, LabelsCarryTheYearAcrossYearsAndThinOut) {
  const auto labels = [](int year, int month, int count, int room) {
    QStringList months, out;
    for (int n = year * 12 + month - 1; n < year * 12 + month - 1 + count; ++n)
      months << QStringLiteral("%1/%2").arg(n / 12).arg(n % 12 + 1, 2, 10, QLatin1Char('0'));
    for (const auto& l : period::monthAxisLabels(months, room))
      out << QStringLiteral("%1:%2").arg(l.index).arg(l.text);
    return out;
  };
  EXPECT_EQ(labels(2025, 1, 3, 12), (QStringList{"0:1月", "1:2月", "2:3月"}));
  // 2003 to 2023: every second January; from June on, yearly labels still fall on Januaries.
  const QStringList wide = labels(2003, 1, 252, 12);
  EXPECT_EQ(wide.size(), 11);
  EXPECT_EQ(wide.first() + " " + wide.last(), "0:2003/01 240:2023/01");
  EXPECT_EQ(labels(2003, 6, 120, 10).first(), "7:2004/01");
}

TEST(PeriodInput, BadDatesAndReversedRangesAreRefused) {
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
