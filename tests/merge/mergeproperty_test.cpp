// Two computers edit one book from a common base at random. The merge must not depend on which
// of them merges, must give back a copy the other side never touched, and without questions must
// keep every change of both. scripts/fuzz sets VARNIX_MERGE_SEEDS for a longer run.
#include "MergeBooks.h"
#include "merge/merge.h"

#include <gtest/gtest.h>

using namespace mergebooks;
using merge::Choice;

namespace {

unsigned seedCount() {
  const int asked = qEnvironmentVariableIntValue("VARNIX_MERGE_SEEDS");
  return asked > 0 ? unsigned(asked) : 300;
}

struct Sides {
  store::BookTables base, ours, theirs;
};

// Without a parity both sides may do anything; with one, whole-book work is the first side's.
Sides sessions(unsigned seed, bool disjoint) {
  Sides s{randomBase(seed, 20 + int(seed % 40)), {}, {}};
  Session a(s.base, seed * 2 + 1, QStringLiteral("甲"), disjoint ? 0 : -1, true);
  Session b(s.base, seed * 2 + 2, QStringLiteral("乙"), disjoint ? 1 : -1, !disjoint);
  a.run(1 + int(seed % 7));
  b.run(1 + int(seed / 7 % 7));
  s.ours = a.book;
  s.theirs = b.book;
  return s;
}

// Every question answered by one rule (both where both may stay, `otherwise` elsewhere); the
// book's records sorted, or the refusal.
std::vector<std::string> answered(const merge::Plan& plan, Choice rule, Choice otherwise) {
  std::vector<Choice> answers;
  for (const merge::Conflict& c : plan.conflicts)
    answers.push_back(rule == Choice::Both && !c.allowsBoth ? otherwise : rule);
  const auto merged = merge::apply(plan, answers);
  if (const QString* refused = std::get_if<QString>(&merged)) return {refused->toStdString()};
  std::vector<std::string> lines = linesOf(std::get<merge::Merged>(merged).tables);
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST(MergeProperty, EitherSideMergesAlikeAndAnUntouchedSideGivesTheOtherBack) {
  for (unsigned seed = 0; seed < seedCount(); ++seed) {
    SCOPED_TRACE(seed);
    const Sides s = sessions(seed, false);
    const auto ab = merge::plan(s.base, s.ours, s.theirs);
    const auto ba = merge::plan(s.base, s.theirs, s.ours);
    ASSERT_EQ(ab.index(), ba.index());
    if (ab.index() == 1) {
      EXPECT_EQ(std::get<QString>(ab), std::get<QString>(ba));
    } else {
      for (const auto& [mine, theirs] :
           {std::pair{Choice::Mine, Choice::Theirs}, std::pair{Choice::Theirs, Choice::Mine},
            std::pair{Choice::Both, Choice::Both}}) {
        EXPECT_EQ(answered(std::get<merge::Plan>(ab), mine, Choice::Mine),
                  answered(std::get<merge::Plan>(ba), theirs, Choice::Theirs));
      }
    }
    for (const auto& merged :
         {merge::mergeBooks(s.base, s.ours, s.base), merge::mergeBooks(s.base, s.base, s.ours)}) {
      ASSERT_TRUE(std::holds_alternative<merge::Merged>(merged))
          << std::get<QString>(merged).toStdString();
      EXPECT_EQ(linesOf(std::get<merge::Merged>(merged).tables), linesOf(s.ours));
    }
  }
}

TEST(MergeProperty, WithoutQuestionsEveryBalanceSumsBothSidesChanges) {
  unsigned merged = 0;
  for (unsigned seed = 0; seed < seedCount(); ++seed) {
    SCOPED_TRACE(seed);
    const Sides s = sessions(seed, true);
    const auto result = merge::mergeBooks(s.base, s.ours, s.theirs);
    if (!std::holds_alternative<merge::Merged>(result)) continue;
    ++merged;
    // These sessions never move or delete the base's accounts, and rename each on one side only.
    const store::BookTables& book = std::get<merge::Merged>(result).tables;
    const std::vector<qint64> base = balancesOf(s.base), ours = balancesOf(s.ours),
                              theirs = balancesOf(s.theirs), now = balancesOf(book);
    for (int slot = 1; slot < book.accountCount; ++slot) {
      const QString name = book.accounts[slot].AccountName;
      auto of = [&](const std::vector<qint64>& all, const store::BookTables& b) -> qint64 {
        if (slot < s.base.accountCount)
          return all[size_t(slot - 1)];  // the base's keep their slots
        for (int a = 1; a < b.accountCount; ++a)
          if (b.accounts[a].AccountName == name) return all[size_t(a - 1)];
        return 0;
      };
      EXPECT_EQ(now[size_t(slot - 1)], of(ours, s.ours) + of(theirs, s.theirs) - of(base, s.base))
          << name.toStdString();
    }
  }
  EXPECT_GT(merged, seedCount() / 3);  // the property was tried, not skipped
}

}  // namespace
