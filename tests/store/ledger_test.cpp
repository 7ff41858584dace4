#include "store/ledger.h"

#include "ScriptedDialogs.h"
#include "store/Module1.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

const QString kCash = QStringLiteral("A-現金"), kEquityName = QStringLiteral("Equity"),
              kFood = QStringLiteral("E-餐飲"), kSalary = QStringLiteral("I-薪資"),
              kCard = QStringLiteral("L-信用卡");

// A chart of the five kinds and entries added in order.
class Books : public ::testing::Test {
 protected:
  ScriptedDialogs dialogs;
  Module1 store{QStringLiteral("/nowhere"), dialogs};

  void SetUp() override {
    for (const auto& [name, kind] : {std::pair{kCash, kAsset},
                                     {kEquityName, kEquity},
                                     {kFood, kExpense},
                                     {kSalary, kIncome},
                                     {kCard, kLiability}}) {
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
      EXPECT_EQ(signRule(kind, other, true), sign(firstSide[kind][other])) << kind << other;
      EXPECT_EQ(signRule(kind, other, false), sign(secondSide[kind][other])) << kind << other;
    }
  }
  EXPECT_EQ(signRule(1, -1, true), Sign::None);  // the other side names no account
}

TEST_F(Books, LedgersShowSignedAmountsRunningTotalsAndBalancesByDate) {
  add(QStringLiteral("2025/01/01"), kCash, kEquityName, 1000, QStringLiteral("初值"));
  add(QStringLiteral("2025/01/05"), kFood, kCash, 1120, QStringLiteral("午餐   "));  // below 0
  add(QStringLiteral("2025/01/03"), kSalary, kCash, 5000);
  add(QStringLiteral("2025/01/04"), kCard, kCash, 500);   // paying off the card
  add(QStringLiteral("2025/01/04"), kFood, kSalary, 70);  // counts for neither
  add(QStringLiteral("2025/01/06"), kCash, kCash, 30);    // both sides: once each

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
    EXPECT_EQ(AccountBalance(store, slotOf(kCash), QString::fromLatin1(date)), balance) << date;
    EXPECT_EQ(allAccountBalances(store, QString::fromLatin1(date)).at(slotOf(kCash) - 1), balance);
  }
}

TEST_F(Books, LargeAmountsNeverOverflowTheTotals) {
  const int half = kMaxEntries / 2;
  for (int i = 0; i < half; ++i) add(QStringLiteral("2025/01/01"), kCash, kEquityName, INT32_MAX);
  for (int i = 0; i < half; ++i) add(QStringLiteral("2025/01/02"), kFood, kCash, INT32_MIN);

  const qint64 expected = qint64(half) * INT32_MAX - qint64(half) * INT32_MIN;
  EXPECT_EQ(AccountBalance(store, slotOf(kCash), QStringLiteral("2025/12/31")), expected);
  const LedgerRow last = ShowLedger(store, slotOf(kCash)).back();
  EXPECT_EQ(last.amount + last.total, QStringLiteral("2147483648 ") + QString::number(expected));
}

}  // namespace
