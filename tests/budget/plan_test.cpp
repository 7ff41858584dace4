#include "budget/plan.h"
#include "budget/report.h"

#include <numeric>

#include <gtest/gtest.h>

using budget::Months;
using budget::Plan;
using budget::Rule;

namespace {

Plan planOf(Rule rule, qint64 amount, Months months = {}) {
  Plan p;
  p.rule = rule;
  p.amount = amount;
  p.months = months;
  return p;
}

Plan withOverride(Plan p, int month, qint64 value) {
  p.overrides[static_cast<size_t>(month - 1)] = value;
  return p;
}

const Months kTwelve{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

TEST(BudgetRules, MonthsAndTheirYearNeverDisagree) {
  const struct {
    const char* name;
    Plan plan;
    Months expected;
  } cases[] = {
      {"same",
       planOf(Rule::SameEachMonth, 5000),
       {5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000}},
      {"perMonth", planOf(Rule::PerMonth, 99, kTwelve), kTwelve},
      // 100,000 / 12 = 8,333 remainder 4: December takes 8,337 and the year stays exact.
      {"spreadRemainder",
       planOf(Rule::YearlySpread, 100000),
       {8333, 8333, 8333, 8333, 8333, 8333, 8333, 8333, 8333, 8333, 8333, 8337}},
      {"spreadOfTheLargest",
       planOf(Rule::YearlySpread, budget::kMaxAmount),
       {178956970, 178956970, 178956970, 178956970, 178956970, 178956970, 178956970, 178956970,
        178956970, 178956970, 178956970, 178956977}},
      {"overrideOnSame",
       withOverride(planOf(Rule::SameEachMonth, 100), 3, 0),
       {100, 100, 0, 100, 100, 100, 100, 100, 100, 100, 100, 100}},
      {"overrideOnSpreadDecember",
       withOverride(planOf(Rule::YearlySpread, 1210), 12, 1),
       {100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 1}},
  };
  for (const auto& c : cases) {
    const Months months = budget::plannedMonths(c.plan);
    EXPECT_EQ(months, c.expected) << c.name;
    EXPECT_EQ(budget::yearTotal(months), std::accumulate(c.expected.begin(), c.expected.end(), 0LL))
        << c.name;
  }
}

TEST(BudgetCarryForward, LeftoversAndOverspendingMoveOn) {
  Plan p = planOf(Rule::SameEachMonth, 5000);
  p.carryForward = true;
  const struct {
    const char* name;
    Months actual, available;
  } cases[] = {
      // 食費: 4,200 in January, 6,100 in February: 5,800 then 4,700 available.
      {"food",
       {4200, 6100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       {5000, 5800, 4700, 9700, 14700, 19700, 24700, 29700, 34700, 39700, 44700, 49700}},
      {"wholeYear",
       {5000, 7000, 3000, 5000, 9000, 0, 5000, 5000, 5000, 1000, 5000, 5000},
       {5000, 5000, 3000, 5000, 5000, 1000, 6000, 6000, 6000, 6000, 10000, 10000}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(budget::availableMonths(p, c.actual), c.available) << c.name;
}

TEST(BudgetAmounts, TypedAmountsWithSeparatorsAndTheirRefusals) {
  struct Case {
    const char* typed;
    std::optional<qint64> value;
    const char* refusal;  // a piece of it
  } cases[] = {
      {"12,500", 12500, nullptr},
      {"2,147,483,647", budget::kMaxAmount, nullptr},
      {"", std::nullopt, nullptr},
      {"12,34", std::nullopt, "不是金額"},
      {"1,2345", std::nullopt, "不是金額"},
      {"-100", std::nullopt, "負數"},
      {"2,147,483,648", std::nullopt, "太大"},
      {"99999999999999999999", std::nullopt, "太大"},
  };
  for (const Case& c : cases) {
    const auto read = budget::parseBudgetAmount(QString::fromUtf8(c.typed));
    if (c.refusal) {
      ASSERT_TRUE(std::holds_alternative<QString>(read)) << c.typed;
      EXPECT_TRUE(std::get<QString>(read).contains(QString::fromUtf8(c.refusal))) << c.typed;
    } else {
      ASSERT_FALSE(std::holds_alternative<QString>(read)) << c.typed;
      EXPECT_EQ(std::get<std::optional<qint64>>(read), c.value) << c.typed;
    }
  }
}

TEST(BudgetEstimate, AverageAndMedianOfTheLastMonths) {
  const std::vector<qint64> history{9000, 100, 100, 100, 100, 100, 100, 100, 100, 3000, 5000, 4000};
  EXPECT_EQ(budget::estimateFrom(history, 3, budget::Estimate::Average), 4000);
  EXPECT_EQ(budget::estimateFrom(history, 6, budget::Estimate::Median), 1550);    // (100+3000)/2
  EXPECT_EQ(budget::estimateFrom(history, 12, budget::Estimate::Average), 1817);  // 21,800/12
  // Refunds count as nothing spent; halves round to even.
  EXPECT_EQ(budget::estimateFrom({-500, 3, 2}, 3, budget::Estimate::Average), 2);
  EXPECT_EQ(budget::estimateFrom({1, 4}, 3, budget::Estimate::Median), 2);
}

TEST(BudgetNotice, EightyAndHundredPercentAreCrossedOnce) {
  struct Case {
    qint64 available, before, after;
    const char* says;  // nullptr: no notice
  } cases[] = {
      {5000, 3000, 4000, nullptr},  // exactly 80% is not past it
      {5000, 3000, 4001, "80%"},
      {5000, 4001, 4500, nullptr},  // already past 80%
      {5000, 4500, 5000, nullptr},  // exactly the budget
      {5000, 4500, 5001, "超出預算 1"},
      {5000, 1000, 7000, "超出預算 2,000"},  // both at once: the larger one speaks
      {5000, 5200, 5300, nullptr},           // already over
      {0, 0, 100, nullptr},                  // no budget, nothing to run over
  };
  for (const Case& c : cases) {
    const QString notice = budget::overrunNotice("E-食費", 2026, 3, c.available, c.before, c.after);
    if (!c.says) {
      EXPECT_TRUE(notice.isEmpty()) << c.before << "->" << c.after << " " << notice.toStdString();
    } else {
      EXPECT_TRUE(notice.startsWith("注意：E-食費 2026/03")) << notice.toStdString();
      EXPECT_TRUE(notice.contains(QString::fromUtf8(c.says))) << notice.toStdString();
    }
  }
}

}  // namespace
