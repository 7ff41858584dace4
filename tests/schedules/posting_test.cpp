#include "schedules/posting.h"
#include "Books.h"
#include "TestFiles.h"
#include "history/History.h"
#include "schedules/editing.h"
#include "schedules/fields.h"
#include "schedules/schedulefile.h"

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

// Saving or deleting a schedule is a step of the book's history; the side file written at the
// next save holds what the step left, each record put back stamped anew so that the file's
// merge by change time takes it.
TEST_F(RentAndSalary, ScheduleEditsAreStepsAndTheSideFileFollows) {
  QDateTime now(QDate(2024, 7, 15), QTime(9, 0), Qt::UTC);
  store.clock().setNow(now);
  const auto alive = std::make_shared<const int>(0);
  const Changed changed = stepsOf(store, plan, alive);
  for (Schedule& s : plan.schedules) s.changed = now;
  const auto written = [&] {
    EXPECT_TRUE(std::holds_alternative<ScheduleBook>(writeSchedules(dir.path(), plan)));
    const QByteArray bytes = fileBytes(schedulesPath(dir.path()));
    // The file as read back, its change times aside.
    ScheduleBook read = std::get<ScheduleBook>(schedulesFrom(bytes));
    for (Schedule& s : read.schedules) s.changed = {};
    return std::pair{bytes, read};
  };
  const auto before = written();

  ScheduleBook was = plan;
  Schedule rent = plan.schedules[0];
  rent.amount = 13000;
  store.clock().setNow(now = now.addSecs(1));
  keepSchedule(plan, rent, now);
  changed(stepnames::kSaveSchedule, was);
  was = plan;
  deleteSchedule(plan, "salary", now);
  changed(stepnames::kDeleteSchedule, was);
  const auto after = written();
  EXPECT_TRUE(after.first.contains("\tdeleted\t"));

  EXPECT_EQ(store.history().undoName(), stepnames::kDeleteSchedule);
  store.clock().setNow(now = now.addSecs(1));
  ASSERT_FALSE(store.undo());
  ASSERT_FALSE(store.undo());
  const auto undone = written();
  EXPECT_EQ(undone.second, before.second);
  EXPECT_TRUE(undone.first.contains("2024-07-15T09:00:02"));
  ASSERT_FALSE(store.redo());
  ASSERT_FALSE(store.redo());
  EXPECT_EQ(written().second, after.second);
}

TEST_F(RentAndSalary, AnEstimateIsAskedForEvenWhenItWouldPostItself) {
  plan.schedules[1].estimate = true;
  EXPECT_TRUE(postByThemselves(store, plan).posted.empty());
  EXPECT_EQ(store.tables().entriesInUse(), 0);
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

// 存成定期: the entry of 01/31 is the schedule's first occurrence, already posted; the clamped
// 02/29 is the next, and the person is told so.
TEST_F(RentAndSalary, AnEntryKeptAsAScheduleIsItsFirstOccurrenceAndSaysTheNextDate) {
  ScheduleBook kept;
  const Message told = keepEntryAsSchedule(
      kept, store::makeEntry("2024/01/31", "E-房租", "A-銀行", 12000, "房租"), "new", QDateTime());
  EXPECT_TRUE(
      told.text.startsWith("已存成定期記錄：每個月 31 日，每次入帳前詢問，下一次是 2024/02/29。"))
      << told.text.toStdString();
  ASSERT_EQ(kept.schedules.size(), 1u);
  EXPECT_EQ(kept.schedules[0].mode, Mode::Ask);
  const auto due = dueOccurrences(kept, QDate(2024, 3, 1));
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].occurrence.date, QDate(2024, 2, 29));
  EXPECT_EQ(keepEntryAsSchedule(kept, store::makeEntry("2024/13/01", "E-房租", "A-銀行", 1, ""),
                                "bad", QDateTime())
                .buttons,
            MessageButtons::Ok);
  EXPECT_EQ(kept.schedules.size(), 1u);
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
