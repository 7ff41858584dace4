#include "store/ledger.h"

#include "Books.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

const QString kCash = kCashName, kFood = QStringLiteral("E-餐飲"),
              kSalary = QStringLiteral("I-薪資"), kCard = QStringLiteral("L-信用卡");

// A chart of the five kinds and entries added in order.
struct Books : ::testing::Test, testbooks::Books {
  Books() : testbooks::Books({kCash, kEquityName, kFood, kSalary, kCard}) {}

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

// One entry of 100 between two accounts, and what each account's ledger shows for it. Every
// pair of kinds is here once, so each cell of the rule is stated once, in a bookkeeper's words.
struct Pair {
  qint16 first, second;            // the kinds on the entry's first and second side
  const char *onFirst, *onSecond;  // the amount each ledger shows: "100", "-100" or none
  const char* story;
};

constexpr qint16 Q = kEquity, A = kAsset, L = kLiability, I = kIncome, X = kExpense;
const Pair kPairs[] = {
    {A, Q, "100", "100", "opening cash: the cash and the equity both grow"},
    {L, Q, "100", "-100", "opening a debt: the debt grows, the equity shrinks"},
    {I, Q, "100", "-100", "income closed to equity: income grows, equity shrinks"},
    {X, Q, "100", "100", "expense against equity: both grow"},
    {Q, Q, "", "", "equity to equity moves nothing"},
    {Q, A, "", "", "equity on the first side is never counted, nor the asset behind it"},
    {Q, L, "", "-100", "equity first: only the debt side is counted, and shrinks"},
    {Q, I, "", "", "equity first, income second: nothing"},
    {Q, X, "", "", "equity first, expense second: nothing"},
    {A, A, "100", "-100", "cash into the bank: the bank grows, the cash shrinks"},
    {A, L, "100", "100", "cash drawn on the card: cash and debt both grow"},
    {L, A, "-100", "-100", "paying the card from the bank lowers both"},
    {L, L, "100", "-100", "one card paid with another: the new debt grows, the old shrinks"},
    {I, A, "100", "100", "salary into the bank: income and bank both grow"},
    {I, L, "100", "-100", "a refund onto the card: income grows, the debt shrinks"},
    {X, A, "100", "-100", "lunch paid in cash: the expense grows, the cash shrinks"},
    {X, L, "100", "100", "lunch paid by card: the expense and the debt both grow"},
    {A, I, "", "", "an asset first with income second is no entry the dialog makes"},
    {A, X, "", "", "nor an asset first with an expense second"},
    {L, I, "", "", "nor a liability first with income second"},
    {L, X, "", "", "nor a liability first with an expense second"},
    {I, I, "", "", "income to income counts for neither"},
    {I, X, "", "", "income to expense counts for neither"},
    {X, I, "", "", "expense to income counts for neither"},
    {X, X, "", "", "expense to expense counts for neither"},
};

TEST(SignRule, EachPairOfKindsMovesBothAccountsAsABookkeeperExpects) {
  for (const Pair& pair : kPairs) {
    testbooks::Books b;
    b.account(QStringLiteral("first"), pair.first);
    b.account(QStringLiteral("second"), pair.second);
    b.entry(QStringLiteral("2025/01/01"), QStringLiteral("first"), QStringLiteral("second"), 100);
    EXPECT_EQ(ShowLedger(b.store, 1).at(0).amount, QLatin1String(pair.onFirst)) << pair.story;
    EXPECT_EQ(ShowLedger(b.store, 2).at(0).amount, QLatin1String(pair.onSecond)) << pair.story;
  }
  EXPECT_EQ(signRule(kAsset, -1, true), Sign::None);  // the other side names no account
}

TEST_F(Books, LedgersShowSignedAmountsRunningTotalsAndBalancesByDate) {
  entry(QStringLiteral("2025/01/01"), kCash, kEquityName, 1000, QStringLiteral("初值"));
  entry(QStringLiteral("2025/01/05"), kFood, kCash, 1120, QStringLiteral("午餐   "));  // below 0
  entry(QStringLiteral("2025/01/03"), kSalary, kCash, 5000);
  entry(QStringLiteral("2025/01/04"), kCard, kCash, 500);   // paying off the card
  entry(QStringLiteral("2025/01/04"), kFood, kSalary, 70);  // counts for neither
  entry(QStringLiteral("2025/01/06"), kCash, kCash, 30);    // both sides: once each

  const auto cash = ShowLedger(store, slotOf(kCash));
  ASSERT_EQ(cash.size(), 6u);
  EXPECT_EQ(cash[1].date + cash[1].other + u'|' + cash[1].memo + u'|' + cash[1].number,
            QStringLiteral("2025/01/05") + kFood + QStringLiteral("|午餐|2"));
  EXPECT_EQ(amountsAndTotals(kCash), QStringList({"1000| 1000", "!-1120|!-120", "5000| 4880",
                                                  "!-500| 4380", "30| 4410", "!-30| 4380"}));
  EXPECT_EQ(amountsAndTotals(kCard), QStringList({"!-500|!-500"}));
  EXPECT_EQ(amountsAndTotals(kFood), QStringList({"1120| 1120", "| 1120"}));

  // A balance counts the entries up to and including its date, in any order of entry; the
  // one-pass balances of all accounts agree.
  const std::pair<const char*, qint64> byDate[] = {
      {"2024/12/31", 0}, {"2025/01/03", 6000}, {"2025/01/04", 5500}, {"2025/12/31", 4380}};
  for (const auto& [date, balance] : byDate) {
    EXPECT_EQ(allAccountBalances(store, QString::fromLatin1(date)).at(slotOf(kCash) - 1), balance)
        << date;
  }
}

TEST_F(Books, LargeAmountsNeverOverflowTheTotals) {
  const int half = kMaxEntries / 2;
  for (int i = 0; i < half; ++i) entry(QStringLiteral("2025/01/01"), kCash, kEquityName, INT32_MAX);
  for (int i = 0; i < half; ++i) entry(QStringLiteral("2025/01/02"), kFood, kCash, INT32_MIN);

  const qint64 expected = qint64(half) * INT32_MAX - qint64(half) * INT32_MIN;
  EXPECT_EQ(allAccountBalances(store, QStringLiteral("2025/12/31")).at(slotOf(kCash) - 1),
            expected);
  const LedgerRow last = ShowLedger(store, slotOf(kCash)).back();
  EXPECT_EQ(last.amount + last.total, QStringLiteral("2147483648 ") + QString::number(expected));
}

}  // namespace
