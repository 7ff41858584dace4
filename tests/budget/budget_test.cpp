#include "budget/budget.h"
#include "Books.h"
#include "TestFiles.h"
#include "budget/actuals.h"
#include "budget/budgetfile.h"
#include "history/History.h"
#include "platform/safefile.h"
#include "reports/period/period.h"

#include <gtest/gtest.h>

using budget::Account;
using budget::Budget;
using budget::Months;
using budget::Plan;

namespace {

const QDateTime kNoon(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

Plan samplePlan() {
  Plan p;
  p.id = "2026-4-5";
  p.changed = kNoon;
  p.year = 2026;
  p.slot = 5;
  p.kind = 4;
  p.name = "E-食\t費";
  p.rule = budget::Rule::YearlySpread;
  p.amount = 1210;
  p.overrides[1] = 0;
  p.carryForward = true;
  return p;
}

TEST(BudgetFile, BytesOfOnePlanAreExactAndReadBack) {
  const auto bytes = budgetfile::write({samplePlan()});
  const QByteArray expected =
      "varnix-budget 1\n"
      "2026-4-5\t2026-03-01T12:00:00.000Z\tlive\tyear=2026\tslot=5\tkind=4\t"
      "name=E-\xe9\xa3\x9f\\t\xe8\xb2\xbb\trule=spread\tamount=1210\t"
      "months=0,0,0,0,0,0,0,0,0,0,0,0\town=,0,,,,,,,,,,\tcarry=1\n";
  ASSERT_EQ(std::get<QByteArray>(bytes), expected);
  const auto read = budgetfile::read(expected);
  ASSERT_TRUE(std::holds_alternative<std::vector<Plan>>(read));
  EXPECT_EQ(std::get<std::vector<Plan>>(read), std::vector<Plan>{samplePlan()});
  // A field a later version adds survives being written back.
  QByteArray later = expected;
  later.replace("\tcarry=1\n", "\tcarry=1\tnote=x\n");
  const auto kept = budgetfile::read(later);
  ASSERT_TRUE(std::holds_alternative<std::vector<Plan>>(kept));
  EXPECT_EQ(std::get<QByteArray>(budgetfile::write(std::get<std::vector<Plan>>(kept))), later);
}

TEST(BudgetFile, DamagedAndForeignFilesAreRefusedInWords) {
  const QByteArray good = std::get<QByteArray>(budgetfile::write({samplePlan()}));
  const auto broken = [&](const char* from, const char* to) {
    return QByteArray(good).replace(from, to);
  };
  struct Case {
    const char* name;
    QByteArray bytes;
    const char* says;
  } cases[] = {
      {"empty", "", "預算檔"},
      {"cutShort", good.left(good.size() - 3), "預算檔"},
      {"fieldMissing", broken("\tcarry=1", ""), "第 2 行"},
      {"negativeAmount", broken("amount=1210", "amount=-1"), "第 2 行"},
      {"beyondTheField", broken("amount=1210", "amount=2147483648"), "第 2 行"},
      {"assetKind", broken("kind=4", "kind=1"), "第 2 行"},
      {"unknownRule", broken("rule=spread", "rule=weekly"), "第 2 行"},
  };
  for (const Case& c : cases) {
    const auto read = budgetfile::read(c.bytes);
    ASSERT_TRUE(std::holds_alternative<QString>(read)) << c.name;
    EXPECT_TRUE(std::get<QString>(read).contains(QString::fromUtf8(c.says)))
        << c.name << ": " << std::get<QString>(read).toStdString();
  }
}

// Two computers' copies of the file, synced into the book's folder, merge plan by plan when
// either writes it: the later change wins, a deletion as well.
TEST(BudgetFile, WritingMergesWithTheCopyOnDiskPlanByPlan) {
  const auto plan = [](const char* id, qint64 amount, int minute, bool deleted = false) {
    Plan p = samplePlan();
    p.id = id;
    p.amount = amount;
    p.changed = kNoon.addSecs(60 * minute);
    p.deleted = deleted;
    return p;
  };
  const Plan food = plan("2026-4-4", 5000, 0), rent = plan("2026-4-5", 9000, 0);
  struct Case {
    const char* name;
    std::vector<Plan> ours, theirs, merged;
  } cases[] = {
      {"differentPlans",
       {plan("2026-4-4", 6000, 2), rent},
       {food, plan("2026-4-5", 9500, 3)},
       {plan("2026-4-4", 6000, 2), plan("2026-4-5", 9500, 3)}},
      {"samePlanTheirsLater",
       {plan("2026-4-4", 6000, 2)},
       {plan("2026-4-4", 7000, 3)},
       {plan("2026-4-4", 7000, 3)}},
      {"samePlanOursLater",
       {plan("2026-4-4", 6000, 4)},
       {plan("2026-4-4", 7000, 3)},
       {plan("2026-4-4", 6000, 4)}},
      {"deletedThere",
       {food, rent},
       {plan("2026-4-4", 5000, 1, true), rent},
       {plan("2026-4-4", 5000, 1, true), rent}},
      {"changedHereAfterTheDeletion",
       {plan("2026-4-4", 6000, 2)},
       {plan("2026-4-4", 5000, 1, true)},
       {plan("2026-4-4", 6000, 2)}},
      {"newOnEachSide", {food}, {rent}, {food, rent}},
  };
  for (const Case& c : cases) {
    QTemporaryDir dir;
    const QString path = budgetfile::pathIn(dir.path());
    putFile(path, std::get<QByteArray>(budgetfile::write(c.theirs)));
    Budget ours(dir.path(), c.ours);
    ASSERT_FALSE(ours.sync()) << c.name;
    EXPECT_EQ(fileBytes(path), std::get<QByteArray>(budgetfile::write(c.merged))) << c.name;
    EXPECT_EQ(ours.plans(), c.merged) << c.name;
  }
  // A copy on disk that cannot be read is neither merged into nor written over.
  QTemporaryDir dir;
  putFile(budgetfile::pathIn(dir.path()), "varnix-budget 1\nbroken\n");
  Budget ours(dir.path(), {food});
  EXPECT_TRUE(ours.sync().has_value());
  EXPECT_EQ(fileBytes(budgetfile::pathIn(dir.path())), "varnix-budget 1\nbroken\n");
}

struct BudgetBook : ::testing::Test, testbooks::Books {
  std::vector<Account> accounts{{3, 3, "I-薪資"}, {4, 4, "E-食費"}, {5, 4, "E-房租"}};
  Budget budget{dir.path()};
  BudgetBook() : Books({"A-現金", "Equity"}) {
    budget.setClock([] { return kNoon; });
    budget.keepStepsIn(&store.history());
  }

  Months monthsOf(const Account& a, int year = 2026) const {
    const Plan* p = budget.planOf(accounts, a, year);
    return p ? budget::plannedMonths(*p) : Months{};
  }
  QByteArray file() const { return fileBytes(budgetfile::pathIn(dir.path())); }
};

// Budget edits are steps of the book's own history, in order with the book's changes; one the
// disk refuses leaves the plan and the history as they were.
TEST_F(BudgetBook, EditsAreStepsOfTheBooksHistoryAndTheFileFollowsOrStaysAsItWas) {
  const QByteArray empty = file();
  ASSERT_FALSE(budget.setRule(accounts, accounts[1], 2026, budget::Rule::SameEachMonth, "5,000"));
  {
    const HistoryStep between(store.history(), store.tables(), "新增記錄");  // a book change
    entry("2026/03/01", "A-現金", "Equity", 10);
  }
  ASSERT_FALSE(budget.setMonth(accounts, accounts[1], 2026, 3, "6000"));
  EXPECT_EQ(monthsOf(accounts[1])[2], 6000);
  EXPECT_EQ(store.history().undoName(), budget::editname::kMonth);
  const auto readBack = [&] { return std::get<std::vector<Plan>>(budgetfile::read(file())); };

  ASSERT_FALSE(store.undo());
  EXPECT_EQ(monthsOf(accounts[1])[2], 5000);
  EXPECT_EQ(readBack(), budget.plans());  // each step written at once
  EXPECT_EQ(store.tables().entriesInUse(), 1);
  ASSERT_FALSE(store.undo());
  EXPECT_EQ(store.tables().entriesInUse(), 0);
  ASSERT_FALSE(store.undo());
  EXPECT_EQ(budget.planOf(accounts, accounts[1], 2026), nullptr);
  // An undone new plan stays in the file, marked deleted, for a copy elsewhere to learn of.
  EXPECT_NE(file(), empty);
  auto reopened = Budget::open(dir.path());
  ASSERT_TRUE(std::holds_alternative<std::unique_ptr<Budget>>(reopened));
  EXPECT_EQ(std::get<std::unique_ptr<Budget>>(reopened)->planOf(accounts, accounts[1], 2026),
            nullptr);

  while (store.history().canRedo()) ASSERT_FALSE(store.redo());
  EXPECT_EQ(readBack(), budget.plans());
  EXPECT_EQ(monthsOf(accounts[1])[2], 6000);
  {
    safefile::FailAfterBytes full(0);
    EXPECT_TRUE(budget.setMonth(accounts, accounts[1], 2026, 3, "7000").has_value());
    EXPECT_TRUE(store.undo()->text.contains("預算無法寫入"));
  }
  EXPECT_EQ(monthsOf(accounts[1])[2], 6000);
  EXPECT_EQ(store.history().undoName(), budget::editname::kMonth);  // kept, to be tried again
}

TEST_F(BudgetBook, PlansFollowRenamedMovedAndDeletedAccounts) {
  ASSERT_FALSE(budget.setMonth(accounts, accounts[1], 2026, 1, "100"));
  ASSERT_FALSE(budget.setMonth(accounts, accounts[2], 2026, 1, "900"));
  // 食費 renamed in its slot: the plan stays with it.
  std::vector<Account> renamed{{3, 3, "I-薪資"}, {4, 4, "E-餐費"}, {5, 4, "E-房租"}};
  EXPECT_EQ(budget::plannedMonths(*budget.planOf(renamed, renamed[1], 2026))[0], 100);
  // ...and then moved below 房租: followed after the rename, found by its new name.
  ASSERT_FALSE(budget.follow(renamed));
  std::vector<Account> moved{{3, 3, "I-薪資"}, {4, 4, "E-房租"}, {5, 4, "E-餐費"}};
  EXPECT_EQ(budget::plannedMonths(*budget.planOf(moved, moved[2], 2026))[0], 100);
  EXPECT_EQ(budget::plannedMonths(*budget.planOf(moved, moved[1], 2026))[0], 900);
  ASSERT_FALSE(budget.follow(moved));
  ASSERT_FALSE(store.undo());  // the edit is undone, the account stays the one followed
  EXPECT_EQ(budget.planOf(moved, moved[1], 2026), nullptr);
  EXPECT_EQ(budget::plannedMonths(*budget.planOf(moved, moved[2], 2026))[0], 100);
  ASSERT_FALSE(store.redo());
  // 餐費 deleted: 房租 keeps its own plan; 餐費's is left unbound.
  std::vector<Account> deleted{{3, 3, "I-薪資"}, {4, 4, "E-房租"}};
  const auto report =
      budget::buildReport(deleted, budget.bind(deleted, 2026), {}, 2026, 1, budget::Span::Month);
  ASSERT_EQ(report.expense.size(), 2u);
  EXPECT_EQ(report.expense[0].budget, 900);
  EXPECT_EQ(report.expense[1].name, "已刪除帳戶（E-餐費）");
  EXPECT_EQ(report.expense[1].budget, 100);
  // Seen gone, its plan lets the slot go: a new account made there is not 餐費.
  ASSERT_FALSE(budget.follow(deleted));
  std::vector<Account> reused{{3, 3, "I-薪資"}, {4, 4, "E-房租"}, {5, 4, "E-交際費"}};
  EXPECT_EQ(budget.planOf(reused, reused[2], 2026), nullptr);
  EXPECT_EQ(budget.bind(reused, 2026)[0].slot, 0);
  // 餐費 back (its deletion undone) finds its plan by its name.
  EXPECT_EQ(budget::plannedMonths(*budget.planOf(moved, moved[2], 2026))[0], 100);
}

// The book as its entries say, and the budget over it.
struct BudgetOverBook : ::testing::Test, testbooks::Books {
  BudgetOverBook() : Books({"A-現金", "Equity", "I-薪資", "E-食費", "E-房租", "E-雜項"}) {
    entry("2025/12/20", "E-食費", "A-現金", 100);
    entry("2026/01/05", "I-薪資", "A-現金", 30000);
    entry("2026/01/10", "E-食費", "A-現金", 4200);
    entry("2026/02/10", "E-食費", "A-現金", 6100);
    entry("2026/02/11", "E-雜項", "A-現金", 300);
    entry("2026/03/31", "E-食費", "A-現金", -30);  // a refund
    entry("2026/03/02", "E-房租", "A-現金", 12000);
  }
};

TEST_F(BudgetOverBook, ActualIsWhatThePeriodReportShowsForEveryAccountAndMonth) {
  const budget::YearFigures figures = budget::figuresOfYear(store, 2026);
  for (int month = 1; month <= 12; ++month) {
    const auto shown = period::buildReport(store, period::monthPeriod(2026, month));
    std::map<int, qint64> byPeriod;
    for (const auto* lines : {&shown.income, &shown.expense}) {
      for (const auto& line : *lines) byPeriod[line.slot] = line.total;
    }
    const auto report = budget::buildReport(figures.accounts, {}, figures.actuals, 2026, month,
                                            budget::Span::Month);
    std::map<int, qint64> byBudget;
    for (const auto* rows : {&report.income, &report.expense}) {
      for (const auto& row : *rows) byBudget[row.slot] = row.actual;
    }
    EXPECT_EQ(byBudget, byPeriod) << "month " << month;
  }
}

TEST_F(BudgetOverBook, YearToDateOverrunsAndTheChartsSeries) {
  const budget::YearFigures figures = budget::figuresOfYear(store, 2026);
  Budget plans;
  plans.setClock([] { return kNoon; });
  const Account food = figures.accounts[1];
  ASSERT_EQ(food.name, "E-食費");
  ASSERT_FALSE(plans.setRule(figures.accounts, food, 2026, budget::Rule::SameEachMonth, "5000"));
  ASSERT_FALSE(plans.setCarryForward(figures.accounts, food, 2026, true));
  const auto bound = plans.bind(figures.accounts, 2026);

  const auto ytd = budget::buildReport(figures.accounts, bound, figures.actuals, 2026, 3,
                                       budget::Span::YearToDate, true);
  std::vector<QString> over;
  for (const auto& row : ytd.expense) over.push_back(row.name);
  // 食費 spent 10,270 of 15,000: not over; 房租 and 雜項 had no plan.
  EXPECT_EQ(over, (std::vector<QString>{"E-房租", "E-雜項"}));
  EXPECT_TRUE(ytd.income.empty());  // 薪資 earned more than its budget of 0

  const auto series = budget::expenseSeries(figures.accounts, bound, figures.actuals, 2026);
  EXPECT_EQ(series.budget[1], 5800);  // 800 carried from January
  EXPECT_EQ(series.actual[1], 6400);
  EXPECT_EQ(series.actual[2], 11970);
}

TEST_F(BudgetOverBook, BookFilesStayByteIdenticalThroughBudgetEdits) {
  const QString folder = dir.path() + "/book";
  ASSERT_TRUE(writeTo(folder));
  const auto bookFiles = [&] {
    return fileBytes(folder + "/Accounts.dat") + "|" + fileBytes(folder + "/Main.dat");
  };
  const QByteArray before = bookFiles();
  Budget plans(folder);
  const auto accounts = budget::accountsOf(store);
  ASSERT_FALSE(plans.setRule(accounts, accounts[1], 2026, budget::Rule::YearlySpread, "60,000"));
  ASSERT_FALSE(plans.setMonth(accounts, accounts[1], 2026, 2, "1"));
  ASSERT_FALSE(plans.setCarryForward(accounts, accounts[1], 2026, true));
  ASSERT_FALSE(plans.fillEstimate(accounts, accounts[1], 2026, 4000));
  plans.keepStepsIn(&store.history());
  ASSERT_FALSE(plans.setCarryForward(accounts, accounts[1], 2026, false));
  ASSERT_FALSE(store.undo());
  ASSERT_FALSE(store.redo());
  EXPECT_EQ(bookFiles(), before);
}

}  // namespace
