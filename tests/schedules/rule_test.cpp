#include "Schedules.h"
#include "platform/dates.h"
#include "schedules/schedule.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <map>
#include <set>

namespace {

using namespace schedules;

QDate day(const char* text) { return QDate::fromString(QString::fromLatin1(text), "yyyy/MM/dd"); }

// The dates, blanks between them.
QString texts(const std::vector<Occurrence>& occurrences) {
  QStringList out;
  for (const Occurrence& o : occurrences) out << dates::format(o.date);
  return out.join(' ');
}

Rule monthly(const char* first, int dayOfMonth, WeekendRule weekend = WeekendRule::None) {
  Rule r;
  r.first = day(first);
  r.dayOfMonth = dayOfMonth;
  r.weekend = weekend;
  return r;
}

Rule every(Unit unit, int n, const char* first) {
  Rule r;
  r.unit = unit;
  r.every = n;
  r.first = day(first);
  r.dayOfMonth = r.first.day();
  return r;
}

Rule on(MonthDay monthDay, const char* first) {
  Rule r = monthly(first, 1);
  r.monthDay = monthDay;
  return r;
}

Rule endingOn(Rule r, const char* end) {
  r.end = day(end);
  return r;
}

Rule times(Rule r, int count) {
  r.count = count;
  return r;
}

TEST(ScheduleDates, FallOnTheRulesDaysThroughTheGivenDay) {
  const struct {
    const char* name;
    Rule rule;
    const char* through;
    QString expected;
  } cases[] = {
      {"31st clamps and comes back", monthly("2025/01/31", 31), "2025/05/31",
       "2025/01/31 2025/02/28 2025/03/31 2025/04/30 2025/05/31"},
      {"leap February", monthly("2024/01/31", 31), "2024/03/31",
       "2024/01/31 2024/02/29 2024/03/31"},
      {"29 February yearly", every(Unit::Years, 1, "2024/02/29"), "2029/01/01",
       "2024/02/29 2025/02/28 2026/02/28 2027/02/28 2028/02/29"},
      {"the 30th in February", monthly("2025/12/30", 30), "2026/03/30",
       "2025/12/30 2026/01/30 2026/02/28 2026/03/30"},
      {"the 30th every two months", every(Unit::Months, 2, "2025/12/30"), "2026/06/30",
       "2025/12/30 2026/02/28 2026/04/30 2026/06/30"},
      {"last business day", on(MonthDay::LastBusinessDay, "2025/01/01"), "2025/06/30",
       "2025/01/31 2025/02/28 2025/03/31 2025/04/30 2025/05/30 2025/06/30"},
      {"last day", on(MonthDay::LastDay, "2025/01/15"), "2025/03/31",
       "2025/01/31 2025/02/28 2025/03/31"},
      {"Friday before", monthly("2025/02/01", 1, WeekendRule::FridayBefore), "2025/07/01",
       "2025/01/31 2025/02/28 2025/04/01 2025/05/01 2025/05/30 2025/07/01"},
      {"Monday after", monthly("2025/02/01", 1, WeekendRule::MondayAfter), "2025/07/01",
       "2025/02/03 2025/03/03 2025/04/01 2025/05/01 2025/06/02 2025/07/01"},
      {"Monday after not yet due", monthly("2025/05/31", 31, WeekendRule::MondayAfter),
       "2025/06/01", ""},
      {"day before the first date waits a month", monthly("2025/01/15", 10), "2025/03/31",
       "2025/02/10 2025/03/10"},
      {"end by count", times(every(Unit::Weeks, 1, "2025/01/06"), 3), "2026/01/01",
       "2025/01/06 2025/01/13 2025/01/20"},
      {"end by date", endingOn(every(Unit::Weeks, 2, "2025/01/06"), "2025/02/03"), "2026/01/01",
       "2025/01/06 2025/01/20 2025/02/03"},
      {"every three days over the year's end", every(Unit::Days, 3, "2025/12/30"), "2026/01/06",
       "2025/12/30 2026/01/02 2026/01/05"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(texts(occurrencesThrough(c.rule, day(c.through))), c.expected) << c.name;
}

TEST(ScheduleDates, NextFiveFollowTheGivenDayAndStopAtTheEnd) {
  EXPECT_EQ(texts(nextOccurrences(monthly("2025/01/31", 31), day("2025/02/28"), 5)),
            "2025/03/31 2025/04/30 2025/05/31 2025/06/30 2025/07/31");
  const Rule thrice = times(every(Unit::Days, 1, "2025/01/01"), 3);
  EXPECT_EQ(texts(nextOccurrences(thrice, day("2025/01/01"), 5)), "2025/01/02 2025/01/03");
}

TEST(ScheduleDates, RulesThatCannotBeKeptAreRefusedAndGiveNoDates) {
  const Rule refused[] = {every(Unit::Days, 0, "2025/01/01"), monthly("2025/01/01", 32), Rule{},
                          endingOn(monthly("2025/02/01", 1), "2025/01/31"),
                          times(monthly("2025/02/01", 1), -1)};
  for (const Rule& rule : refused) {
    EXPECT_TRUE(checkRule(rule).has_value());
    EXPECT_TRUE(occurrencesThrough(rule, day("2030/01/01")).empty());
  }
  // Near the last four-digit year the dates stop instead of running off the calendar.
  EXPECT_EQ(occurrencesThrough(every(Unit::Years, 999, "9000/01/01"), day("9999/12/31")).size(),
            2u);
}

// Openings of a book on random days, some by a second program working from the same side
// file read before the first one wrote it: every occurrence up to the latest opening is dealt
// with exactly once, posted entries on their due dates.
TEST(ScheduleDates, AnySequenceOfOpeningsDealsWithEachOccurrenceOnce) {
  QRandomGenerator random(20250131);
  const QDate base = day("2024/01/01");
  for (int round = 0; round < 200; ++round) {
    ScheduleBook book;
    for (int i = 0; i < 1 + random.bounded(4); ++i) {
      const QString id = QStringLiteral("s%1").arg(i);
      Schedule s = testschedules::monthly(qPrintable(id), "E-房租", 100 + i, base,
                                          random.bounded(2) ? Mode::Ask : Mode::PostByItself);
      s.rule.unit = static_cast<Unit>(random.bounded(4));
      s.rule.every = 1 + random.bounded(3);
      s.rule.first = base.addDays(random.bounded(400));
      s.rule.dayOfMonth = 1 + random.bounded(31);
      s.rule.monthDay = static_cast<MonthDay>(random.bounded(3));
      s.rule.weekend = static_cast<WeekendRule>(random.bounded(3));
      if (random.bounded(3) == 0) s.rule.count = 1 + random.bounded(20);
      if (random.bounded(3) == 0) s.rule.end = s.rule.first.addDays(random.bounded(500));
      book.schedules.push_back(s);
    }
    const std::vector<QString> accounts = {"E-房租", "A-銀行"};
    std::map<std::pair<QString, QDate>, int> dealt;
    std::multiset<QString> postedDates;
    std::vector<QDate> openings;
    for (int o = random.bounded(8); o >= 0; --o)
      openings.push_back(base.addDays(random.bounded(900)));
    // The last opening comes on the latest day yet and leaves nothing for later.
    openings.push_back(*std::max_element(openings.begin(), openings.end()));
    for (size_t o = 0; o < openings.size(); ++o) {
      const bool last = o + 1 == openings.size();
      const ScheduleBook seen = book;  // a second program may have read this copy too
      for (int program = random.bounded(3) == 0 ? 2 : 1; program > 0; --program) {
        std::vector<Decision> decisions;
        for (const DueOccurrence& due : dueOccurrences(seen, openings[o])) {
          const auto action = static_cast<Action>(random.bounded(last ? 2 : 3));
          decisions.push_back({due, action, 100});
        }
        auto planned = planBatch(book, decisions, accounts, 0, QDateTime());
        ASSERT_TRUE(std::holds_alternative<Batch>(planned));
        const Batch& batch = std::get<Batch>(planned);
        for (const OccurrenceRecord& r : batch.records) ++dealt[{r.scheduleId, r.nominal}];
        for (const store::LedgerEntry& e : batch.entries) postedDates.insert(e.EntryDate);
        keepRecords(book, batch.records);
      }
    }
    std::map<std::pair<QString, QDate>, int> expected;
    std::multiset<QString> expectedDates;
    for (const Schedule& s : book.schedules)
      for (const Occurrence& occurrence : occurrencesThrough(s.rule, openings.back())) {
        expected[{s.id, occurrence.nominal}] = 1;
        for (const OccurrenceRecord& r : book.records)
          if (r.scheduleId == s.id && r.nominal == occurrence.nominal &&
              r.outcome == Outcome::Posted)
            expectedDates.insert(dates::format(occurrence.date));
      }
    EXPECT_EQ(dealt, expected) << round;
    EXPECT_EQ(postedDates, expectedDates) << round;
  }
}

}  // namespace
