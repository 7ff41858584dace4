#include "accounts/chart.h"
#include "platform/numbers.h"

#include "Books.h"

#include <gtest/gtest.h>

namespace {

struct Chart : ::testing::Test, testbooks::Books {
  Chart() : Books({"A-現金", "Equity", "E-餐飲費", "A-股票"}) {
    entry("2026/03/01", "A-現金", "Equity", 1000, "初值");
    entry("2026/03/02", "E-餐飲費", "A-現金", 120);
  }
  // The chart as "name:kind" and the entry count: all a refused command must leave alone.
  QString state() const {
    QString out;
    for (int i = 1; i < store.tables().accountCount; ++i)
      out += store::trimTrailingSpaces(store.tables().accounts[i].AccountName) + u':' +
             QString::number(store.tables().accounts[i].AccountKind) + u' ';
    return out + QString::number(store.tables().entryCount);
  }
};

TEST_F(Chart, CreateAddsTheAccountAndAnInitialValueOnlyForAssetsAndLiabilities) {
  const struct {
    QString name;
    int kind;
    QString value, stored;
    std::optional<qint32> initial;
  } cases[] = {{"信用卡", store::kLiability, "0", "L-信用卡", 0},
               {"現金", store::kLiability, "-2.5", "L-現金", -2},  // another prefix, another name
               {"薪資", store::kIncome, "999", "I-薪資", {}},
               {"交通費", store::kExpense, "abc", "E-交通費", {}},
               {"郵局", store::kAsset, "5000元", "A-郵局", 5000},  // the number in front
               {QString(25, u'a'), store::kAsset, "1", "A-" + QString(18, u'a'), 1}};
  for (const auto& c : cases) {
    const int entries = store.tables().entryCount;
    ASSERT_FALSE(accounts::createAccount(store, c.name, c.kind, c.value)) << c.stored.toStdString();
    EXPECT_EQ(store.tables().accounts[store.tables().accountCount - 1],
              store::makeAccount(c.stored, c.kind));
    EXPECT_EQ(store.tables().entryCount, entries + (c.initial ? 1 : 0));
    if (c.initial) {
      EXPECT_EQ(store.tables().entries[entries],
                store::makeEntry("2024/07/15", c.stored, "Equity", *c.initial, "初值"));
    }
  }
}

TEST_F(Chart, RefusalsComeFirstAndChangeNothing) {
  enum Command { Create, Rename, Kind, Delete };
  const struct {
    Command command;
    int number;  // the kind to create, else the slot
    QString typed, value, text;
  } cases[] = {
      {Create, store::kIncome, "   ", "0", "帳戶名稱尚未輸入"},
      {Create, store::kAsset, "現金", "x",
       "已有相同名稱的帳戶"},  // the same once the prefix is added
      {Create, store::kAsset, "零用😀", "x", "帳戶名稱中的「😀」無法存入資料庫，請改用其他字"},
      {Create, store::kLiability, "基金", "-2147483649",
       "初值：" + numbers::amountErrorText(numbers::AmountError::OutOfRange)},
      {Rename, 4, "   ", "", "帳戶名稱不能只有空白"},
      {Create, store::kAsset, "基金", "1,000",
       "初值「1,000」會被讀成 1，請不要加千分位符號，直接輸入數字"},
      {Kind, 4, "4.6", "", "類別必須是1到4的數字：1資產、2負債、3收入、4支出"},
      {Kind, 4, "二", "", "類別必須是1到4的數字：1資產、2負債、3收入、4支出"},
      {Delete, 2, "", "", "Equity帳戶不能刪除"},
      {Delete, 1, "", "", "現金帳戶不能刪除"},
      {Delete, 3, "", "", "這個帳戶正在使用中，無法刪除"},
  };
  const QString before = state();
  for (const auto& c : cases) {
    const auto refused = c.command == Create
                             ? accounts::createAccount(store, c.typed, c.number, c.value)
                         : c.command == Rename ? accounts::renameAccount(store, c.number, c.typed)
                         : c.command == Kind   ? accounts::changeKind(store, c.number, c.typed)
                                               : accounts::deleteAccount(store, c.number);
    ASSERT_TRUE(refused) << c.text.toStdString();
    EXPECT_EQ(refused->text, c.text);
    EXPECT_EQ(state(), before);
  }
  // The limits come before the name; a full entry table stops an asset but not an income.
  store.tables().accountCount = store::kMaxAccounts + 1;
  EXPECT_EQ(accounts::createAccount(store, "", store::kAsset, "x")->text,
            QStringLiteral("帳戶數量已經到達100項上限，無法新增"));
  store.tables().accountCount = 5;
  store.tables().entryCount = store::kMaxEntries + 1;
  EXPECT_TRUE(accounts::createAccount(store, QStringLiteral("基金"), store::kAsset, "0"));
  EXPECT_FALSE(accounts::createAccount(store, QStringLiteral("獎金"), store::kIncome, "0"));
  EXPECT_EQ(store.tables().accountCount, 6);
}

TEST_F(Chart, RenameAndKindChangeCarryTheEntriesAlong) {
  entry("2026/03/03", "A-現金", "E-餐飲費", 5, "退款");
  for (const char* answer : {"", "E-伙食費", "E-伙食費"})  // empty (cancel) and the same: no change
    ASSERT_FALSE(accounts::renameAccount(store, 3, QString::fromUtf8(answer)));
  // The kind is read as a number and rounded, halves to even.
  for (const auto& [answer, kind] :
       {std::pair{"", 1}, {"2.0", 2}, {" 3 ", 3}, {"02", 2}, {"3.5", 4}, {"2.5", 2}}) {
    ASSERT_FALSE(accounts::changeKind(store, 4, QString::fromUtf8(answer)));
    EXPECT_EQ(store.tables().accounts[4].AccountKind, kind) << answer;
  }
  EXPECT_EQ(state(), QStringLiteral("A-現金:1 Equity:0 E-伙食費:4 A-股票:2 4"));
  EXPECT_EQ(store.tables().entries[2],
            store::makeEntry("2026/03/02", "E-伙食費", "A-現金", 120, ""));
  EXPECT_EQ(store.tables().entries[3],
            store::makeEntry("2026/03/03", "A-現金", "E-伙食費", 5, "退款"));
  ASSERT_FALSE(accounts::deleteAccount(store, 4));  // the later accounts move up
  EXPECT_EQ(state(), QStringLiteral("A-現金:1 Equity:0 E-伙食費:4 4"));
}

}  // namespace
