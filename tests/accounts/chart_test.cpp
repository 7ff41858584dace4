#include "store/chart.h"
#include "platform/numbers.h"
#include "store/Module1.h"
#include "store/ledger.h"

#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

class Chart : public ::testing::Test {
 protected:
  Chart() : store(QStringLiteral("/tmp/none"), dialogs) {
    store.clock().setToday(QDate(2026, 3, 14));
    store.AccountTable[1] = makeAccount(kCashName, kAsset);
    store.AccountTable[2] = makeAccount(kEquityName, kEquity);
    store.AccountTable[3] = makeAccount(QStringLiteral("E-餐飲費"), kExpense);
    store.AccountCount = 4;
    store.EntryTable[1] = makeEntry(QStringLiteral("2026/03/01"), kCashName, kEquityName, 1000,
                                    QStringLiteral("初值"));
    store.EntryTable[2] = makeEntry(QStringLiteral("2026/03/02"), QStringLiteral("E-餐飲費"),
                                    kCashName, 120, QString());
    store.EntryCount = 3;
  }

  QStringList names() const {
    QStringList out;
    for (const QString& n : accountListNames(store)) out.append(TrimTrailingSpaces(n));
    return out;
  }

  // The whole state a refused command must leave alone.
  struct Snapshot {
    QStringList names;
    std::vector<qint16> kinds;
    std::vector<LedgerEntry> entries;
    int accountCount, entryCount;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot snapshot() const {
    Snapshot s{names(), {}, {}, store.AccountCount, store.EntryCount};
    for (int i = 1; i < store.AccountCount; ++i)
      s.kinds.push_back(store.AccountTable[i].AccountKind);
    for (int i = 1; i < store.EntryCount; ++i) s.entries.push_back(store.EntryTable[i]);
    return s;
  }

  ScriptedDialogs dialogs;
  Module1 store;
};

TEST_F(Chart, CreateAssetRecordsItsInitialValueEvenWhenZero) {
  ASSERT_FALSE(createAccount(store, QStringLiteral("銀行存款"), kAsset, QStringLiteral("5000")));
  ASSERT_FALSE(createAccount(store, QStringLiteral("信用卡"), kLiability, QStringLiteral("0")));
  EXPECT_EQ(names(), (QStringList{"A-現金", "Equity", "E-餐飲費", "A-銀行存款", "L-信用卡"}));
  EXPECT_EQ(store.AccountTable[4].AccountKind, kAsset);
  EXPECT_EQ(store.AccountTable[5].AccountKind, kLiability);
  EXPECT_EQ(store.EntryCount, 5);
  EXPECT_EQ(store.EntryTable[3], makeEntry("2026/03/14", "A-銀行存款", "Equity", 5000, "初值"));
  EXPECT_EQ(store.EntryTable[4], makeEntry("2026/03/14", "L-信用卡", "Equity", 0, "初值"));
  EXPECT_EQ(store.panel(Module1::AccountsPanel), QStringLiteral("帳戶數量：5"));
  EXPECT_EQ(store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：4"));

  // So the new card is in use at once.
  EXPECT_EQ(deleteAccount(store, 5)->text, QStringLiteral("這個帳戶正在使用中，無法刪除"));
}

TEST_F(Chart, InitialValuesRoundAndKeepTheirSign) {
  const std::vector<std::pair<QString, qint32>> cases = {{"2.5", 2}, {"-700", -700}, {"", 0}};
  int n = 0;
  for (const auto& [typed, expected] : cases) {
    ASSERT_FALSE(createAccount(store, QStringLiteral("股票%1").arg(++n), kAsset, typed));
    EXPECT_EQ(store.EntryTable[store.EntryCount - 1].Amount, expected) << typed.toStdString();
  }
}

TEST_F(Chart, IncomeAndExpenseGetNoEntryWhateverTheHiddenBoxHolds) {
  ASSERT_FALSE(createAccount(store, QStringLiteral("薪資"), kIncome, QStringLiteral("999")));
  ASSERT_FALSE(createAccount(store, QStringLiteral("交通費"), kExpense, QStringLiteral("abc")));
  EXPECT_EQ(names().mid(3), (QStringList{"I-薪資", "E-交通費"}));
  EXPECT_EQ(store.EntryCount, 3);
  EXPECT_EQ(store.AccountTable[4].AccountKind, kIncome);
}

TEST_F(Chart, LongNamesAreCutToTheField) {
  ASSERT_FALSE(createAccount(store, QString(25, u'a'), kAsset, "0"));
  EXPECT_EQ(store.AccountTable[4].AccountName, QStringLiteral("A-") + QString(18, u'a'));
}

TEST_F(Chart, CreateRefusalsInOrderChangeNothing) {
  struct Case {
    const char* what;
    QString name;
    int kind;
    QString value;
    QString text;
  };
  const std::vector<Case> cases = {
      {"empty name", "", kAsset, "0", "帳戶名稱尚未輸入"},
      {"blanks only", "   ", kIncome, "0", "帳戶名稱尚未輸入"},
      {"Equity as typed", "Equity", kAsset, "0", "已有相同名稱的帳戶"},
      {"full name as typed", "A-現金", kAsset, "0", "已有相同名稱的帳戶"},
      {"same name once the prefix is added", "現金", kAsset, "0", "已有相同名稱的帳戶"},
      {"an expense of that name", "餐飲費", kExpense, "0", "已有相同名稱的帳戶"},
      {"code page cannot hold it", "零用😀", kAsset, "0",
       "帳戶名稱中的「😀」無法存入資料庫，請改用其他字"},
      {"initial value no number", "股票", kAsset, "1,000",
       "初值：" + numbers::amountErrorText(numbers::AmountError::NotANumber)},
      {"initial value beyond 32 bits", "股票", kLiability, "-2147483649",
       "初值：" + numbers::amountErrorText(numbers::AmountError::OutOfRange)},
  };
  const Snapshot before = snapshot();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto refused = createAccount(store, c.name, c.kind, c.value);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->text, c.text);
    EXPECT_EQ(refused->title, QStringLiteral("注意"));
    EXPECT_EQ(snapshot(), before);
  }
  // Typed with another prefix the name is a different account.
  EXPECT_FALSE(createAccount(store, QStringLiteral("現金"), kLiability, "0"));
}

TEST_F(Chart, LimitsAreCheckedBeforeAnythingChanges) {
  store.AccountCount = kMaxAccounts + 1;
  EXPECT_EQ(createAccount(store, "", kAsset, "x")->text,
            QStringLiteral("帳戶數量已經到達100項上限，無法新增"));
  EXPECT_EQ(store.AccountCount, kMaxAccounts + 1);

  // A full entry table: an asset could not record its initial value, so it is not created;
  // an income account needs no entry and is.
  store.AccountCount = 4;
  store.EntryCount = kMaxEntries + 1;
  const auto refused = createAccount(store, QStringLiteral("股票"), kAsset, "0");
  ASSERT_TRUE(refused);
  EXPECT_TRUE(refused->text.contains(QStringLiteral("3000")));
  EXPECT_EQ(store.AccountCount, 4);
  EXPECT_EQ(store.EntryCount, kMaxEntries + 1);
  EXPECT_FALSE(createAccount(store, QStringLiteral("獎金"), kIncome, "0"));
  EXPECT_EQ(store.AccountCount, 5);
}

TEST_F(Chart, RenameCarriesEveryEntryAlong) {
  store.EntryTable[3] = makeEntry("2026/03/03", "A-現金", "E-餐飲費", 5, "退款");
  store.EntryCount = 4;
  ASSERT_FALSE(checkEditable(store, 3));
  ASSERT_FALSE(renameAccount(store, 3, QStringLiteral("E-伙食費")));
  EXPECT_EQ(names(), (QStringList{"A-現金", "Equity", "E-伙食費"}));
  EXPECT_EQ(store.EntryTable[2].IncreaseAccount, nameField("E-伙食費"));
  EXPECT_EQ(store.EntryTable[3].DecreaseAccount, nameField("E-伙食費"));
  EXPECT_EQ(store.EntryTable[1].IncreaseAccount, nameField("A-現金"));
  EXPECT_EQ(ShowLedger(store, 3).size(), 2u);

  // An empty answer (also cancel) leaves the name; the same name again is no change.
  EXPECT_FALSE(renameAccount(store, 3, QString()));
  EXPECT_FALSE(renameAccount(store, 3, QStringLiteral("E-伙食費")));
  EXPECT_EQ(names()[2], QStringLiteral("E-伙食費"));
}

TEST_F(Chart, RenameAndKindRefusalsChangeNothing) {
  ASSERT_FALSE(createAccount(store, QStringLiteral("股票"), kAsset, "0"));
  const Snapshot before = snapshot();
  struct Case {
    const char* what;
    std::optional<Message> (*command)(Module1&, int, const QString&);
    int slot;
    QString answer, text;
  };
  const QString kindText = QStringLiteral("類別必須是1到4的整數：1資產、2負債、3收入、4支出");
  const std::vector<Case> cases = {
      {"Equity", renameAccount, 2, "X", "Equity帳戶不能編輯"},
      {"cash", renameAccount, 1, "X", "現金帳戶不能編輯"},
      {"cash kind", changeKind, 1, "2", "現金帳戶不能編輯"},
      {"another's name", renameAccount, 4, "E-餐飲費", "已有相同名稱的帳戶"},
      {"Equity's name", renameAccount, 4, "Equity", "已有相同名稱的帳戶"},
      {"blanks only", renameAccount, 4, "   ", "帳戶名稱不能只有空白"},
      {"code page", renameAccount, 4, "A-股票😀", "帳戶名稱中的「😀」無法存入資料庫，請改用其他字"},
      {"kind 0", changeKind, 4, "0", kindText},
      {"kind 5", changeKind, 4, "5", kindText},
      {"kind fraction", changeKind, 4, "2.5", kindText},
      {"kind word", changeKind, 4, "two", kindText},
      {"kind beyond 16 bits", changeKind, 4, "70000", kindText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto refused = c.command(store, c.slot, c.answer);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->text, c.text);
    EXPECT_EQ(snapshot(), before);
  }
  EXPECT_EQ(checkEditable(store, 2)->text, QStringLiteral("Equity帳戶不能編輯"));
  EXPECT_EQ(checkEditable(store, 1)->text, QStringLiteral("現金帳戶不能編輯"));
}

TEST_F(Chart, KindChangesKeepThePrefix) {
  ASSERT_FALSE(createAccount(store, QStringLiteral("股票"), kAsset, "0"));
  EXPECT_FALSE(changeKind(store, 4, QString()));
  EXPECT_EQ(store.AccountTable[4].AccountKind, kAsset);
  EXPECT_FALSE(changeKind(store, 4, QStringLiteral(" 2 ")));
  EXPECT_EQ(store.AccountTable[4].AccountKind, kLiability);
  EXPECT_EQ(TrimTrailingSpaces(store.AccountTable[4].AccountName), QStringLiteral("A-股票"));
}

TEST_F(Chart, DeleteMovesLaterAccountsUp) {
  ASSERT_FALSE(createAccount(store, QStringLiteral("薪資"), kIncome, "0"));
  ASSERT_FALSE(createAccount(store, QStringLiteral("獎金"), kIncome, "0"));
  const Snapshot before = snapshot();
  EXPECT_EQ(deleteAccount(store, 2)->text, QStringLiteral("Equity帳戶不能刪除"));
  EXPECT_EQ(deleteAccount(store, 1)->text, QStringLiteral("現金帳戶不能刪除"));
  EXPECT_EQ(deleteAccount(store, 3)->text, QStringLiteral("這個帳戶正在使用中，無法刪除"));
  EXPECT_EQ(snapshot(), before);

  ASSERT_FALSE(deleteAccount(store, 4));
  EXPECT_EQ(names(), (QStringList{"A-現金", "Equity", "E-餐飲費", "I-獎金"}));
  EXPECT_EQ(store.AccountTable[4].AccountKind, kIncome);
  EXPECT_EQ(store.panel(Module1::AccountsPanel), QStringLiteral("帳戶數量：4"));
  EXPECT_EQ(store.EntryCount, 3);
}

TEST_F(Chart, MovesStopAtTheEnds) {
  EXPECT_FALSE(moveAccountUp(store, 1));
  EXPECT_FALSE(moveAccountDown(store, 3));
  EXPECT_EQ(moveAccountDown(store, 1), 2);
  EXPECT_EQ(names(), (QStringList{"Equity", "A-現金", "E-餐飲費"}));
  EXPECT_EQ(store.AccountTable[1].AccountKind, kEquity);
  EXPECT_EQ(moveAccountUp(store, 3), 2);
  EXPECT_EQ(names(), (QStringList{"Equity", "E-餐飲費", "A-現金"}));
  EXPECT_EQ(store.EntryTable[2].IncreaseAccount, nameField("E-餐飲費"));  // entries untouched
}

}  // namespace
