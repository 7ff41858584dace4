#include "Books.h"
#include "TestFiles.h"
#include "book/book.h"
#include "store/ledger.h"

#include <cstdint>

namespace {

const QString kCash = QStringLiteral("A-現金");

// User "amy" with an empty database folder "2025".
struct DatabaseFiles : ::testing::Test, testbooks::Books {
  DatabaseFiles() { signIn("amy", "2025"); }

  QString path(const QString& file) const { return store.user().databaseFolder() + u'/' + file; }

  // A database with `n` entries, each with its number as amount, saved and opened.
  void openWithEntries(int n) {
    ASSERT_FALSE(book::open(store));
    store.tables().entryCount = 1;
    for (int i = 1; i <= n; ++i) entry("2025/01/02", kCash, "Equity", i);
    ASSERT_FALSE(book::save(store).refusal);
    ASSERT_FALSE(book::open(store));
  }
};

TEST(StartingCash, AnswerIsAnAmountOrAskedAgainWithTheReason) {
  const std::pair<const char*, std::variant<qint32, Message>> cases[] = {
      {"  ", 0},
      {"-12.5", -12},
      {"1,000", refusal(QStringLiteral("金額必須是數字，不可含有逗號、符號或文字"))},
      {"2147483648",
       refusal(QStringLiteral("金額超出範圍，請輸入介於 -2147483648 與 2147483647 之間的數字"))}};
  for (const auto& [answer, expected] : cases)
    EXPECT_EQ(store::readStartingCash(answer), expected) << answer;
}

TEST_F(DatabaseFiles, NewFolderGetsCashAndEquityAndTheOpeningEntry) {
  EXPECT_TRUE(store::needsStartingCash(store.user().databaseFolder()));
  ASSERT_FALSE(book::open(store, -12));
  EXPECT_FALSE(store::needsStartingCash(store.user().databaseFolder()));
  EXPECT_EQ(fileBytes(path(store::kAccountsFile)), hex("412db27baaf7") + blanks(14) + hex("0100") +
                                                       QByteArray(106, '\0') + hex("457175697479") +
                                                       blanks(14) + hex("0000"));
  EXPECT_EQ(fileBytes(path(store::kEntriesFile)),
            hex("323032342f30372f3135 412db27baaf7") + blanks(14) + hex("457175697479") +
                blanks(14) + hex("f4ffffff aaecadc8") + blanks(46));
}

TEST_F(DatabaseFiles, EmptyMainDatMeansNoEntriesAndAMissingOneANewDatabase) {
  openWithEntries(0);
  EXPECT_EQ(fileBytes(path(store::kEntriesFile)), QByteArray());
  ASSERT_FALSE(book::open(store));
  EXPECT_EQ(store.tables().entryCount, 1);
  QFile::remove(path(store::kEntriesFile));
  ASSERT_FALSE(book::open(store, 5));
  EXPECT_EQ(store.tables().entryCount, 2);
  EXPECT_EQ(store.tables().entries[1].Amount, 5);
}

TEST_F(DatabaseFiles, LastRecordLoadsWithOrWithoutItsFiller) {
  for (const int n : {1, store::kMaxEntries}) {
    openWithEntries(n);
    const QByteArray saved = fileBytes(path(store::kEntriesFile));
    ASSERT_EQ(saved.size(), (n - 1) * 128 + 104);
    putFile(path(store::kEntriesFile), saved + QByteArray(24, 'x'));  // n x 128 bytes
    ASSERT_FALSE(book::open(store));
    EXPECT_EQ(store.tables().entryCount, n + 1);
    EXPECT_EQ(store.tables().entries[n].Amount, n) << n;
  }
}

TEST_F(DatabaseFiles, DamagedFilesAreRefusedAndChangeNothing) {
  openWithEntries(4);
  const QByteArray accounts = fileBytes(path(store::kAccountsFile));
  const QByteArray entries = fileBytes(path(store::kEntriesFile));
  const QByteArray entry128 = entries.left(128);
  const std::tuple<QString, QByteArray, const char*> cases[] = {
      // file, bytes, refusal
      {store::kAccountsFile, {}, "「Accounts.dat」是空的，沒有任何帳戶，檔案可能已損壞，無法開啟"},
      {store::kAccountsFile, accounts.left(149),
       "「Accounts.dat」的最後一筆記錄不完整，檔案可能已損壞，無法開啟"},
      {store::kEntriesFile, entry128.repeated(3000) + entry128.left(1),
       "「Main.dat」有 3001 筆記錄，超過上限 3000 筆，這個檔案無法開啟"},
      {store::kEntriesFile, entry128 + entry128.left(103),
       "「Main.dat」的最後一筆記錄不完整，檔案可能已損壞，無法開啟"},
  };
  const store::AccountTableType accountTable = store.tables().accounts;
  const store::EntryTableType entryTable = store.tables().entries;
  for (const auto& [file, bytes, text] : cases) {
    SCOPED_TRACE(text);
    putFile(path(store::kAccountsFile), accounts);
    putFile(path(store::kEntriesFile), entries);
    putFile(path(file), bytes);
    EXPECT_EQ(book::open(store), refusal(QString::fromUtf8(text)));
    EXPECT_EQ(store.tables().accounts, accountTable);
    EXPECT_EQ(store.tables().entries, entryTable);
    EXPECT_EQ(store.panel(book::Workspace::EntriesPanel), QStringLiteral("資料筆數：4"));
    EXPECT_EQ(fileBytes(path(file)), bytes);
  }
}

const QString kFood = QStringLiteral("E-餐飲"), kSalary = QStringLiteral("I-薪資"),
              kCard = QStringLiteral("L-信用卡");

// A chart of the five kinds and entries added in order.
struct Books : ::testing::Test, testbooks::Books {
  Books() : testbooks::Books({kCash, store::kEquityName, kFood, kSalary, kCard}) {}

  int slotOf(const QString& name) const {
    return store.tables().accountSlot(store::nameField(name));
  }
  // Columns 3 and 4 of each row, with the red flags as "!".
  QStringList amountsAndTotals(const QString& account) const {
    QStringList out;
    for (const store::LedgerRow& row : store::showLedger(store.tables(), slotOf(account))) {
      out << (row.amountRed ? u'!' + row.amount : row.amount) + u'|' +
                 (row.totalRed ? u'!' + row.total : row.total);
    }
    return out;
  }
};

// One entry of 100 from an account of the row's kind (first side) to one of the column's kind
// (second side), and what each account's ledger shows for it: "+" 100, "-" -100, "." nothing.
// E.g. lunch paid in cash (expense, asset) is "+-"; paying the card from the bank (liability,
// asset) lowers both, "--"; equity on the first side is never counted.
const char* const kSignRule[5][5] = {
    // Equity Asset  Liability Income Expense: the second side
    {"..", "..", ".-", "..", ".."},  // Equity
    {"++", "+-", "++", "..", ".."},  // Asset
    {"+-", "--", "+-", "..", ".."},  // Liability
    {"+-", "++", "+-", "..", ".."},  // Income
    {"++", "+-", "++", "..", ".."},  // Expense
};

TEST(SignRule, EachPairOfKindsMovesBothAccountsAsABookkeeperExpects) {
  const auto shown = [](char c) {
    return QLatin1String(c == '+' ? "100" : c == '-' ? "-100" : "");
  };
  for (qint16 first = store::kEquity; first <= store::kExpense; ++first) {
    for (qint16 second = store::kEquity; second <= store::kExpense; ++second) {
      testbooks::Books b;
      b.account("first", first);
      b.account("second", second);
      b.entry("2025/01/01", "first", "second", 100);
      for (const int side : {0, 1})
        EXPECT_EQ(store::showLedger(b.store.tables(), side + 1).at(0).amount,
                  shown(kSignRule[first][second][side]))
            << first << second;
    }
  }
  EXPECT_EQ(store::signRule(store::kAsset, -1, true),
            store::Sign::None);  // the other side names no account
}

TEST_F(Books, LedgersShowSignedAmountsAndRunningTotals) {
  entry(QStringLiteral("2025/01/01"), kCash, store::kEquityName, 1000, QStringLiteral("初值"));
  entry(QStringLiteral("2025/01/05"), kFood, kCash, 1120, QStringLiteral("午餐   "));  // below 0
  entry(QStringLiteral("2025/01/03"), kSalary, kCash, 5000);
  entry(QStringLiteral("2025/01/04"), kCard, kCash, 500);   // paying off the card
  entry(QStringLiteral("2025/01/04"), kFood, kSalary, 70);  // counts for neither
  entry(QStringLiteral("2025/01/06"), kCash, kCash, 30);    // both sides: once each

  const auto cash = store::showLedger(store.tables(), slotOf(kCash));
  ASSERT_EQ(cash.size(), 6u);
  EXPECT_EQ(cash[1].date + cash[1].other + u'|' + cash[1].memo + u'|' + cash[1].number,
            QStringLiteral("2025/01/05") + kFood + QStringLiteral("|午餐|2"));
  EXPECT_EQ(amountsAndTotals(kCash), QStringList({"1000| 1000", "!-1120|!-120", "5000| 4880",
                                                  "!-500| 4380", "30| 4410", "!-30| 4380"}));
  EXPECT_EQ(amountsAndTotals(kCard), QStringList({"!-500|!-500"}));
  EXPECT_EQ(amountsAndTotals(kFood), QStringList({"1120| 1120", "| 1120"}));
}

TEST_F(Books, LargeAmountsNeverOverflowTheTotals) {
  const int half = store::kMaxEntries / 2;
  for (int i = 0; i < half; ++i) entry("2025/01/01", kCash, store::kEquityName, INT32_MAX);
  for (int i = 0; i < half; ++i) entry("2025/01/02", kFood, kCash, INT32_MIN);

  const qint64 expected = qint64(half) * INT32_MAX - qint64(half) * INT32_MIN;
  const store::LedgerRow last = store::showLedger(store.tables(), slotOf(kCash)).back();
  EXPECT_EQ(last.amount + last.total, QStringLiteral("2147483648 ") + QString::number(expected));
}

// Balances summed straight from a book's files must be the ones the loaded tables give, for
// every oddity a file may hold: a name twice in the chart, a kind outside 0..4, entries naming
// no account, dates on and after the day asked, and a date that is not plain ASCII.
TEST(BookBalances, FromTheFilesAsFromTheLoadedTables) {
  const QString cash = store::kCashName, equity = store::kEquityName, food = "E-餐飲",
                salary = "I-薪資", card = "L-信用卡", nowhere = "X-不存在", odd = "A-怪";
  testbooks::Books written({cash, equity, food, salary, card, food});
  written.account(odd, 7);
  written.entry("2024/01/05", cash, equity, 5000);
  written.entry("2024/02/01", food, cash, 120);
  written.entry("2024/02/01", card, food, 300);
  written.entry("2024/03/01", nowhere, cash, 70);
  written.entry("2024/03/02", nowhere, "Y-無", 9);
  written.entry("2024/03/03", odd, food, 11);
  written.entry("２０２４/04", cash, salary, 800);
  // Its first byte becomes one that is no character: decoded, it sorts where its bytes do not.
  written.entry("?024/05/01", cash, salary, 40);
  written.entry("2025/01/01", cash, salary, 900);

  QTemporaryDir dir;
  ASSERT_TRUE(written.writeTo(dir.path()));
  QByteArray entries = fileBytes(dir.filePath(store::kEntriesFile));
  entries[7 * store::kRecordLength + store::field::kDate] = '\xFF';
  putFile(dir.filePath(store::kEntriesFile), entries);
  testbooks::Books loaded;
  ASSERT_FALSE(store::readBookFolderInto(dir.path(), loaded.store.tables()));

  for (const char* date :
       {"2024/02/01", "2024/03/02", "2024/12/31", "9999/12/31", "2024/1", "２０２５/01/01"}) {
    const QString asOf = QString::fromUtf8(date);
    const auto read = store::readBookBalances(dir.path(), asOf);
    ASSERT_TRUE(std::holds_alternative<store::BookBalances>(read)) << date;
    EXPECT_EQ(std::get<store::BookBalances>(read).balances,
              store::allAccountBalances(loaded.store.tables(), asOf))
        << date;
  }
}

}  // namespace
