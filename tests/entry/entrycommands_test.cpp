#include "store/entrycommands.h"
#include "platform/numbers.h"
#include "store/Module1.h"

#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

// Positions in the pickers of the chart below.
constexpr int kCash = 0, kEquityPos = 1, kFood = 2, kSalary = 3, kCard = 4;

class EntryCommands : public ::testing::Test {
 protected:
  EntryCommands() : store(QStringLiteral("/tmp/none"), dialogs) {
    store.clock().setToday(QDate(2026, 3, 14));
    store.AccountTable[1] = makeAccount(QStringLiteral("A-現金"), kAsset);
    store.AccountTable[2] = makeAccount(QStringLiteral("Equity"), kEquity);
    store.AccountTable[3] = makeAccount(QStringLiteral("E-餐飲費"), kExpense);
    store.AccountTable[4] = makeAccount(QStringLiteral("I-薪資"), kIncome);
    store.AccountTable[5] = makeAccount(QStringLiteral("L-信用卡"), kLiability);
    store.AccountCount = 6;
    store.EntryTable[1] = makeEntry(QStringLiteral("2026/03/01"), QStringLiteral("A-現金"),
                                    QStringLiteral("Equity"), 1000, QStringLiteral("初值"));
    store.EntryCount = 2;
  }

  // A valid expense of 120 for food paid in cash.
  static EntryInput lunch() {
    EntryInput in;
    in.increasePosition = kFood;
    in.decreasePosition = kCash;
    in.date = QStringLiteral("2026/03/14");
    in.amount = QStringLiteral("120");
    in.memo = QStringLiteral("午餐");
    return in;
  }

  QString refusalOf(const EntryInput& in) {
    const auto result = storeEntry(store, in);
    if (const auto* m = std::get_if<Message>(&result)) {
      EXPECT_EQ(m->title, QStringLiteral("注意"));
      EXPECT_EQ(m->icon, MessageIcon::Exclamation);
      return m->text;
    }
    return QStringLiteral("(stored)");
  }

  ScriptedDialogs dialogs;
  Module1 store;
};

TEST_F(EntryCommands, RefusalsComeInTheirOrderAndChangeNothing) {
  struct Case {
    const char* what;
    void (*spoil)(EntryInput&, Module1&);
    QString text;
  };
  const QString notNumber = numbers::amountErrorText(numbers::AmountError::NotANumber);
  const QString outOfRange = numbers::amountErrorText(numbers::AmountError::OutOfRange);
  const std::vector<Case> cases = {
      {"full table, even with everything else wrong",
       [](EntryInput& in, Module1& s) {
         s.EntryCount = kMaxEntries + 1;
         in.increasePosition = in.decreasePosition = -1;
       },
       kEntryLimitText},
      {"both pickers empty",
       [](EntryInput& in, Module1&) { in.increasePosition = in.decreasePosition = -1; },
       QStringLiteral("你不能這樣做")},
      {"same account, bad date too",
       [](EntryInput& in, Module1&) {
         in.increasePosition = kCash;
         in.date = QStringLiteral("yesterday");
       },
       QStringLiteral("你不能這樣做")},
      {"bad date before missing category",
       [](EntryInput& in, Module1&) {
         in.increasePosition = -1;
         in.date = QStringLiteral("2026/02/30");
       },
       QStringLiteral("不是正確的日期格式")},
      {"no category", [](EntryInput& in, Module1&) { in.increasePosition = -1; },
       QStringLiteral("請選擇資產增加欄位")},
      {"empty amount", [](EntryInput& in, Module1&) { in.amount.clear(); },
       QStringLiteral("請輸入金額")},
      {"negative amount", [](EntryInput& in, Module1&) { in.amount = QStringLiteral("-5"); },
       QStringLiteral("請輸入金額")},
      {"negative below one", [](EntryInput& in, Module1&) { in.amount = QStringLiteral("-0.4"); },
       QStringLiteral("請輸入金額")},
      {"letters", [](EntryInput& in, Module1&) { in.amount = QStringLiteral("12a"); }, notNumber},
      {"digit groups", [](EntryInput& in, Module1&) { in.amount = QStringLiteral("1,200"); },
       notNumber},
      {"exponent", [](EntryInput& in, Module1&) { in.amount = QStringLiteral("1e3"); }, notNumber},
      {"beyond 32 bits", [](EntryInput& in, Module1&) { in.amount = QStringLiteral("2147483648"); },
       outOfRange},
      {"rounds beyond 32 bits",
       [](EntryInput& in, Module1&) { in.amount = QStringLiteral("2147483647.5"); }, outOfRange},
      {"memo the code page cannot hold",
       [](EntryInput& in, Module1&) { in.memo = QStringLiteral("生日😀"); },
       QStringLiteral("備註中的「😀」無法存入資料庫，請改用其他字")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int countBefore = store.EntryCount;
    EntryInput in = lunch();
    c.spoil(in, store);
    const int spoiledCount = store.EntryCount;
    const LedgerEntry next = store.EntryTable[2];
    EXPECT_EQ(refusalOf(in), c.text);
    EXPECT_EQ(store.EntryCount, spoiledCount);
    EXPECT_EQ(store.EntryTable[2], next);
    EXPECT_TRUE(store.panel(Module1::EntriesPanel).isEmpty());
    store.EntryCount = countBefore;
  }
}

TEST_F(EntryCommands, NewEntryIsAppendedNormalisedAndCounted) {
  EntryInput in = lunch();
  in.date = QStringLiteral("2003/1/5");
  in.amount = QStringLiteral(" 120.5 ");  // halves go to the even neighbour
  in.memo = QString(60, u'x');
  const auto result = storeEntry(store, in);
  ASSERT_EQ(std::get<int>(result), 2);
  EXPECT_EQ(store.EntryCount, 3);
  EXPECT_EQ(store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：2"));
  const LedgerEntry& e = store.EntryTable[2];
  EXPECT_EQ(e.EntryDate, QStringLiteral("2003/01/05"));
  EXPECT_EQ(e.IncreaseAccount, QStringLiteral("E-餐飲費") + QString(15, u' '));
  EXPECT_EQ(e.DecreaseAccount, QStringLiteral("A-現金") + QString(16, u' '));
  EXPECT_EQ(e.Amount, 120);
  EXPECT_EQ(e.Memo, QString(50, u'x'));

  // The same OK again stores a second, identical entry; 121.5 rounds up to 122; 0 is an amount.
  for (const auto& [typed, expected] : std::vector<std::pair<QString, qint32>>{
           {"120.5", 120}, {"121.5", 122}, {"0", 0}, {"-0", 0}}) {
    in.amount = typed;
    const int slot = std::get<int>(storeEntry(store, in));
    EXPECT_EQ(store.EntryTable[slot].Amount, expected) << typed.toStdString();
  }
  EXPECT_EQ(store.EntryCount, 7);
}

TEST_F(EntryCommands, MemoLineBreaksAreStoredAsTheFilesKeepThem) {
  EntryInput in = lunch();
  in.memo = QStringLiteral("早餐\n晚餐");
  storeEntry(store, in);
  EXPECT_TRUE(store.EntryTable[2].Memo.startsWith(QStringLiteral("早餐\r\n晚餐 ")));
  EXPECT_EQ(memoForEditing(store.EntryTable[2].Memo), QStringLiteral("早餐\n晚餐"));
}

TEST_F(EntryCommands, ChangeKeepsTheSlotAndTheCount) {
  EntryInput in = lunch();
  in.editMode = true;
  in.editIndex = 1;
  in.increasePosition = kSalary;
  in.amount = QStringLiteral("5000");
  ASSERT_EQ(std::get<int>(storeEntry(store, in)), 1);
  EXPECT_EQ(store.EntryCount, 2);
  EXPECT_EQ(store.EntryTable[1].IncreaseAccount.trimmed(), QStringLiteral("I-薪資"));
  EXPECT_EQ(store.EntryTable[1].Amount, 5000);

  // A stale slot (the entry has gone since) is refused, not written past the entries.
  in.editIndex = 2;
  EXPECT_EQ(refusalOf(in), QStringLiteral("這筆資料已經不存在"));
  EXPECT_EQ(store.EntryTable[2], LedgerEntry{});
}

TEST_F(EntryCommands, AppendedRowMatchesTheRebuiltLedger) {
  struct Case {
    int increase, decrease;
    qint32 amount;
  };
  // Expense from cash, income into cash, transfer cash -> card, expense on the card, equity.
  const std::vector<Case> cases = {
      {kFood, kCash, 120}, {kSalary, kCash, 5000}, {kCard, kCash, 500},    {kFood, kCard, 300},
      {kCash, kCard, 200}, {kSalary, kCard, 70},   {kCash, kEquityPos, 9}, {kFood, kEquityPos, 4}};
  for (const Case& c : cases) {
    EntryInput in = lunch();
    in.increasePosition = c.increase;
    in.decreasePosition = c.decrease;
    in.amount = QString::number(c.amount);
    const int shownSlot = c.decrease + 1;
    const auto before = ShowLedger(store, shownSlot);
    const qint64 previous = before.empty() ? 0 : before.back().runningTotal;
    const int slot = std::get<int>(storeEntry(store, in));
    const LedgerRow row = appendedRow(store, slot, previous);
    const LedgerRow rebuilt = ShowLedger(store, shownSlot).back();
    SCOPED_TRACE(store.EntryTable[slot].IncreaseAccount.toStdString() + " from " +
                 store.EntryTable[slot].DecreaseAccount.toStdString());
    EXPECT_EQ(row.amount, rebuilt.amount);
    EXPECT_EQ(row.runningTotal, rebuilt.runningTotal);
    EXPECT_EQ(row.total, QString::number(rebuilt.runningTotal));  // no leading blank
    EXPECT_FALSE(row.amountRed || row.totalRed);
    EXPECT_EQ(row.other, rebuilt.other);
    EXPECT_EQ(row.number, QString::number(slot));
    EXPECT_EQ(row.memo, QStringLiteral("午餐"));
  }
  // The cash ledger: 1000, -120, +5000, -500, then 200 moved from the card to cash.
  EXPECT_EQ(ShowLedger(store, 1).back().runningTotal, 1000 - 120 + 5000 - 500 + 200 + 9);
}

TEST_F(EntryCommands, PickersNeverRestOnWhatTheyRefuse) {
  // First picker: Equity goes back to no choice; other kinds set the labels.
  PickerOutcome equity = increasePicked(store, kEquityPos);
  ASSERT_TRUE(equity.refusal);
  EXPECT_EQ(equity.refusal->text, QStringLiteral("這個欄位不能是Equity"));
  EXPECT_EQ(equity.moveTo, -1);
  EXPECT_FALSE(equity.labels);
  EXPECT_FALSE(increasePicked(store, -1).refusal);  // no choice asks nothing again

  using Labels = std::pair<QString, QString>;
  EXPECT_EQ(increasePicked(store, kCash).labels, (Labels{"轉換到", "從帳戶"}));
  EXPECT_EQ(increasePicked(store, kCard).labels, (Labels{"轉換到", "從帳戶"}));
  EXPECT_EQ(increasePicked(store, kSalary).labels, (Labels{"進帳從", "到帳戶"}));
  EXPECT_EQ(increasePicked(store, kFood).labels, (Labels{"支付給", "從帳戶"}));

  // Second picker: income and expense are refused and it moves to the first paying account.
  for (int refused : {kFood, kSalary}) {
    PickerOutcome o = decreasePicked(store, refused);
    ASSERT_TRUE(o.refusal);
    EXPECT_EQ(o.refusal->text, QStringLiteral("這個欄位不能是收入(I)或支出(E)"));
    EXPECT_EQ(o.moveTo, kCash);
  }
  for (int accepted : {kCash, kEquityPos, kCard}) {
    EXPECT_FALSE(decreasePicked(store, accepted).refusal);
    EXPECT_FALSE(decreasePicked(store, accepted).moveTo);
  }

  // A chart that starts with an expense account: the move goes past it, and where it goes is
  // accepted, so nothing repeats.
  SwapValues(store.AccountTable[1], store.AccountTable[3]);  // E-餐飲費 first, A-現金 third
  const PickerOutcome o = decreasePicked(store, 0);
  ASSERT_TRUE(o.refusal);
  ASSERT_EQ(o.moveTo, 1);  // Equity
  EXPECT_FALSE(decreasePicked(store, *o.moveTo).refusal);
}

}  // namespace
