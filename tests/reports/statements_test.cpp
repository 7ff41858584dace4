#include "reports/statements/statements.h"

#include "Books.h"

#include <gtest/gtest.h>

namespace {

const QString kRule = QString(34, u'-') + QStringLiteral("\r\n");
QString blanks(int n) { return QString(n, u' '); }

// As of 2025/01/31: cash beyond 32 bits, an overdrawn account of a 20-character name, no
// liabilities, one meal on the date and one the day after.
TEST(Statements, SixTextsOfASmallChartAreExact) {
  testbooks::Books b({"A-現金", "Equity", "E-餐飲", "A-ABCDEFGHIJKLMNOPQR", "I-薪資"});
  for (int i = 0; i < 3; ++i) b.entry("2025/01/01", "A-現金", "Equity", 2147483647);
  b.entry("2025/01/10", "I-薪資", "A-現金", 3000);
  b.entry("2025/01/31", "E-餐飲", "A-ABCDEFGHIJKLMNOPQR", 200);  // on the date: counts
  b.entry("2025/02/01", "E-餐飲", "A-ABCDEFGHIJKLMNOPQR", 999);  // the day after: does not

  const Statements s = BuildStatements(b.store, QStringLiteral("2025/01/31"));
  EXPECT_EQ(s.assets, QStringLiteral("資產\r\n") + kRule + QStringLiteral("A-現金") + blanks(16) +
                          "  6442453941\r\n" + "A-ABCDEFGHIJKLMNOPQR  -200\r\n" + kRule +
                          QStringLiteral("資產總合   6442453741"));
  EXPECT_EQ(s.liabilities,
            QStringLiteral("負債\r\n") + kRule + kRule + QStringLiteral("負債總合   0"));
  EXPECT_EQ(s.netWorthLine, QStringLiteral("財產淨值  6442453741\r\n"));
  EXPECT_EQ(s.income, QStringLiteral("收入\r\n") + kRule + QStringLiteral("I-薪資") + blanks(16) +
                          "  3000\r\n" + kRule + QStringLiteral("收入總合   3000"));
  EXPECT_EQ(s.expenses, QStringLiteral("支出\r\n") + kRule + QStringLiteral("E-餐飲") + blanks(16) +
                            "  200\r\n" + kRule + QStringLiteral("支出總合   200"));
  EXPECT_EQ(s.balanceLine, QStringLiteral("結餘  2800"));
}

}  // namespace
