#include "schedules/posting.h"
#include "Books.h"
#include "history/History.h"
#include "schedules/fields.h"

#include <gtest/gtest.h>

namespace {

using namespace schedules;

// Rent monthly on the 31st from 2024/01/31, salary monthly posting itself; the clock on
// 2024/07/15, so six rents and six salaries are due.
struct RentAndSalary : ::testing::Test, testbooks::Books {
  ScheduleBook plan;

  RentAndSalary() : Books({"A-銀行", "I-薪水", "E-房租", "Equity"}) {
    plan.schedules.push_back(schedule("rent", "E-房租", 12000, Mode::Ask));
    plan.schedules.push_back(schedule("salary", "I-薪水", 50000, Mode::PostByItself));
    plan.schedules[1].rule.dayOfMonth = 5;
    plan.schedules[1].rule.first = QDate(2024, 2, 5);
  }

  static Schedule schedule(const char* id, const QString& category, qint32 amount, Mode mode) {
    Schedule s;
    s.id = id;
    s.increase = category;
    s.decrease = "A-銀行";
    s.amount = amount;
    s.memo = category.mid(2);
    s.mode = mode;
    s.rule.first = QDate(2024, 1, 31);
    s.rule.dayOfMonth = 31;
    return s;
  }

  std::vector<Decision> postAll() const {
    std::vector<Decision> all;
    for (const DueOccurrence& due : dueOccurrences(plan, store.clock().today()))
      all.push_back({due, Action::Post, plan.schedules[size_t(due.schedule)].amount});
    return all;
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
  EXPECT_EQ(store.tables().entries[8].EntryDate,
            QStringLiteral("2024/02/29"));  // after the salaries
  EXPECT_TRUE(dueOccurrences(plan, store.clock().today()).empty());
  EXPECT_EQ(store.history().undoCount(), 2);
  EXPECT_FALSE(store.undo());
  EXPECT_EQ(store.tables().entriesInUse(), 6);
  EXPECT_EQ(dueOccurrences(plan, store.clock().today()).size(), 6u);  // the rents, due again
  EXPECT_FALSE(store.redo());
  EXPECT_EQ(store.tables().entriesInUse(), 12);
  EXPECT_TRUE(dueOccurrences(plan, store.clock().today()).empty());
}

TEST_F(RentAndSalary, NothingIsPostedPastTheBooksLimitOrToAGoneAccount) {
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
  Schedule s = RentAndSalary::schedule("rent", "E-房租", -5, Mode::PostByItself);
  s.rule = {Unit::Weeks,       2, MonthDay::LastBusinessDay, 30, QDate(2024, 2, 29),
            QDate(2025, 1, 1), 7, WeekendRule::MondayAfter};
  s.estimate = true;
  s.id.clear();  // the side file's own, not a field
  EXPECT_EQ(scheduleFrom(fieldsOf(s)), s);
  const QByteArray longMemo(51, 'x');  // lives as long as the table that points into it
  const std::pair<const char*, const char*> damaged[] = {{"amount", "2147483648"},
                                                         {"every", "0"},
                                                         {"day", "32"},
                                                         {"first", ""},
                                                         {"first", "2024-02-30"},
                                                         {"end", "2024-01-01"},
                                                         {"unit", "fortnights"},
                                                         {"estimate", "yes"},
                                                         {"increase", ""},
                                                         {"memo", longMemo.constData()},
                                                         {"count", " 7"}};
  for (const auto& [field, value] : damaged) {
    Fields f = fieldsOf(s);
    f[field] = QString::fromLatin1(value);
    EXPECT_FALSE(scheduleFrom(f)) << field << " " << value;
  }
}

}  // namespace
