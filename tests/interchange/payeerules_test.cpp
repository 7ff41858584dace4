#include "interchange/payeerules.h"

#include "Books.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

using payeerules::Rules;

QDateTime at(int day) { return QDateTime(QDate(2026, 1, day), QTime(9, 0), Qt::UTC); }

struct PayeeRulesTest : ::testing::Test, testbooks::Books {
  PayeeRulesTest() : Books({"A-台銀", "L-信用卡", "E-日用品", "E-餐飲", "I-薪資"}) {}
  Rules load() { return std::get<Rules>(Rules::load(dir.path())); }
  QString path() const { return dir.filePath(payeerules::kFileName); }
};

// The latest choice is the rule, whatever the width or case of the memo's letters; a deleted
// rule keeps the book's entries from bringing the memo back.
TEST_F(PayeeRulesTest, LatestChoiceWinsAndDeletionsHold) {
  Rules rules = load();
  rules.learn("全聯 信義店", "E-餐飲", at(1));
  rules.learn("全聯　信義店", "E-日用品", at(2));
  rules.learn("ＡＴＭ", "E-餐飲", at(2));
  ASSERT_EQ(rules.save(dir.path()), std::nullopt);
  Rules again = load();
  ASSERT_EQ(again.listed().size(), 2u);
  EXPECT_EQ(again.accountFor("全聯 信義店"), "E-日用品");
  const QHash<QString, QString> fromBook{{payeerules::key("atm"), "E-日用品"}};
  EXPECT_EQ(payeerules::suggest(again, fromBook, "atm"), "E-餐飲");
  ASSERT_TRUE(again.remove(again.listed().front().id, at(3)));
  EXPECT_EQ(payeerules::suggest(again, fromBook, "ATM"), std::nullopt);
}

// Two windows (or computers) change the rules: a save merges rule by rule, so neither loses
// the other's change; a file that cannot be read is not written over.
TEST_F(PayeeRulesTest, SavingMergesWithTheFileAndLeavesADamagedOneAlone) {
  Rules first = load();
  first.learn("早餐", "E-餐飲", at(1));
  ASSERT_EQ(first.save(dir.path()), std::nullopt);
  Rules second = load();
  first.learn("薪水", "I-薪資", at(2));
  second.setAccount(second.listed().front().id, "E-日用品", at(3));
  ASSERT_EQ(first.save(dir.path()), std::nullopt);
  ASSERT_EQ(second.save(dir.path()), std::nullopt);
  const Rules merged = load();
  EXPECT_EQ(merged.accountFor("早餐"), "E-日用品");
  EXPECT_EQ(merged.accountFor("薪水"), "I-薪資");

  putFile(path(), "varnix-payee-rules 9\n");
  EXPECT_TRUE(first.save(dir.path()).has_value());
  EXPECT_EQ(fileBytes(path()), "varnix-payee-rules 9\n");
}

// The book teaches the account on the other side of the statement's account, or the entry's
// income or expense account; the latest date wins, and deleted entries teach nothing.
TEST_F(PayeeRulesTest, TheBookTeachesItsLatestEntries) {
  entry("2019/05/01", "E-餐飲", "A-台銀", 80, "全聯");
  entry("2019/06/01", "E-日用品", "L-信用卡", 90, "全聯");
  entry("2019/04/01", "E-餐飲", "A-台銀", 70, "全聯");
  entry("2019/07/01", "A-台銀", "I-薪資", 100, "薪資");
  entry("2019/08/01", "A-台銀", "L-信用卡", 500, "繳卡費");
  entry("2019/09/01", "E-餐飲", "A-台銀", 10, "早餐");
  store.tables().entries[store.tables().entryCount - 1].EntryDate = store::kDeleteMarker;
  const auto learned = payeerules::learnedFromBook(store, store::nameField("A-台銀"));
  EXPECT_EQ(learned, (QHash<QString, QString>{
                         {"全聯", "E-日用品"}, {"薪資", "I-薪資"}, {"繳卡費", "L-信用卡"}}));
}

}  // namespace
