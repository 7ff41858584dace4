#include "reports/statements/statements.h"

#include "ScriptedDialogs.h"
#include "store/Module1.h"
#include "store/records.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kRule = QString(34, u'-');
const QString kCrLf = QStringLiteral("\r\n");

// One listed line: the name filled to 20 characters by hand, two blanks, the amount.
QString listed(const QString& name, int blanks, const QString& amount) {
  return name + QString(blanks, u' ') + QStringLiteral("  ") + amount + kCrLf;
}

class StatementsTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};

  void accounts(std::initializer_list<std::pair<const char*, qint16>> chart) {
    int slot = 1;
    for (const auto& [name, kind] : chart)
      store.AccountTable[slot++] = makeAccount(QString::fromUtf8(name), kind);
    store.AccountCount = slot;
  }
  void entry(const char* date, const char* increase, const char* decrease, qint32 amount) {
    store.EntryTable[store.EntryCount++] =
        makeEntry(QString::fromUtf8(date), QString::fromUtf8(increase), QString::fromUtf8(decrease),
                  amount, {});
  }

  // A household: cash with its opening balance, an overdrawn bank account, a credit card,
  // salary and meals; one entry dated after the statement date.
  void household() {
    accounts({{"A-現金", kAsset},
              {"Equity", kEquity},
              {"E-餐飲", kExpense},
              {"L-信用卡", kLiability},
              {"A-銀行", kAsset},
              {"I-薪資", kIncome}});
    entry("2025/01/01", "A-現金", "Equity", 1500);
    entry("2025/01/10", "I-薪資", "A-現金", 3000);
    entry("2025/01/31", "E-餐飲", "A-銀行", 200);  // on the date: counts
    entry("2025/01/15", "E-餐飲", "L-信用卡", 50);
    entry("2025/02/01", "E-餐飲", "L-信用卡", 999);  // the day after: does not
  }
};

TEST_F(StatementsTest, TextsOfAHouseholdAreExact) {
  household();
  const Statements s = BuildStatements(store, QStringLiteral("2025/01/31"));
  EXPECT_EQ(s.assets, QStringLiteral("資產") + kCrLf + kRule + kCrLf +
                          listed("A-現金", 16, "4500") + listed("A-銀行", 16, "-200") + kRule +
                          kCrLf + QStringLiteral("資產總合   4300"));
  EXPECT_EQ(s.liabilities, QStringLiteral("負債") + kCrLf + kRule + kCrLf +
                               listed("L-信用卡", 15, "50") + kRule + kCrLf +
                               QStringLiteral("負債總合   50"));
  EXPECT_EQ(s.netWorth, QStringLiteral("財產淨值  4250\r\n"));
  EXPECT_EQ(s.income, QStringLiteral("收入") + kCrLf + kRule + kCrLf +
                          listed("I-薪資", 16, "3000") + kRule + kCrLf +
                          QStringLiteral("收入總合   3000"));
  EXPECT_EQ(s.expenses, QStringLiteral("支出") + kCrLf + kRule + kCrLf +
                            listed("E-餐飲", 16, "250") + kRule + kCrLf +
                            QStringLiteral("支出總合   250"));
  EXPECT_EQ(s.balance, QStringLiteral("結餘  2750"));
  EXPECT_EQ(s.NetWorth, 4250);
  EXPECT_EQ(s.Balance, 2750);
  EXPECT_FALSE(s.assets.contains(QStringLiteral("Equity")));
  EXPECT_FALSE(s.liabilities.contains(QStringLiteral("Equity")));
}

TEST_F(StatementsTest, DateDecidesWhatCounts) {
  household();
  struct Case {
    const char* date;
    qint64 netWorth;
    qint64 balance;
  };
  const Case cases[] = {
      {"2024/12/31", 0, 0},        // before every entry
      {"2025/01/01", 1500, 0},     // the opening balance alone
      {"2025/01/30", 4450, 2950},  // the meal of the 31st not yet
      {"2025/02/01", 3251, 1751},  // the card's 999 too
  };
  for (const Case& c : cases) {
    const Statements s = BuildStatements(store, QString::fromLatin1(c.date));
    EXPECT_EQ(s.NetWorth, c.netWorth) << c.date;
    EXPECT_EQ(s.Balance, c.balance) << c.date;
  }
  const Statements before = BuildStatements(store, QStringLiteral("2024/12/31"));
  EXPECT_TRUE(before.assets.contains(listed("A-銀行", 16, "0")));
  EXPECT_TRUE(before.expenses.endsWith(QStringLiteral("支出總合   0")));
}

TEST_F(StatementsTest, KindWithoutAccountsHasTwoRulesAndZero) {
  accounts({{"A-現金", kAsset}, {"Equity", kEquity}});
  entry("2025/01/01", "A-現金", "Equity", 700);
  const Statements s = BuildStatements(store, QStringLiteral("2025/12/31"));
  EXPECT_EQ(s.liabilities, QStringLiteral("負債\r\n") + kRule + kCrLf + kRule + kCrLf +
                               QStringLiteral("負債總合   0"));
  EXPECT_EQ(s.income, QStringLiteral("收入\r\n") + kRule + kCrLf + kRule + kCrLf +
                          QStringLiteral("收入總合   0"));
  EXPECT_EQ(s.balance, QStringLiteral("結餘  0"));
  EXPECT_EQ(s.netWorth, QStringLiteral("財產淨值  700\r\n"));
}

TEST_F(StatementsTest, NegativeResultsAndFullNames) {
  accounts({{"A-ABCDEFGHIJKLMNOPQR", kAsset},
            {"Equity", kEquity},
            {"L-房貸", kLiability},
            {"E-房租", kExpense}});
  entry("2025/01/01", "L-房貸", "Equity", 9000);
  entry("2025/01/02", "E-房租", "A-ABCDEFGHIJKLMNOPQR", 100);
  const Statements s = BuildStatements(store, QStringLiteral("2025/01/02"));
  // A name of 20 characters is followed directly by the two blanks.
  EXPECT_TRUE(s.assets.contains(QStringLiteral("\r\nA-ABCDEFGHIJKLMNOPQR  -100\r\n")));
  EXPECT_EQ(s.NetWorth, -9100);
  EXPECT_EQ(s.netWorth, QStringLiteral("財產淨值  -9100\r\n"));
  EXPECT_EQ(s.Balance, -100);
  EXPECT_EQ(s.balance, QStringLiteral("結餘  -100"));
}

TEST_F(StatementsTest, TotalsBeyondThirtyTwoBitsAreExact) {
  accounts({{"A-甲", kAsset}, {"A-乙", kAsset}, {"Equity", kEquity}, {"L-丙", kLiability}});
  for (int i = 0; i < 3; ++i) {
    entry("2025/01/01", "A-甲", "Equity", 2147483647);
    entry("2025/01/01", "A-乙", "Equity", 2147483647);
    entry("2025/01/01", "L-丙", "Equity", -2147483647 - 1);
  }
  const Statements s = BuildStatements(store, QStringLiteral("2025/01/01"));
  EXPECT_TRUE(s.assets.contains(listed("A-甲", 17, "6442450941")));
  EXPECT_TRUE(s.assets.endsWith(QStringLiteral("資產總合   12884901882")));
  EXPECT_TRUE(s.liabilities.endsWith(QStringLiteral("負債總合   -6442450944")));
  EXPECT_EQ(s.NetWorth, Q_INT64_C(19327352826));
  EXPECT_EQ(s.netWorth, QStringLiteral("財產淨值  19327352826\r\n"));
}

}  // namespace
