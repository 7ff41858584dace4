#include "schedules/schedulefile.h"
#include "Books.h"
#include "Schedules.h"
#include "TestFiles.h"
#include "cli/commands.h"
#include "schedules/posting.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using namespace schedules;

const QDateTime kChanged(QDate(2025, 1, 2), QTime(3, 4, 5), Qt::UTC);

Schedule rent() {
  Schedule s = testschedules::monthly("rent", "E-房租", 12000, QDate(2025, 1, 31));
  s.changed = kChanged;
  return s;
}

// A book without schedules gets no file; one that has a file keeps it written.
TEST(ScheduleFile, HoldsEachScheduleAndOccurrenceAsARecordOfItsOwn) {
  QTemporaryDir book;
  EXPECT_TRUE(std::holds_alternative<ScheduleBook>(writeSchedules(book.path(), {})));
  EXPECT_FALSE(QFileInfo::exists(schedulesPath(book.path())));
  ScheduleBook plan{{rent()}, {{"rent", QDate(2025, 1, 31), Outcome::Skipped, kChanged, false}}};
  ASSERT_TRUE(std::holds_alternative<ScheduleBook>(writeSchedules(book.path(), plan)));
  const QByteArray expected =
      "varnix-schedules 1\n"
      "rent\t2025-01-02T03:04:05.000Z\tlive\ttype=schedule\tamount=12000\tcount=0\tday=31\t"
      "decrease=A-\xe9\x8a\x80\xe8\xa1\x8c\tend=\testimate=0\tevery=1\tfirst=2025-01-31\t"
      "increase=E-\xe6\x88\xbf\xe7\xa7\x9f\tmemo=\xe6\x88\xbf\xe7\xa7\x9f\tmode=ask\t"
      "monthday=day\tunit=months\tweekend=none\n"
      "rent-20250131\t2025-01-02T03:04:05.000Z\tlive\ttype=occurrence\tnominal=2025-01-31\t"
      "outcome=skipped\tschedule=rent\n";
  EXPECT_EQ(fileBytes(schedulesPath(book.path())), expected);
  // An occurrence record whose id names another occurrence, and a schedule out of form, are
  // left out of what is read and kept in the file.
  QByteArray damaged = expected;
  damaged.replace("rent-20250131\t", "rent-20250228\t").replace("day=31", "day=32");
  putFile(schedulesPath(book.path()), damaged);
  EXPECT_EQ(std::get<ScheduleBook>(readSchedules(book.path())), ScheduleBook{});
  EXPECT_TRUE(std::holds_alternative<ScheduleBook>(writeSchedules(book.path(), {})));
  EXPECT_EQ(fileBytes(schedulesPath(book.path())), damaged);
  putFile(schedulesPath(book.path()), "varnix-budget 1\n");
  EXPECT_TRUE(std::holds_alternative<QString>(readSchedules(book.path())));
}

// Two programs over one book folder on the same fixed day: what one posted, the other never
// posts again, even from a side file restored from before the posting.
TEST(ScheduleFile, TwoProgramsOverOneFolderPostEachOccurrenceOnce) {
  QTemporaryDir folder;
  testbooks::Books first({"A-銀行", "E-房租", "Equity"}), second({"A-銀行", "E-房租", "Equity"});
  first.store.clock().setToday(QDate(2025, 4, 30));
  second.store.clock().setToday(QDate(2025, 4, 30));
  ASSERT_TRUE(std::holds_alternative<ScheduleBook>(writeSchedules(folder.path(), {{rent()}, {}})));
  const QByteArray before = fileBytes(schedulesPath(folder.path()));

  auto plan = std::get<ScheduleBook>(readSchedules(folder.path()));
  const std::vector<Decision> all = testschedules::postingAllDue(plan, first.store.clock().today());
  ASSERT_EQ(all.size(), 4u);
  ASSERT_FALSE(postDecisions(first.store, plan, all));
  ASSERT_TRUE(std::holds_alternative<ScheduleBook>(writeSchedules(folder.path(), plan)));
  ASSERT_TRUE(first.writeTo(folder.path()));

  // A copy read before the posting, written after it, keeps the posting's records.
  ASSERT_TRUE(std::holds_alternative<ScheduleBook>(writeSchedules(folder.path(), {{rent()}, {}})));
  const auto merged = std::get<ScheduleBook>(readSchedules(folder.path()));
  EXPECT_TRUE(dueOccurrences(merged, first.store.clock().today()).empty());

  for (const bool restored : {false, true}) {
    if (restored) putFile(schedulesPath(folder.path()), before);
    second.store.tables().entryCount =
        1 + std::get<int>(store::readEntries(fileBytes(folder.path() + "/Main.dat"),
                                             second.store.tables().entries));
    auto seen = std::get<ScheduleBook>(readSchedules(folder.path()));
    recogniseBookedOccurrences(second.store, seen);
    EXPECT_TRUE(dueOccurrences(seen, second.store.clock().today()).empty()) << restored;
  }
}

TEST(ScheduleFile, CommandLineListsWhatIsDueAndWritesNothing) {
  testbooks::Books b({"A-銀行", "E-房租", "Equity"});
  QTemporaryDir folder;
  ASSERT_TRUE(b.writeTo(folder.path()));
  ScheduleBook plan{{rent()}, {{"rent", QDate(2025, 2, 28), Outcome::Posted, kChanged, false}}};
  ASSERT_TRUE(std::holds_alternative<ScheduleBook>(writeSchedules(folder.path(), plan)));
  const QByteArray before = fileBytes(schedulesPath(folder.path()));
  const auto run = [](const QStringList& args) { return cli::run(args, QDate(2030, 1, 1), "1"); };
  const cli::Result listed = run({"schedules", folder.path(), "--due", "--date", "2025/3/31"});
  EXPECT_EQ(listed.exitCode, 0);
  const QStringList lines = QString::fromUtf8(listed.out).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith("2025/01/31\t12000\tE-房租\tA-銀行\t房租"));
  EXPECT_TRUE(lines[1].startsWith("2025/03/31"));
  EXPECT_EQ(fileBytes(schedulesPath(folder.path())), before);
  EXPECT_EQ(run({"schedules", folder.path()}).exitCode, 2);
  EXPECT_EQ(run({"schedules", folder.path() + "/none", "--due"}).exitCode, 1);
}

}  // namespace
