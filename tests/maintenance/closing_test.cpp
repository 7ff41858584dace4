#include "maintenance/closing.h"

#include "books.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using testbooks::Books;
using testbooks::FakeLedgerView;
using testbooks::Household;

const QString kD = QStringLiteral("2024/06/30");

// Half a year of a household: cash from the bank, an overdrawn bank, a card with a debt, and
// one entry dated exactly D and one after it.
struct HalfYear : Household {
  HalfYear() {
    entry("2024/01/01", "A-現金", "Equity", 10000, "初值");
    entry("2024/01/01", "A-銀行", "Equity", 50000, "初值");
    entry("2024/02/10", "E-餐飲", "A-現金", 1200);
    entry("2024/03/05", "I-薪水", "A-銀行", 40000);
    entry("2024/03/20", "E-餐飲", "L-信用卡", 3000);
    entry("2024/04/01", "L-信用卡", "A-銀行", 2000);
    entry("2024/05/15", "A-現金", "A-銀行", 95000);
    entry("2024/06/30", "E-餐飲", "A-現金", 500, "dated D");
    entry("2024/08/01", "E-餐飲", "A-現金", 700, "after D");
  }
};

LedgerEntry carried(const QString& date, const QString& account, qint32 amount) {
  return makeEntry(date, account, QStringLiteral("Equity"), amount, QStringLiteral("初值"));
}

// The balances of the assets and liabilities (slots 2, 3, 5, 7) and of income and expenses.
std::vector<qint64> balanceSheet(const Books& b, const QString& date) {
  const auto all = allAccountBalances(b.store, date);
  return {all[1], all[2], all[4], all[6]};
}
std::vector<qint64> incomeAndExpenses(const Books& b, const QString& date) {
  const auto all = allAccountBalances(b.store, date);
  return {all[3], all[5]};
}

TEST(Closing, AfterEveryEntryLeavesOnlyTheBalanceSheet) {
  HalfYear b;
  const QString d = QStringLiteral("2024/12/31");
  const auto sheet = balanceSheet(b, d);
  ASSERT_EQ(sheet, (std::vector<qint64>{102600, 1000, -7000, 0}));

  ASSERT_EQ(closeBooksAt(b.store, d), std::nullopt);

  // One carried entry per asset and liability in slot order, the empty safe included.
  EXPECT_EQ(b.entries(),
            (std::vector<LedgerEntry>{carried(d, "A-現金", 102600), carried(d, "L-信用卡", 1000),
                                      carried(d, "A-銀行", -7000), carried(d, "A-保險箱", 0)}));
  EXPECT_EQ(b.store.EntryCount, 5);
  EXPECT_EQ(balanceSheet(b, d), sheet);
  EXPECT_EQ(balanceSheet(b, "2025/01/01"), sheet);
  EXPECT_EQ(incomeAndExpenses(b, d), (std::vector<qint64>{0, 0}));
  // Before D nothing is left.
  EXPECT_EQ(balanceSheet(b, "2024/12/30"), (std::vector<qint64>{0, 0, 0, 0}));
}

TEST(Closing, MidYearKeepsLaterEntriesFirstAndCarriesTheEntryDatedD) {
  HalfYear b;
  const auto sheetAtD = balanceSheet(b, kD);
  const auto sheetLater = balanceSheet(b, "2024/12/31");
  // The liability holds what is owed, the overdrawn bank a negative amount; the entry dated D
  // (500 paid in cash) is inside the cash balance.
  ASSERT_EQ(sheetAtD, (std::vector<qint64>{103300, 1000, -7000, 0}));

  ASSERT_EQ(closeBooksAt(b.store, kD), std::nullopt);

  const auto after = b.entries();
  ASSERT_EQ(after.size(), 5u);
  EXPECT_EQ(after[0].EntryDate, "2024/08/01");
  EXPECT_EQ(TrimTrailingSpaces(after[0].Memo), "after D");
  EXPECT_EQ(after[1], carried(kD, "A-現金", 103300));
  EXPECT_EQ(after[2], carried(kD, "L-信用卡", 1000));
  EXPECT_EQ(after[3], carried(kD, "A-銀行", -7000));
  EXPECT_EQ(after[4], carried(kD, "A-保險箱", 0));
  EXPECT_EQ(balanceSheet(b, kD), sheetAtD);
  EXPECT_EQ(balanceSheet(b, "2024/12/31"), sheetLater);
  EXPECT_EQ(incomeAndExpenses(b, kD), (std::vector<qint64>{0, 0}));
  EXPECT_EQ(incomeAndExpenses(b, "2024/12/31"), (std::vector<qint64>{0, 700}));
}

TEST(Closing, BeforeEveryEntryRemovesNothingAndCarriesZeros) {
  HalfYear b;
  const auto before = b.entries();
  const QString d = QStringLiteral("2023/12/31");
  ASSERT_EQ(closeBooksAt(b.store, d), std::nullopt);
  auto expected = before;
  for (const char* name : {"A-現金", "L-信用卡", "A-銀行", "A-保險箱"}) {
    expected.push_back(carried(d, name, 0));
  }
  EXPECT_EQ(b.entries(), expected);
}

TEST(Closing, TwiceAtTheSameDateReplacesTheCarriedEntries) {
  HalfYear b;
  ASSERT_EQ(closeBooksAt(b.store, kD), std::nullopt);
  const auto once = b.entries();
  ASSERT_EQ(closeBooksAt(b.store, kD), std::nullopt);
  EXPECT_EQ(b.entries(), once);
}

// The carried entries need room only beside the entries that stay: a table full of old
// entries can be closed, one full of later entries cannot.
TEST(Closing, RefusesWhenTheEntriesThatStayAndTheCarriedOnesDoNotFit) {
  struct Case {
    int before, after;
    bool closes;
  };
  for (const Case c : {Case{0, 2999, false}, Case{2, 2998, true}, Case{1, 2999, false},
                       Case{3000, 0, true}, Case{0, 2998, true}}) {
    Books b;
    b.account("Equity", kEquity);
    b.account("A-現金", kAsset);
    b.account("L-貸款", kLiability);
    for (int i = 0; i < c.before; ++i) b.entry("2024/01/02", "A-現金", "Equity", 1);
    for (int i = 0; i < c.after; ++i) b.entry("2024/09/01", "L-貸款", "Equity", 2);
    const auto before = b.entries();

    const auto refused = closeBooksAt(b.store, kD);
    SCOPED_TRACE(testing::Message() << c.before << " before, " << c.after << " after");
    if (c.closes) {
      EXPECT_EQ(refused, std::nullopt);
      EXPECT_EQ(b.store.EntryCount, c.after + 3);
      EXPECT_EQ(b.entries().back(), carried(kD, "L-貸款", 0));
      EXPECT_EQ(b.balance("A-現金", kD), c.before);
    } else {
      ASSERT_TRUE(refused.has_value());
      EXPECT_EQ(refused->title, "注意");
      EXPECT_TRUE(refused->text.contains("3000")) << refused->text.toStdString();
      EXPECT_EQ(b.entries(), before);
    }
  }
}

// A carried balance is a 32-bit amount like any other; a balance beyond it is refused rather
// than wrapped into a wrong sign.
TEST(Closing, RefusesABalanceAnAmountCannotHold) {
  constexpr qint32 kMax = std::numeric_limits<qint32>::max();
  struct Case {
    const char* increase;
    const char* decrease;
    bool closes;
  };
  for (const Case c : {Case{"I-獎金", "A-現金", false},    // cash above the range
                       Case{"E-餐飲", "A-現金", false},    // cash below it
                       Case{"E-餐飲", "L-信用卡", false},  // a debt above it
                       Case{"E-餐飲", "I-獎金", true}}) {  // counts for no asset: not carried
    Books b;
    b.account("Equity", kEquity);
    b.account("A-現金", kAsset);
    b.account("L-信用卡", kLiability);
    b.account("I-獎金", kIncome);
    b.account("E-餐飲", kExpense);
    b.entry("2024/01/01", c.increase, c.decrease, kMax);
    b.entry("2024/01/02", c.increase, c.decrease, kMax);
    b.entry("2024/08/01", "A-現金", "Equity", 5);
    const auto before = b.entries();

    const auto refused = closeBooksAt(b.store, kD);
    SCOPED_TRACE(std::string(c.increase) + " / " + c.decrease);
    if (c.closes) {
      EXPECT_EQ(refused, std::nullopt);
      EXPECT_EQ(b.store.EntryCount, 4);
    } else {
      ASSERT_TRUE(refused.has_value());
      EXPECT_EQ(refused->title, "注意");
      EXPECT_TRUE(refused->text.contains("4294967294")) << refused->text.toStdString();
      EXPECT_EQ(b.entries(), before);
    }
  }
}

// The command as the main window's button runs it: the date question, then either nothing,
// a refusal, or the closing with its count, message and redrawn ledger.
TEST(Closing, CommandAsksForTheDateAndReports) {
  struct Case {
    const char* answer;  // nullptr: the box is cancelled
    const char* message;
    bool closes;
  };
  for (const Case c :
       {Case{nullptr, nullptr, false}, Case{"", nullptr, false},
        Case{"abc", "不是正確的日期格式", false}, Case{"2024-6-30", "資料結帳完成", true}}) {
    HalfYear b;
    FakeLedgerView view;
    b.store.showEntryCount();
    const auto before = b.entries();
    if (c.answer) {
      b.dialogs.type(c.answer);
    } else {
      b.dialogs.cancelInput();
    }

    CloseTheBooks(b.store, view);

    SCOPED_TRACE(c.answer ? c.answer : "cancelled");
    const auto& shown = b.dialogs.shown();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0].kind, ScriptedDialogs::Shown::InputBox);
    EXPECT_EQ(shown[0].prompt, "請輸入日期，將清除這日期之前的記錄");
    EXPECT_EQ(shown[0].title, "輸入");
    EXPECT_EQ(shown[0].defaultText, "2024/07/15");
    EXPECT_TRUE(b.dialogs.unscripted().isEmpty());
    if (!c.message) {
      EXPECT_EQ(shown.size(), 1u);
    } else if (c.closes) {
      EXPECT_EQ(b.dialogs.messages(), std::vector<Message>{done(c.message)});
    } else {
      EXPECT_EQ(b.dialogs.messages(), std::vector<Message>{refusal(c.message)});
    }
    if (c.closes) {
      EXPECT_EQ(b.store.panel(Module1::EntriesPanel), "資料筆數：5");
      EXPECT_EQ(b.entries().back().EntryDate, kD);  // the typed date as the program writes it
      EXPECT_EQ(view.redraws, std::vector<bool>{false});
    } else {
      EXPECT_EQ(b.entries(), before);
      EXPECT_EQ(b.store.panel(Module1::EntriesPanel), "資料筆數：9");
      EXPECT_TRUE(view.redraws.empty());
    }
  }
}

}  // namespace
