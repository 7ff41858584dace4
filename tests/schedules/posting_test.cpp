#include "schedules/posting.h"
#include "Books.h"
#include "Schedules.h"
#include "history/History.h"
#include "schedules/editing.h"
#include "schedules/fields.h"

#include <gtest/gtest.h>

namespace {

using namespace schedules;
using testschedules::monthly;

// Rent monthly on the 31st from 2024/01/31, salary monthly posting itself; the clock on
// 2024/07/15, so six rents and six salaries are due.
struct RentAndSalary : ::testing::Test, testbooks::Books {
  ScheduleBook plan;

  RentAndSalary() : Books({"A-銀行", "I-薪水", "E-房租", "Equity"}) {
    plan.schedules = {monthly("rent", "E-房租", 12000, QDate(2024, 1, 31)),
                      monthly("salary", "I-薪水", 50000, QDate(2024, 2, 5), Mode::PostByItself)};
  }

  std::vector<Decision> postAll() const {
    return testschedules::postingAllDue(plan, store.clock().today());
  }
};

// A batch is one step of the book's history: its entries and its records go back and forth
// together.
TEST_F(RentAndSalary, ABatchIsOneUndoStepAndIsNotPostedAgain) {
  const auto alive = std::make_shared<const int>(0);
  const Changed changed = stepsOf(store, plan, alive);
  const AutoPosted salaries = postByThemselves(store, plan, changed);
  EXPECT_FALSE(salaries.refusal);
  EXPECT_EQ(salaries.posted.size(), 6u);
  ASSERT_FALSE(postDecisions(store, plan, postAll(), changed));
  EXPECT_EQ(store.tables().entriesInUse(), 12);
  EXPECT_EQ(store.tables().entries[8].EntryDate, "2024/02/29");  // after the salaries
  EXPECT_TRUE(dueOccurrences(plan, store.clock().today()).empty());
  EXPECT_EQ(store.history().undoCount(), 2);
  EXPECT_FALSE(store.undo());
  EXPECT_EQ(store.tables().entriesInUse(), 6);
  EXPECT_EQ(dueOccurrences(plan, store.clock().today()).size(), 6u);  // the rents, due again
  EXPECT_FALSE(store.redo());
  EXPECT_EQ(store.tables().entriesInUse(), 12);
  EXPECT_TRUE(dueOccurrences(plan, store.clock().today()).empty());
}

// A full book still keeps a schedule; posting is what its limit refuses.
TEST_F(RentAndSalary, NothingIsPostedPastTheBooksLimitOrToAGoneAccount) {
  store.tables().entryCount = store::kMaxEntries + 1;
  ScheduleInput rent;
  rent.entry = {false, 0, 2, 0, QStringLiteral("2024/01/31"), QStringLiteral("12000"), {}};
  rent.rule = plan.schedules[0].rule;
  const auto kept = checkSchedule(store, rent);
  ASSERT_TRUE(std::holds_alternative<Schedule>(kept));
  EXPECT_EQ(std::get<Schedule>(kept).increase.trimmed(), QStringLiteral("E-房租"));
  EXPECT_EQ(postDecisions(store, plan, postAll()), limitText(0));
  store.tables().entryCount = store::kMaxEntries - 3;  // room for four
  const ScheduleBook before = plan;
  EXPECT_EQ(postDecisions(store, plan, postAll()), limitText(4));
  EXPECT_EQ(store.tables().entryCount, store::kMaxEntries - 3);
  EXPECT_EQ(plan, before);
  store.tables().entryCount = 1;
  store.tables().accounts[3] = store::makeAccount("E-租金", store::kExpense);
  EXPECT_TRUE(postDecisions(store, plan, postAll()).value_or("").contains("E-房租"));
  EXPECT_EQ(store.tables().entryCount, 1);
  EXPECT_EQ(plan, before);
}

TEST(ScheduleFields, ReadBackWhatWasWrittenAndRefuseWhatIsOutOfForm) {
  Schedule s = monthly("rent", "E-房租", -5, QDate(2024, 2, 29), Mode::PostByItself);
  s.rule = {Unit::Weeks,       2, MonthDay::LastBusinessDay, 30, QDate(2024, 2, 29),
            QDate(2025, 1, 1), 7, WeekendRule::MondayAfter};
  s.estimate = true;
  s.id.clear();  // the side file's own, not a field
  EXPECT_EQ(scheduleFrom(fieldsOf(s)), s);
  const QStringList damaged = {
      "amount=2147483648",       "every=0",         "day=32",       "first=",    "first=2024-02-30",
      "end=2024-01-01",          "unit=fortnights", "estimate=yes", "increase=", "count= 7",
      "memo=" + QString(51, 'x')};
  for (const QString& d : damaged) {
    Fields f = fieldsOf(s);
    f[d.section('=', 0, 0)] = d.section('=', 1);
    EXPECT_FALSE(scheduleFrom(f)) << d.toStdString();
  }
}

}  // namespace
