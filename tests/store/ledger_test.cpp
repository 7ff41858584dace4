#include "store/ledger.h"

#include "ScriptedDialogs.h"
#include "store/Module1.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace {

const QString kCash = QStringLiteral("A-現金");
const QString kEquityName = QStringLiteral("Equity");
const QString kFood = QStringLiteral("E-餐飲");
const QString kSalary = QStringLiteral("I-薪資");
const QString kCard = QStringLiteral("L-信用卡");

// A chart of the five kinds and entries added in order.
class Books : public ::testing::Test {
 protected:
  ScriptedDialogs dialogs;
  Module1 store{QStringLiteral("/nowhere"), dialogs};

  void SetUp() override {
    const std::pair<QString, qint16> chart[] = {{kCash, kAsset},
                                                {kEquityName, kEquity},
                                                {kFood, kExpense},
                                                {kSalary, kIncome},
                                                {kCard, kLiability}};
    for (const auto& [name, kind] : chart) {
      store.AccountTable[store.AccountCount++] = makeAccount(name, kind);
    }
  }

  void add(const QString& date, const QString& first, const QString& second, qint32 amount,
           const QString& memo = {}) {
    store.EntryTable[store.EntryCount++] = makeEntry(date, first, second, amount, memo);
  }

  int slotOf(const QString& name) const { return store.accountSlot(nameField(name)); }

  // Columns 3 and 4 of each row, with the red flags as "!".
  QStringList amountsAndTotals(const QString& account) const {
    QStringList out;
    for (const LedgerRow& row : ShowLedger(store, slotOf(account))) {
      out << (row.amountRed ? u'!' + row.amount : row.amount) + u'|' +
                 (row.totalRed ? u'!' + row.total : row.total);
    }
    return out;
  }
};

TEST(SignRule, FollowsBothTablesCellByCell) {
  // Rows: the account's kind 0..4; columns: the other side's kind 0..4.
  const char* firstSide[5] = {"00000", "+++00", "+-+00", "+++00", "+++00"};
  const char* secondSide[5] = {"0+--+", "0--+-", "-+--+", "00000", "00000"};
  auto sign = [](char c) { return c == '+' ? Sign::Plus : c == '-' ? Sign::Minus : Sign::None; };
  for (int kind = 0; kind < 5; ++kind) {
    for (int other = 0; other < 5; ++other) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << " other " << other);
      EXPECT_EQ(signRule(kind, other, true), sign(firstSide[kind][other]));
      EXPECT_EQ(signRule(kind, other, false), sign(secondSide[kind][other]));
    }
  }
  // An unknown kind, or an other side that names no account, counts for nothing.
  EXPECT_EQ(signRule(1, -1, true), Sign::None);
  EXPECT_EQ(signRule(7, 1, false), Sign::None);
}

TEST_F(Books, LedgersShowSignedAmountsAndRunningTotals) {
  add(QStringLiteral("2025/01/01"), kCash, kEquityName, 1000, QStringLiteral("初值"));
  add(QStringLiteral("2025/01/02"), kFood, kCash, 120, QStringLiteral("午餐   "));
  add(QStringLiteral("2025/01/03"), kSalary, kCash, 5000);

  const auto cash = ShowLedger(store, slotOf(kCash));
  ASSERT_EQ(cash.size(), 3u);
  EXPECT_EQ(cash[0].date, QStringLiteral("2025/01/01"));
  EXPECT_EQ(cash[0].other, kEquityName);
  EXPECT_EQ(cash[0].memo, QStringLiteral("初值"));
  EXPECT_EQ(cash[0].number, QStringLiteral("1"));
  EXPECT_EQ(cash[1].other, kFood);
  EXPECT_EQ(cash[1].memo, QStringLiteral("午餐"));
  EXPECT_EQ(cash[2].number, QStringLiteral("3"));
  EXPECT_EQ(amountsAndTotals(kCash), QStringList({"1000| 1000", "!-120| 880", "5000| 5880"}));
  EXPECT_EQ(amountsAndTotals(kFood), QStringList({"120| 120"}));
  EXPECT_EQ(amountsAndTotals(kSalary), QStringList({"5000| 5000"}));
  EXPECT_EQ(amountsAndTotals(kEquityName), QStringList({"1000| 1000"}));
  EXPECT_EQ(ShowLedger(store, slotOf(kEquityName))[0].other, kCash);
  EXPECT_TRUE(ShowLedger(store, slotOf(kCard)).empty());
}

TEST_F(Books, EdgeCasesOfTheLedger) {
  add(QStringLiteral("2025/01/01"), kCash, kEquityName, 100);
  add(QStringLiteral("2025/01/02"), kFood, kCash, 120);   // cash below 0
  add(QStringLiteral("2025/01/03"), kCard, kCash, 500);   // paying off the card
  add(QStringLiteral("2025/01/04"), kFood, kSalary, 70);  // counts for neither
  add(QStringLiteral("2025/01/05"), kCash, kCash, 30);    // both sides: once each

  EXPECT_EQ(amountsAndTotals(kCash),
            QStringList({"100| 100", "!-120|!-20", "!-500|!-520", "30|!-490", "!-30|!-520"}));
  EXPECT_EQ(amountsAndTotals(kCard), QStringList({"!-500|!-500"}));
  EXPECT_EQ(amountsAndTotals(kFood), QStringList({"120| 120", "| 120"}));
  EXPECT_EQ(amountsAndTotals(kSalary), QStringList({"| 0"}));
}

TEST_F(Books, AccountBalanceCountsEntriesUpToAndIncludingTheDate) {
  add(QStringLiteral("2025/01/10"), kCash, kEquityName, 1000);
  add(QStringLiteral("2025/02/01"), kFood, kCash, 120);
  add(QStringLiteral("2025/01/20"), kSalary, kCash, 5000);
  const int cash = slotOf(kCash);
  EXPECT_EQ(AccountBalance(store, cash, QStringLiteral("2025/01/09")), 0);
  EXPECT_EQ(AccountBalance(store, cash, QStringLiteral("2025/01/10")), 1000);
  EXPECT_EQ(AccountBalance(store, cash, QStringLiteral("2025/01/31")), 6000);
  EXPECT_EQ(AccountBalance(store, cash, QStringLiteral("2025/02/01")), 5880);
  EXPECT_EQ(AccountBalance(store, slotOf(kFood), QStringLiteral("2025/01/31")), 0);
  EXPECT_EQ(AccountBalance(store, slotOf(kCard), QStringLiteral("2025/12/31")), 0);
}

TEST_F(Books, OnePassBalancesAgreeWithAccountBalance) {
  // A second account of an existing name, and entries naming no account at all.
  store.AccountTable[store.AccountCount++] = makeAccount(kFood, kAsset);
  const QString names[] = {kCash, kEquityName, kFood, kSalary, kCard, QStringLiteral("A-不存在")};
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(0, 5);
  std::uniform_int_distribution<int> day(1, 28);
  for (int i = 0; i < 400; ++i) {
    add(QStringLiteral("2025/03/%1").arg(day(random), 2, 10, QLatin1Char('0')), names[pick(random)],
        names[pick(random)], i * 37 - 2000);
  }
  markDeleted(store, 5);
  for (const QString& date :
       {QStringLiteral("2025/03/01"), QStringLiteral("2025/03/15"), QStringLiteral("2025/12/31")}) {
    const auto all = allAccountBalances(store, date);
    ASSERT_EQ(all.size(), static_cast<size_t>(store.AccountCount - 1));
    for (int slot = 1; slot < store.AccountCount; ++slot) {
      EXPECT_EQ(all[slot - 1], AccountBalance(store, slot, date)) << slot;
    }
  }
}

TEST_F(Books, LargeAmountsNeverOverflowTheTotals) {
  constexpr qint32 kMax = std::numeric_limits<qint32>::max();
  constexpr qint32 kMin = std::numeric_limits<qint32>::min();
  for (int i = 0; i < kMaxEntries / 2; ++i)
    add(QStringLiteral("2025/01/01"), kCash, kEquityName, kMax);
  for (int i = 0; i < kMaxEntries / 2; ++i) add(QStringLiteral("2025/01/02"), kFood, kCash, kMin);
  ASSERT_EQ(store.EntryCount, kMaxEntries + 1);

  const qint64 half = qint64(kMaxEntries / 2);
  const qint64 expected = half * kMax - half * kMin;  // the expense of kMin takes -kMin from cash
  EXPECT_EQ(AccountBalance(store, slotOf(kCash), QStringLiteral("2025/01/01")), half * kMax);
  EXPECT_EQ(AccountBalance(store, slotOf(kCash), QStringLiteral("2025/12/31")), expected);
  EXPECT_EQ(allAccountBalances(store, QStringLiteral("2025/12/31"))[0], expected);
  const auto rows = ShowLedger(store, slotOf(kCash));
  ASSERT_EQ(rows.size(), static_cast<size_t>(kMaxEntries));
  EXPECT_EQ(rows.back().total, u' ' + QString::number(expected));
  EXPECT_EQ(rows.back().amount, QStringLiteral("2147483648"));
  EXPECT_EQ(ShowLedger(store, slotOf(kFood)).back().total, QString::number(half * kMin));
}

TEST(TrimTrailingSpaces, RemovesOnlyTrailingCode32Blanks) {
  const std::pair<QString, QString> cases[] = {
      {QString(20, u' '), QString()},
      {QStringLiteral("A-現金") + QString(16, u' '), QStringLiteral("A-現金")},
      {QStringLiteral("A-現金"), QStringLiteral("A-現金")},
      {QStringLiteral(" a b "), QStringLiteral(" a b")},
      {QStringLiteral("a\t"), QStringLiteral("a\t")},
      {QStringLiteral("a\u3000"), QStringLiteral("a\u3000")},
      {QString(), QString()},
  };
  for (const auto& [text, trimmed] : cases) EXPECT_EQ(TrimTrailingSpaces(text), trimmed);
}

TEST_F(Books, CompactEntriesKeepsTheOrderOfTheRest) {
  for (int i = 1; i <= 5; ++i) add(QStringLiteral("2025/01/01"), kCash, kEquityName, i);
  const EntryTableType before = store.EntryTable;

  CompactEntries(store);  // nothing marked
  EXPECT_EQ(store.EntryCount, 6);
  EXPECT_EQ(store.EntryTable, before);

  markDeleted(store, 2);
  markDeleted(store, 4);
  markDeleted(store, 4);  // twice is once
  CompactEntries(store);
  ASSERT_EQ(store.EntryCount, 4);
  EXPECT_EQ(store.EntryTable[1], before[1]);
  EXPECT_EQ(store.EntryTable[2], before[3]);
  EXPECT_EQ(store.EntryTable[3], before[5]);

  for (int slot = 1; slot < store.EntryCount; ++slot) markDeleted(store, slot);
  CompactEntries(store);
  EXPECT_EQ(store.EntryCount, 1);
  EXPECT_TRUE(ShowLedger(store, slotOf(kCash)).empty());
}

TEST_F(Books, AccountListsHoldFullNamesInSlotOrder) {
  const QStringList names = accountListNames(store);
  ASSERT_EQ(names.size(), 5);
  EXPECT_EQ(names[0], kCash + QString(16, u' '));
  EXPECT_EQ(names[4], nameField(kCard));
}

}  // namespace
