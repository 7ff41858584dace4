#include "Books.h"
#include "entries/deletion.h"
#include "entries/entrycommands.h"
#include "platform/numbers.h"

#include <gtest/gtest.h>

namespace {

using numbers::AmountError, numbers::amountErrorText;

// Positions in the pickers of the chart below.
constexpr int kCash = 0, kEquityPos = 1, kFood = 2, kSalary = 3, kCard = 4;

struct EntryCommands : ::testing::Test, testbooks::Books {
  EntryCommands() : Books({"A-現金", "Equity", "E-餐飲費", "I-薪資", "L-信用卡"}) {
    entry("2026/03/01", "A-現金", "Equity", 1000, "初值");
  }
};

TEST_F(EntryCommands, RefusalsComeInTheirOrderAndChangeNothing) {
  const struct {
    bool full;  // the entry table at its limit
    int edit, increase, decrease;
    QString date, amount, memo, text;
  } cases[] = {
      {true, 0, -1, -1, "x", "x", "", entries::kEntryLimitText},
      {false, 0, -1, -1, "x", "x", "", "你不能這樣做"},
      {false, 0, kCash, kCash, "yesterday", "1", "", "你不能這樣做"},
      {false, 0, -1, kCash, "2026/02/30", "x", "", "不是正確的日期格式"},
      {false, 0, -1, kCash, "2026/3/1", "x", "", "請選擇資產增加欄位"},
      {false, 0, kFood, kCash, "2026/3/1", "-0.4", "😀", "請輸入金額"},
      {false, 0, kFood, kCash, "2026/3/1", "1,200", "", amountErrorText(AmountError::NotANumber)},
      {false, 0, kFood, kCash, "2026/3/1", "2147483647.5", "😀",
       amountErrorText(AmountError::OutOfRange)},
      {false, 2, kFood, kCash, "2026/3/1", "1", "生日😀",
       "備註中的「😀」無法存入資料庫，請改用其他字"},
      {false, 2, kFood, kCash, "2026/3/1", "1", "", "這筆資料已經不存在"},
  };
  for (const auto& c : cases) {
    store.tables().entryCount = c.full ? store::kMaxEntries + 1 : 2;
    const auto result = entries::storeEntry(
        store, {c.edit > 0, c.edit, c.increase, c.decrease, c.date, c.amount, c.memo});
    ASSERT_TRUE(std::holds_alternative<Message>(result));
    EXPECT_EQ(std::get<Message>(result).text, c.text) << c.text.toStdString();
    EXPECT_EQ(store.tables().entryCount, c.full ? store::kMaxEntries + 1 : 2);
    EXPECT_EQ(store.tables().entries[2], store::LedgerEntry{});
  }
}

TEST_F(EntryCommands, StoresNormalisedRoundedAndCut) {
  const QString memo = QStringLiteral("x") + QString(30, u'飯');  // 61 bytes in the code page
  const std::pair<QString, qint32> amounts[] = {{" 120.5 ", 120}, {"121.5", 122}, {"-0", 0}};
  for (const auto& [typed, rounded] : amounts) {  // halves go to the even neighbour
    const int slot = std::get<int>(
        entries::storeEntry(store, {false, 0, kFood, kCash, "2003/1/5", typed, memo}));
    EXPECT_EQ(store.tables().entries[slot],
              store::makeEntry("2003/01/05", "E-餐飲費", "A-現金", rounded, memo));
    EXPECT_EQ(store::trimTrailingSpaces(store.tables().entries[slot].Memo),
              memo.left(25));  // 49 of 50 bytes
  }

  // A change keeps its slot and the count; line breaks are stored as the files keep them.
  const entries::EntryInput change = {true, 1, kSalary, kCash, "2026/3/1", "5000", "早餐\n晚餐"};
  ASSERT_EQ(std::get<int>(entries::storeEntry(store, change)), 1);
  EXPECT_EQ(store.tables().entries[1],
            store::makeEntry("2026/03/01", "I-薪資", "A-現金", 5000, "早餐\r\n晚餐"));
  EXPECT_EQ(entries::memoForEditing(store.tables().entries[1].Memo), QStringLiteral("早餐\n晚餐"));
  EXPECT_EQ(store.tables().entryCount, 5);
}

TEST_F(EntryCommands, AppendedRowMatchesTheRebuiltLedger) {
  const std::pair<int, int> cases[] = {{kSalary, kCash}, {kFood, kCard}, {kCash, kEquityPos}};
  for (const auto& [increase, decrease] : cases) {
    const auto before = store::showLedger(store.tables(), decrease + 1);
    const int slot = std::get<int>(
        entries::storeEntry(store, {false, 0, increase, decrease, "2026/3/14", "137", "午餐"}));
    const store::LedgerRow row =
        entries::appendedRow(store, slot, before.empty() ? 0 : before.back().runningTotal);
    const store::LedgerRow rebuilt = store::showLedger(store.tables(), decrease + 1).back();
    EXPECT_EQ(std::tie(row.amount, row.runningTotal, row.other, row.memo),
              std::tie(rebuilt.amount, rebuilt.runningTotal, rebuilt.other, rebuilt.memo));
    EXPECT_EQ(row.total, QString::number(rebuilt.runningTotal));  // no leading blank
  }
}

// A picker's outcome as "refusal > move: labels".
QString outcome(const entries::PickerOutcome& o) {
  return (o.refusal ? o.refusal->text : QString()) + u'>' +
         (o.moveTo ? QString::number(*o.moveTo) : QString()) + u':' +
         (o.labels ? o.labels->first + u' ' + o.labels->second : QString());
}

TEST_F(EntryCommands, PickersNeverRestOnWhatTheyRefuse) {
  const QString noIE = QStringLiteral("這個欄位不能是收入(I)或支出(E)>0:");
  const std::tuple<int, QString, QString> cases[] = {{-1, ">:", ">:"},
                                                     {kCash, ">:轉換到 從帳戶", ">:"},
                                                     {kEquityPos, "這個欄位不能是Equity>-1:", ">:"},
                                                     {kFood, ">:支付給 從帳戶", noIE},
                                                     {kSalary, ">:進帳從 到帳戶", noIE}};
  for (const auto& [position, first, second] : cases) {
    EXPECT_EQ(outcome(entries::increasePicked(store, position)), first) << position;
    EXPECT_EQ(outcome(entries::decreasePicked(store, position)), second) << position;
  }
}

// Rows whose numbers name no entry in use are no ticks (the main window's test deletes the rest).
TEST_F(EntryCommands, TicksOfNoEntryInUseDeleteNothing) {
  EXPECT_EQ(entries::deleteTickedEntries(store, {0, 2, 3001}), refusal("請先勾選要刪除的記錄"));
  EXPECT_EQ(store.tables().entryCount, 2);
}

}  // namespace
