#include "reports/statements/statements.h"

#include "ScriptedDialogs.h"
#include "store/Module1.h"
#include "store/records.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kRule = QString(34, u'-') + QStringLiteral("\r\n");
QString blanks(int n) { return QString(n, u' '); }

// A small household as of 2025/01/31: cash beyond 32 bits, an overdrawn account whose name
// has exactly 20 characters, no liabilities at all, one meal on the date and one the day after.
TEST(Statements, SixTextsOfASmallChartAreExact) {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
  int slot = 1;
  for (const auto& [name, kind] : {std::pair{"A-現金", kAsset},
                                   {"Equity", kEquity},
                                   {"E-餐飲", kExpense},
                                   {"A-ABCDEFGHIJKLMNOPQR", kAsset},
                                   {"I-薪資", kIncome}})
    store.AccountTable[slot++] = makeAccount(QString::fromUtf8(name), kind);
  store.AccountCount = slot;
  auto entry = [&](const char* date, const char* increase, const char* decrease, qint32 amount) {
    store.EntryTable[store.EntryCount++] =
        makeEntry(date, QString::fromUtf8(increase), QString::fromUtf8(decrease), amount, {});
  };
  for (int i = 0; i < 3; ++i) entry("2025/01/01", "A-現金", "Equity", 2147483647);
  entry("2025/01/10", "I-薪資", "A-現金", 3000);
  entry("2025/01/31", "E-餐飲", "A-ABCDEFGHIJKLMNOPQR", 200);  // on the date: counts
  entry("2025/02/01", "E-餐飲", "A-ABCDEFGHIJKLMNOPQR", 999);  // the day after: does not

  const Statements s = BuildStatements(store, QStringLiteral("2025/01/31"));
  EXPECT_EQ(s.assets, QStringLiteral("資產\r\n") + kRule + QStringLiteral("A-現金") + blanks(16) +
                          "  6442453941\r\n" + "A-ABCDEFGHIJKLMNOPQR  -200\r\n" + kRule +
                          QStringLiteral("資產總合   6442453741"));
  EXPECT_EQ(s.liabilities,
            QStringLiteral("負債\r\n") + kRule + kRule + QStringLiteral("負債總合   0"));
  EXPECT_EQ(s.netWorth, QStringLiteral("財產淨值  6442453741\r\n"));
  EXPECT_EQ(s.income, QStringLiteral("收入\r\n") + kRule + QStringLiteral("I-薪資") + blanks(16) +
                          "  3000\r\n" + kRule + QStringLiteral("收入總合   3000"));
  EXPECT_EQ(s.expenses, QStringLiteral("支出\r\n") + kRule + QStringLiteral("E-餐飲") + blanks(16) +
                            "  200\r\n" + kRule + QStringLiteral("支出總合   200"));
  EXPECT_EQ(s.balance, QStringLiteral("結餘  2800"));
  // The two results the window colours by.
  EXPECT_EQ(s.NetWorth, Q_INT64_C(6442453741));
  EXPECT_EQ(s.Balance, 2800);
}

}  // namespace
