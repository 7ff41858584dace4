#include "Books.h"
#include "TestFiles.h"
#include "budget/actuals.h"
#include "budget/budget.h"
#include "budget/budgetfile.h"
#include "cli/commands.h"

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 3, 20);

struct BudgetCli : ::testing::Test, testbooks::Books {
  QString book = dir.path() + "/DataBase/Test/home";
  BudgetCli() : Books({"A-現金", "Equity", "I-薪資", "E-食費", "E-雜項"}) {
    entry("2026/01/05", "I-薪資", "A-現金", 30000);
    entry("2026/01/10", "E-食費", "A-現金", 4200);
    entry("2026/02/10", "E-食費", "A-現金", 6100);
    entry("2026/02/11", "E-雜項", "A-現金", 300);
    EXPECT_TRUE(writeTo(book));
    budget::Budget plans(book);
    const auto accounts = budget::accountsOf(store);
    EXPECT_FALSE(plans.setRule(accounts, accounts[0], 2026, budget::Rule::SameEachMonth, "28,000"));
    EXPECT_FALSE(plans.setRule(accounts, accounts[1], 2026, budget::Rule::SameEachMonth, "5,000"));
    EXPECT_FALSE(plans.setCarryForward(accounts, accounts[1], 2026, true));
  }
  cli::Result run(QStringList args) { return cli::run(args, kToday, "1.1"); }
};

TEST_F(BudgetCli, AMonthAsTextAndAYearAsCsv) {
  const cli::Result month = run({"budget", book, "--month", "2026/02"});
  EXPECT_EQ(month.exitCode, 0) << month.err.toStdString();
  EXPECT_EQ(QString::fromUtf8(month.out),
            "預算與實際 2026/02\n"
            "帳戶        預算   實際     差額  百分比\n"
            "收入\n"
            "  I-薪資  28,000      0  -28,000    0.0%\n"
            "支出\n"
            "  E-食費   5,800  6,100     -300  105.2%\n"
            "  E-雜項       0    300     -300      —\n")
      << month.out.toStdString();
  const cli::Result year = run({"budget", "--csv", "--year=2026", book});
  EXPECT_EQ(year.exitCode, 0);
  EXPECT_EQ(QString::fromUtf8(year.out),
            "類別,帳戶,預算,實際,差額,百分比\r\n"
            "收入,I-薪資,336000,30000,-306000,8.9\r\n"
            "支出,E-食費,60000,10300,49700,17.2\r\n"
            "支出,E-雜項,0,300,-300,\r\n");
}

TEST_F(BudgetCli, UsageErrorsAndRefusalsExitAsTheOtherCommands) {
  const QStringList usage[] = {
      {"budget", book},
      {"budget", book, "--month", "2026/13"},
      {"budget", book, "--year", "2026", "--month", "2026/01"},
  };
  for (const QStringList& args : usage) {
    EXPECT_EQ(run(args).exitCode, 2) << args.join(' ').toStdString();
  }
  putFile(budgetfile::pathIn(book), "varnix-budget 1\nbroken\n");
  const cli::Result damaged = run({"budget", book, "--year", "2026"});
  EXPECT_EQ(damaged.exitCode, 1);
  EXPECT_TRUE(damaged.err.contains(QStringLiteral("第 2 行").toUtf8()))
      << damaged.err.toStdString();
}

}  // namespace
