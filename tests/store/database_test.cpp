#include "store/database.h"

#include "Books.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }
QByteArray blanks(int n) { return QByteArray(n, ' '); }

const QString kCash = QStringLiteral("A-現金");

// User "amy" with an empty database folder "2025".
struct DatabaseFiles : ::testing::Test, testbooks::Books {
  DatabaseFiles() {
    store.UserName = "amy";
    store.DataBaseName = "2025";
    EXPECT_TRUE(QDir().mkpath(store.databaseFolder()));
    store.clock().setToday(QDate(2025, 3, 14));
  }

  QString path(const QString& file) const { return store.databaseFolder() + u'/' + file; }

  // A database with `n` entries, each with its number as amount, saved and opened.
  void openWithEntries(int n) {
    ASSERT_FALSE(LoadDatabase(store));
    store.EntryCount = 1;
    for (int i = 1; i <= n; ++i) entry("2025/01/02", kCash, "Equity", i);
    ASSERT_FALSE(SaveDatabase(store).refusal);
    ASSERT_FALSE(LoadDatabase(store));
    dialogs.clear();
  }
};

TEST(RecordBytes, EntryRecordHoldsBig5TextAndLittleEndianNumbers) {
  EXPECT_EQ(entryRecordBytes(makeEntry(QStringLiteral("2025/03/14"), QStringLiteral("E-餐飲"),
                                       kCash, -1500, QStringLiteral("午餐 lunch"))),
            hex("323032352f30332f3134 452dc05cb6bc") + blanks(14) + hex("412db27baaf7") +
                blanks(14) + hex("24faffff a4c8c05c206c756e6368") + blanks(40));
}

TEST(StartingCash, AnswerIsAnAmountOrAskedAgainWithTheReason) {
  const QString notANumber = QStringLiteral("金額必須是數字，不可含有逗號、符號或文字");
  const QString outOfRange =
      QStringLiteral("金額超出範圍，請輸入介於 -2147483648 與 2147483647 之間的數字");
  const std::pair<const char*, std::variant<qint32, Message>> cases[] = {
      // clang-format off
      {"", 0}, {"  ", 0}, {"-12.5", -12}, {"2.5", 2}, {"2147483647", 2147483647},
      {"abc", refusal(notANumber)}, {"1,000", refusal(notANumber)},
      {"2147483648", refusal(outOfRange)},
      // clang-format on
  };
  for (const auto& [answer, expected] : cases)
    EXPECT_EQ(readStartingCash(answer), expected) << answer;
}

TEST_F(DatabaseFiles, NewFolderGetsCashAndEquityAndTheOpeningEntry) {
  EXPECT_TRUE(needsStartingCash(store.databaseFolder()));
  ASSERT_FALSE(LoadDatabase(store, -12));
  EXPECT_FALSE(needsStartingCash(store.databaseFolder()));
  EXPECT_TRUE(dialogs.shown().empty());
  EXPECT_EQ(fileBytes(path(kAccountsFile)), hex("412db27baaf7") + blanks(14) + hex("0100") +
                                                QByteArray(106, '\0') + hex("457175697479") +
                                                blanks(14) + hex("0000"));
  EXPECT_EQ(fileBytes(path(kEntriesFile)), hex("323032352f30332f3134 412db27baaf7") + blanks(14) +
                                               hex("457175697479") + blanks(14) +
                                               hex("f4ffffff aaecadc8") + blanks(46));
}

TEST_F(DatabaseFiles, EmptyMainDatMeansNoEntriesAndAMissingOneANewDatabase) {
  openWithEntries(0);
  EXPECT_EQ(fileBytes(path(kEntriesFile)), QByteArray());
  ASSERT_FALSE(LoadDatabase(store));
  EXPECT_TRUE(dialogs.shown().empty());
  EXPECT_EQ(store.EntryCount, 1);
  QFile::remove(path(kEntriesFile));
  ASSERT_FALSE(LoadDatabase(store, 5));
  EXPECT_EQ(store.EntryCount, 2);
  EXPECT_EQ(store.EntryTable[1].Amount, 5);
}

TEST_F(DatabaseFiles, LastRecordLoadsWithOrWithoutItsFiller) {
  for (const int n : {1, kMaxEntries}) {
    openWithEntries(n);
    const QByteArray saved = fileBytes(path(kEntriesFile));
    ASSERT_EQ(saved.size(), (n - 1) * 128 + 104);
    putFile(path(kEntriesFile), saved + QByteArray(24, 'x'));  // n x 128 bytes
    ASSERT_FALSE(LoadDatabase(store));
    EXPECT_EQ(store.EntryCount, n + 1);
    EXPECT_EQ(store.EntryTable[n].Amount, n) << n;
  }
}

TEST_F(DatabaseFiles, DamagedFilesAreRefusedAndChangeNothing) {
  openWithEntries(4);
  const QByteArray accounts = fileBytes(path(kAccountsFile));
  const QByteArray entries = fileBytes(path(kEntriesFile));
  const QByteArray entry128 = entries.left(128);
  const std::tuple<QString, QByteArray, const char*> cases[] = {
      // file, bytes, refusal
      {kAccountsFile, {}, "「Accounts.dat」是空的，沒有任何帳戶，檔案可能已損壞，無法開啟"},
      {kAccountsFile, accounts.left(149),
       "「Accounts.dat」的最後一筆記錄不完整，檔案可能已損壞，無法開啟"},
      {kEntriesFile, entry128.repeated(3000) + entry128.left(1),
       "「Main.dat」有 3001 筆記錄，超過上限 3000 筆，這個檔案無法開啟"},
      {kEntriesFile, entry128 + entry128.left(103),
       "「Main.dat」的最後一筆記錄不完整，檔案可能已損壞，無法開啟"},
  };
  const AccountTableType accountTable = store.AccountTable;
  const EntryTableType entryTable = store.EntryTable;
  for (const auto& [file, bytes, text] : cases) {
    SCOPED_TRACE(text);
    putFile(path(kAccountsFile), accounts);
    putFile(path(kEntriesFile), entries);
    putFile(path(file), bytes);
    EXPECT_EQ(LoadDatabase(store), refusal(QString::fromUtf8(text)));
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(store.AccountTable, accountTable);
    EXPECT_EQ(store.EntryTable, entryTable);
    EXPECT_EQ(store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：4"));
    EXPECT_EQ(fileBytes(path(file)), bytes);
  }
}

}  // namespace
