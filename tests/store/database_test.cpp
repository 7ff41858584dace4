#include "store/database.h"

#include "ScriptedDialogs.h"
#include "store/Module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }
QByteArray blanks(int n) { return QByteArray(n, ' '); }

const QString kCash = QStringLiteral("A-現金");

// An installation folder of its own with user "amy" and an empty database folder "2025".
class DatabaseFiles : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};

  void SetUp() override {
    store.UserName = QStringLiteral("amy");
    store.DataBaseName = QStringLiteral("2025");
    ASSERT_TRUE(QDir().mkpath(store.databaseFolder()));
    store.clock().setToday(QDate(2025, 3, 14));
  }

  QString path(const QString& file) const { return store.databaseFolder() + u'/' + file; }

  QByteArray bytesOf(const QString& file) const {
    QFile f(path(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }

  void writeFile(const QString& file, const QByteArray& bytes) const {
    QFile f(path(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
  }

  // A database with `n` entries, each with its number as amount, saved and opened.
  void openWithEntries(int n) {
    dialogs.type(QStringLiteral("0"));
    ASSERT_FALSE(LoadDatabase(store));
    for (int i = 1; i <= n; ++i) {
      store.EntryTable[i] =
          makeEntry(QStringLiteral("2025/01/02"), kCash, QStringLiteral("Equity"), i, {});
    }
    store.EntryCount = n + 1;
    ASSERT_FALSE(SaveDatabase(store));
    ASSERT_FALSE(LoadDatabase(store));
    dialogs.clear();
  }
};

TEST(RecordBytes, AccountAndEntryRecordsHoldBig5TextAndLittleEndianNumbers) {
  EXPECT_EQ(accountRecordBytes(makeAccount(kCash, kAsset)),
            hex("412db27baaf7") + blanks(14) + hex("0100"));
  // A long name is cut where a whole character ends.
  EXPECT_EQ(accountRecordBytes(makeAccount(QStringLiteral("A-一二三四五六七八九十百"), kAsset)),
            hex("412d a440a447a454a57ca4ada4bba443a44ba445 0100"));

  const LedgerEntry entry = makeEntry(QStringLiteral("2025/03/14"), QStringLiteral("E-餐飲"), kCash,
                                      -1500, QStringLiteral("午餐 lunch"));
  const QByteArray expected = hex("323032352f30332f3134") + hex("452dc05cb6bc") + blanks(14) +
                              hex("412db27baaf7") + blanks(14) + hex("24faffff") +
                              hex("a4c8c05c206c756e6368") + blanks(40);
  EXPECT_EQ(entryRecordBytes(entry), expected);
}

TEST_F(DatabaseFiles, NewFolderAsksForTheStartingCashUntilItIsANumber) {
  const QString cancel = QStringLiteral("<cancel>");
  const struct {
    QStringList answers;
    const char* amount;  // the opening entry's amount bytes
  } cases[] = {
      {{QStringLiteral("1000")}, "e8030000"},
      {{cancel}, "00000000"},
      {{QString()}, "00000000"},
      {{QStringLiteral("abc"), QStringLiteral("-12.5")}, "f4ffffff"},
      {{QStringLiteral("1,000"), cancel}, "00000000"},
      {{QStringLiteral("2147483648"), QStringLiteral("7")}, "07000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers.join(u'|').toStdString());
    QDir(store.databaseFolder()).removeRecursively();
    QDir().mkpath(store.databaseFolder());
    dialogs.clear();
    for (const QString& a : c.answers) a == cancel ? dialogs.cancelInput() : dialogs.type(a);
    ASSERT_FALSE(LoadDatabase(store));
    EXPECT_EQ(dialogs.shown().at(0).prompt, QStringLiteral("一開始有多少現金"));
    // One refusal for each answer that was typed but no number, then the question again.
    EXPECT_EQ(dialogs.shown().size(), 2 * c.answers.size() - 1);
    EXPECT_TRUE(dialogs.allAnswersUsed());
    EXPECT_EQ(bytesOf(kAccountsFile), hex("412db27baaf7") + blanks(14) + hex("0100") +
                                          QByteArray(106, '\0') + hex("457175697479") + blanks(14) +
                                          hex("0000"));
    EXPECT_EQ(bytesOf(kEntriesFile), hex("323032352f30332f3134") + hex("412db27baaf7") +
                                         blanks(14) + hex("457175697479") + blanks(14) +
                                         hex(c.amount) + hex("aaecadc8") + blanks(46));
  }
}

TEST_F(DatabaseFiles, EmptyMainDatMeansNoEntriesAndAMissingOneANewDatabase) {
  openWithEntries(0);
  EXPECT_EQ(bytesOf(kEntriesFile).size(), 0);
  ASSERT_FALSE(LoadDatabase(store));
  EXPECT_TRUE(dialogs.shown().empty());
  EXPECT_EQ(store.EntryCount, 1);

  QFile::remove(path(kEntriesFile));
  dialogs.type(QStringLiteral("5"));
  ASSERT_FALSE(LoadDatabase(store));
  EXPECT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(store.EntryCount, 2);
}

TEST_F(DatabaseFiles, LastRecordLoadsWithOrWithoutItsFiller) {
  for (const int n : {1, 3, kMaxEntries}) {
    SCOPED_TRACE(n);
    openWithEntries(n);
    const QByteArray saved = bytesOf(kEntriesFile);
    ASSERT_EQ(saved.size(), (n - 1) * 128 + 104);
    writeFile(kEntriesFile, saved + QByteArray(24, 'x'));  // n x 128 bytes
    ASSERT_FALSE(LoadDatabase(store));
    EXPECT_EQ(store.EntryCount, n + 1);
    EXPECT_EQ(store.EntryTable[n].Amount, n);
    ASSERT_FALSE(SaveDatabase(store));
    EXPECT_EQ(bytesOf(kEntriesFile), saved);
  }
}

TEST_F(DatabaseFiles, DamagedFilesAreRefusedAndChangeNothing) {
  const QByteArray account = accountRecordBytes(makeAccount(kCash, kAsset)) + QByteArray(106, 0);
  openWithEntries(4);
  const QByteArray entry128 = bytesOf(kEntriesFile).left(128);
  const struct {
    QString file;
    QByteArray bytes;
    const char* text;
  } cases[] = {
      {kAccountsFile, {}, "「Accounts.dat」是空的，沒有任何帳戶，檔案可能已損壞，無法開啟"},
      {kAccountsFile, account.repeated(101),
       "「Accounts.dat」有 101 筆記錄，超過上限 100 筆，這個檔案無法開啟"},
      {kAccountsFile, account + account.left(21),
       "「Accounts.dat」的最後一筆記錄不完整，檔案可能已損壞，無法開啟"},
      {kEntriesFile, entry128.repeated(3000) + entry128.left(1),
       "「Main.dat」有 3001 筆記錄，超過上限 3000 筆，這個檔案無法開啟"},
      {kEntriesFile, entry128 + entry128.left(103),
       "「Main.dat」的最後一筆記錄不完整，檔案可能已損壞，無法開啟"},
  };
  const AccountTableType accounts = store.AccountTable;
  const EntryTableType entries = store.EntryTable;
  const QByteArray goodAccounts = bytesOf(kAccountsFile);
  const QByteArray goodEntries = bytesOf(kEntriesFile);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    writeFile(kAccountsFile, goodAccounts);
    writeFile(kEntriesFile, goodEntries);
    writeFile(c.file, c.bytes);
    EXPECT_EQ(LoadDatabase(store), refusal(QString::fromUtf8(c.text)));
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(store.AccountTable, accounts);
    EXPECT_EQ(store.EntryTable, entries);
    EXPECT_EQ(store.AccountCount, 3);
    EXPECT_EQ(store.EntryCount, 5);
    EXPECT_EQ(store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：4"));
    EXPECT_EQ(bytesOf(c.file), c.bytes);
  }
  // A damaged entry file beside a missing account file: nothing is created, nothing asked.
  QFile::remove(path(kAccountsFile));
  writeFile(kEntriesFile, entry128.left(50));
  ASSERT_TRUE(LoadDatabase(store));
  EXPECT_FALSE(QFileInfo::exists(path(kAccountsFile)));
  EXPECT_TRUE(dialogs.shown().empty());
}

}  // namespace
