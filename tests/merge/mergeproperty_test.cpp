// Two computers edit one book from a common base, at random; their merge must not depend on
// which of them merges, must give back a copy the other side never touched, and without
// questions must keep every change of both. scripts/fuzz sets VARNIX_MERGE_SEEDS for a longer run.
#include "MergeBooks.h"
#include "merge/merge.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace mergebooks;

namespace {

int seedCount() {
  const int asked = qEnvironmentVariableIntValue("VARNIX_MERGE_SEEDS");
  return asked > 0 ? asked : 300;
}

// The book's records sorted: the same book up to the order of its accounts and entries.
std::vector<std::string> recordsOf(const BookTables& b) {
  std::vector<std::string> all = linesOf(b);
  std::sort(all.begin(), all.end());
  return all;
}

// Every conflict answered by one rule: the mine side, the theirs side, or both where both can
// stay (mine otherwise).
std::variant<merge::Merged, QString> answerAll(const merge::Plan& plan, merge::Choice answer,
                                                merge::Choice otherwise) {
  std::vector<merge::Choice> answers;
  for (const merge::Conflict& c : plan.conflicts)
    answers.push_back(answer == merge::Choice::Both && !c.allowsBoth ? otherwise : answer);
  return merge::apply(plan, answers);
}

struct Sides {
  BookTables base, ours, theirs;
};

Sides sessions(unsigned seed, bool disjoint) {
  Sides s;
  s.base = randomBase(seed, 20 + static_cast<int>(seed % 40));
  // Without a limit both sides may do anything; disjoint sides leave whole-book work to one.
  Session a(s.base, seed * 2 + 1, QStringLiteral("甲"), disjoint ? 0 : -1, true);
  Session b(s.base, seed * 2 + 2, QStringLiteral("乙"), disjoint ? 1 : -1, !disjoint);
  a.run(1 + static_cast<int>(seed % 7));
  b.run(1 + static_cast<int>((seed / 7) % 7));
  s.ours = a.book;
  s.theirs = b.book;
  return s;
}

TEST(MergeProperty, EitherSideMergingGivesTheSameBook) {
  for (unsigned seed = 0; seed < unsigned(seedCount()); ++seed) {
    SCOPED_TRACE(seed);
    const Sides s = sessions(seed, false);
    const auto ab = merge::plan(s.base, s.ours, s.theirs);
    const auto ba = merge::plan(s.base, s.theirs, s.ours);
    ASSERT_EQ(ab.index(), ba.index());
    if (const QString* refused = std::get_if<QString>(&ab)) {
      EXPECT_EQ(*refused, std::get<QString>(ba));
      continue;
    }
    const merge::Plan& here = std::get<merge::Plan>(ab);
    const merge::Plan& there = std::get<merge::Plan>(ba);
    ASSERT_EQ(here.conflicts.size(), there.conflicts.size());
    using merge::Choice;
    const std::pair<Choice, Choice> mirrored[] = {
        {Choice::Mine, Choice::Theirs}, {Choice::Theirs, Choice::Mine}, {Choice::Both, Choice::Both}};
    for (const auto& [mine, theirs] : mirrored) {
      const auto one = answerAll(here, mine, Choice::Mine);
      const auto other = answerAll(there, theirs, Choice::Theirs);
      ASSERT_EQ(one.index(), other.index());
      if (one.index() == 1) continue;
      EXPECT_EQ(recordsOf(std::get<merge::Merged>(one).tables),
                recordsOf(std::get<merge::Merged>(other).tables));
    }
  }
}

TEST(MergeProperty, AnUntouchedSideGivesTheOtherBack) {
  for (unsigned seed = 0; seed < unsigned(seedCount()); ++seed) {
    SCOPED_TRACE(seed);
    const Sides s = sessions(seed, false);
    for (const bool oursChanged : {true, false}) {
      const auto merged = oursChanged ? merge::mergeBooks(s.base, s.ours, s.base)
                                      : merge::mergeBooks(s.base, s.base, s.ours);
      ASSERT_TRUE(std::holds_alternative<merge::Merged>(merged))
          << std::get<QString>(merged).toStdString();
      EXPECT_EQ(linesOf(std::get<merge::Merged>(merged).tables), linesOf(s.ours));
    }
  }
}

TEST(MergeProperty, WithoutQuestionsEveryBalanceSumsBothSidesChanges) {
  int merged = 0;
  for (unsigned seed = 0; seed < unsigned(seedCount()); ++seed) {
    SCOPED_TRACE(seed);
    const Sides s = sessions(seed, true);
    const auto result = merge::mergeBooks(s.base, s.ours, s.theirs);
    if (!std::holds_alternative<merge::Merged>(result)) continue;
    ++merged;
    const BookTables& book = std::get<merge::Merged>(result).tables;
    // Each account by the name each copy gives it: a rename is on one side only here.
    for (int slot = 1; slot < book.accountCount; ++slot) {
      const QString name = book.accounts[slot].AccountName;
      QString inBase = name, inOurs = name, inTheirs = name;
      for (int b = 1; b < s.base.accountCount; ++b) {  // these sessions never move accounts
        const QString was = s.base.accounts[b].AccountName;
        const QString ourNow = s.ours.accounts[b].AccountName;
        const QString theirNow = s.theirs.accounts[b].AccountName;
        if ((ourNow != was ? ourNow : theirNow) != name) continue;
        inBase = was;
        inOurs = ourNow;
        inTheirs = theirNow;
      }
      EXPECT_EQ(balanceOf(book, name), balanceOf(s.ours, inOurs) + balanceOf(s.theirs, inTheirs) -
                                           balanceOf(s.base, inBase))
          << name.toStdString();
    }
  }
  // Most disjoint sessions merge without a question; the property must have been tried.
  EXPECT_GT(merged, seedCount() / 3);
}

}  // namespace
