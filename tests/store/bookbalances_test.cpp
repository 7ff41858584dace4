#include "Books.h"
#include "TestFiles.h"
#include "store/ledger.h"

namespace {

// Balances summed straight from a book's files must be the ones the loaded tables give, for
// every oddity a file may hold: a name twice in the chart, a kind outside 0..4, entries naming
// no account, dates on and after the day asked, and a date that is not plain ASCII.
TEST(BookBalances, FromTheFilesAsFromTheLoadedTables) {
  const QString food = QStringLiteral("E-餐飲"), card = QStringLiteral("L-信用卡");
  testbooks::Books written(
      {store::kCashName, store::kEquityName, food, QStringLiteral("I-薪資"), card, food});
  written.account(QStringLiteral("A-怪"), 7);
  written.entry(QStringLiteral("2024/01/05"), store::kCashName, store::kEquityName, 5000);
  written.entry(QStringLiteral("2024/02/01"), food, store::kCashName, 120);
  written.entry(QStringLiteral("2024/02/01"), card, food, 300);
  written.entry(QStringLiteral("2024/03/01"), QStringLiteral("X-不存在"), store::kCashName, 70);
  written.entry(QStringLiteral("2024/03/02"), QStringLiteral("X-不存在"), QStringLiteral("Y-無"),
                9);
  written.entry(QStringLiteral("2024/03/03"), QStringLiteral("A-怪"), food, 11);
  written.entry(QStringLiteral("２０２４/04"), store::kCashName, QStringLiteral("I-薪資"), 800);
  // Its first byte becomes one that is no character: decoded, it sorts where its bytes do not.
  written.entry(QStringLiteral("?024/05/01"), store::kCashName, QStringLiteral("I-薪資"), 40);
  written.entry(QStringLiteral("2025/01/01"), store::kCashName, QStringLiteral("I-薪資"), 900);

  QTemporaryDir dir;
  putFile(dir.filePath(store::kAccountsFile),
          store::accountsFileBytes(written.store.tables().accounts,
                                   written.store.tables().accountCount));
  QByteArray entries =
      store::entriesFileBytes(written.store.tables().entries, written.store.tables().entryCount);
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
