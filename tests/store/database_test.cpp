#include "store/database.h"

#include "ScriptedDialogs.h"
#include "platform/safefile.h"
#include "store/Module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }
QByteArray blanks(int n) { return QByteArray(n, ' '); }
QByteArray zeros(int n) { return QByteArray(n, '\0'); }

const QString kCash = QStringLiteral("A-現金");

// An installation folder of its own with user "amy" and an empty database folder "2025".
class DatabaseFiles : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};

  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    store.UserName = QStringLiteral("amy");
    store.DataBaseName = QStringLiteral("2025");
    ASSERT_TRUE(QDir().mkpath(store.databaseFolder()));
    store.clock().setToday(QDate(2025, 3, 14));
  }

  QString path(const QString& file) const { return store.databaseFolder() + u'/' + file; }

  QByteArray bytesOf(const QString& file) const {
    QFile f(path(file));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
    return f.readAll();
  }

  void writeFile(const QString& file, const QByteArray& bytes) const {
    QFile f(path(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
  }

  int inputBoxesShown() const {
    int n = 0;
    for (const auto& s : dialogs.shown()) n += s.kind == ScriptedDialogs::Shown::InputBox;
    return n;
  }

  // A database with `n` entries numbered in their memo, opened.
  void openWithEntries(int n) {
    dialogs.type(QStringLiteral("0"));
    ASSERT_FALSE(LoadDatabase(store));
    for (int i = 1; i <= n; ++i) {
      store.EntryTable[i] = makeEntry(QStringLiteral("2025/01/02"), kCash, QStringLiteral("Equity"),
                                      i, QString::number(i));
    }
    store.EntryCount = n + 1;
    ASSERT_FALSE(SaveDatabase(store));
    ASSERT_FALSE(LoadDatabase(store));
  }
};

TEST(RecordBytes, AccountAndEntryRecordsHoldBig5TextAndLittleEndianNumbers) {
  const AccountRecord account = makeAccount(kCash, kAsset);
  EXPECT_EQ(accountRecordBytes(account), hex("412db27baaf7") + blanks(14) + hex("0100"));

  const LedgerEntry entry = makeEntry(QStringLiteral("2025/03/14"), QStringLiteral("E-餐飲"), kCash,
                                      1234567, QStringLiteral("午餐 lunch"));
  const QByteArray expected = hex("323032352f30332f3134") + hex("452dc05cb6bc") + blanks(14) +
                              hex("412db27baaf7") + blanks(14) + hex("87d61200") +
                              hex("a4c8c05c206c756e6368") + blanks(40);
  EXPECT_EQ(entryRecordBytes(entry), expected);
  EXPECT_EQ(entryRecordBytes(makeEntry({}, {}, {}, -1500, {})).mid(50, 4), hex("24faffff"));

  // And back: the fields come back padded as memory holds them.
  EntryTableType table;
  ASSERT_EQ(std::get<int>(readEntries(expected, table)), 2);
  EXPECT_EQ(table[1], entry);
  EXPECT_EQ(table[1].Memo, QStringLiteral("午餐 lunch") + QString(42, u' '));
}

TEST_F(DatabaseFiles, NewFolderGetsCashEquityAndTheOpeningEntry) {
  dialogs.type(QStringLiteral("1000"));
  ASSERT_FALSE(LoadDatabase(store));

  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].prompt, QStringLiteral("一開始有多少現金"));
  EXPECT_EQ(dialogs.shown()[0].title, QStringLiteral("輸入"));
  EXPECT_EQ(dialogs.shown()[0].defaultText, QStringLiteral("0"));

  EXPECT_EQ(bytesOf(kAccountsFile), hex("412db27baaf7") + blanks(14) + hex("0100") + zeros(106) +
                                        hex("457175697479") + blanks(14) + hex("0000"));
  EXPECT_EQ(bytesOf(kAccountsFile).size(), 150);
  EXPECT_EQ(bytesOf(kEntriesFile), hex("323032352f30332f3134") + hex("412db27baaf7") + blanks(14) +
                                       hex("457175697479") + blanks(14) + hex("e8030000") +
                                       hex("aaecadc8") + blanks(46));
  EXPECT_EQ(store.AccountCount, 3);
  EXPECT_EQ(store.EntryCount, 2);
  EXPECT_EQ(store.panel(Module1::AccountsPanel), QStringLiteral("帳戶數量：2"));
  EXPECT_EQ(store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：1"));

  // Reopening asks nothing and finds the same.
  ScriptedDialogs again;
  Module1 reopened(dir.path(), again);
  reopened.UserName = store.UserName;
  reopened.DataBaseName = store.DataBaseName;
  ASSERT_FALSE(LoadDatabase(reopened));
  EXPECT_TRUE(again.shown().empty());
  EXPECT_EQ(reopened.EntryTable, store.EntryTable);
  EXPECT_EQ(reopened.AccountTable, store.AccountTable);
}

TEST_F(DatabaseFiles, StartingCashIsAskedUntilItIsANumber) {
  const QString notANumber = QStringLiteral("金額必須是數字，不可含有逗號、符號或文字");
  const QString outOfRange =
      QStringLiteral("金額超出範圍，請輸入介於 -2147483648 與 2147483647 之間的數字");
  struct Case {
    QStringList answers;  // "<cancel>" cancels the box
    qint32 cash;
    QStringList refusals;
  };
  const Case cases[] = {
      {{QStringLiteral("<cancel>")}, 0, {}},
      {{QStringLiteral("")}, 0, {}},
      {{QStringLiteral("  ")}, 0, {}},
      {{QStringLiteral("12.5")}, 12, {}},
      {{QStringLiteral("13.5")}, 14, {}},
      {{QStringLiteral("-2.5")}, -2, {}},
      {{QStringLiteral("2147483647")}, 2147483647, {}},
      {{QStringLiteral("abc"), QStringLiteral("12.5")}, 12, {notANumber}},
      {{QStringLiteral("1,000"), QStringLiteral("1e3"), QStringLiteral("<cancel>")},
       0,
       {notANumber, notANumber}},
      {{QStringLiteral("2147483647.5"), QStringLiteral("-2147483649"), QStringLiteral("7")},
       7,
       {outOfRange, outOfRange}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers.join(u'|').toStdString());
    QDir(store.databaseFolder()).removeRecursively();
    QDir().mkpath(store.databaseFolder());
    dialogs.clear();
    for (const QString& a : c.answers) {
      a == QStringLiteral("<cancel>") ? dialogs.cancelInput() : dialogs.type(a);
    }

    ASSERT_FALSE(LoadDatabase(store));
    EXPECT_EQ(inputBoxesShown(), c.answers.size());
    EXPECT_EQ(dialogs.messageTexts(), c.refusals);
    for (const Message& m : dialogs.messages()) EXPECT_EQ(m.title, QStringLiteral("注意"));
    EXPECT_TRUE(dialogs.allAnswersUsed());
    EXPECT_EQ(store.EntryTable[1].Amount, c.cash);
    EXPECT_EQ(bytesOf(kEntriesFile).size(), 104);
  }
}

TEST_F(DatabaseFiles, EmptyEntryFileMeansNoEntriesNotANewDatabase) {
  openWithEntries(0);
  EXPECT_EQ(bytesOf(kEntriesFile).size(), 0);
  dialogs.clear();
  ASSERT_FALSE(LoadDatabase(store));
  EXPECT_TRUE(dialogs.shown().empty());
  EXPECT_EQ(store.EntryCount, 1);
  EXPECT_EQ(store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：0"));

  // A missing one is a new database again: the question comes once.
  QFile::remove(path(kEntriesFile));
  ASSERT_FALSE(LoadDatabase(store));
  EXPECT_EQ(inputBoxesShown(), 1);
  EXPECT_EQ(store.EntryCount, 2);
}

TEST_F(DatabaseFiles, LastRecordLoadsWithOrWithoutItsFiller) {
  for (const int n : {1, 3, kMaxEntries}) {
    SCOPED_TRACE(n);
    openWithEntries(n);
    const QByteArray saved = bytesOf(kEntriesFile);
    ASSERT_EQ(saved.size(), (n - 1) * 128 + 104);
    EXPECT_EQ(store.EntryCount, n + 1);

    writeFile(kEntriesFile, saved + QByteArray(24, 'x'));  // n x 128 bytes
    ASSERT_FALSE(LoadDatabase(store));
    EXPECT_EQ(store.EntryCount, n + 1);
    EXPECT_EQ(store.EntryTable[n].Amount, n);

    ASSERT_FALSE(SaveDatabase(store));
    EXPECT_EQ(bytesOf(kEntriesFile), saved);
  }
}

TEST_F(DatabaseFiles, NamesComeBackAsStoredAndLongNamesAreCut) {
  openWithEntries(0);
  const QString longName = QStringLiteral("A-一二三四五六七八九十百");
  store.AccountTable[3] = makeAccount(longName, kAsset);
  store.AccountCount = 4;
  const QString longMemo = QString(26, u'備');
  store.EntryTable[1] = makeEntry(QStringLiteral("2025/01/02"), longName, kCash, 5, longMemo);
  store.EntryCount = 2;
  // What memory holds is already what the file will keep.
  EXPECT_EQ(store.AccountTable[3].AccountName,
            QStringLiteral("A-一二三四五六七八九") + QString(9, u' '));
  EXPECT_EQ(store.EntryTable[1].Memo, QString(25, u'備') + QString(25, u' '));

  ASSERT_FALSE(SaveDatabase(store));
  const AccountTableType accounts = store.AccountTable;
  const EntryTableType entries = store.EntryTable;
  ASSERT_FALSE(LoadDatabase(store));
  EXPECT_EQ(store.AccountTable, accounts);
  EXPECT_EQ(store.EntryTable, entries);
  EXPECT_EQ(store.AccountTable[1].AccountName, kCash + QString(16, u' '));
  EXPECT_EQ(bytesOf(kAccountsFile).mid(256, 22),
            hex("412d a440a447a454a57ca4ada4bba443a44ba445 0100"));
}

TEST_F(DatabaseFiles, DamagedFilesAreRefusedAndChangeNothing) {
  struct Case {
    const char* name;
    QString file;
    QByteArray bytes;
    QString text;
  };
  const QByteArray account = accountRecordBytes(makeAccount(kCash, kAsset)) + zeros(106);
  const QByteArray entry = entryRecordBytes(makeEntry(QStringLiteral("2025/01/01"), kCash,
                                                      QStringLiteral("Equity"), 1, {})) +
                           zeros(24);
  const Case cases[] = {
      {"no accounts",
       kAccountsFile,
       {},
       QStringLiteral("「Accounts.dat」是空的，沒有任何帳戶，檔案可能已損壞，無法開啟")},
      {"101 accounts", kAccountsFile, account.repeated(101),
       QStringLiteral("「Accounts.dat」有 101 筆記錄，超過上限 100 筆，這個檔案無法開啟")},
      {"account cut", kAccountsFile, account + account.left(21),
       QStringLiteral("「Accounts.dat」的最後一筆記錄不完整，檔案可能已損壞，無法開啟")},
      {"3001 entries", kEntriesFile, entry.repeated(3000) + entry.left(1),
       QStringLiteral("「Main.dat」有 3001 筆記錄，超過上限 3000 筆，這個檔案無法開啟")},
      {"entry cut", kEntriesFile, entry + entry.left(103),
       QStringLiteral("「Main.dat」的最後一筆記錄不完整，檔案可能已損壞，無法開啟")},
  };
  openWithEntries(4);
  store.AccountTable[3] = makeAccount(QStringLiteral("E-餐飲"), kExpense);
  store.AccountCount = 4;
  ASSERT_FALSE(SaveDatabase(store));
  ASSERT_FALSE(LoadDatabase(store));
  const AccountTableType accounts = store.AccountTable;
  const EntryTableType entries = store.EntryTable;
  const QString accountsPanel = store.panel(Module1::AccountsPanel);
  const QString entriesPanel = store.panel(Module1::EntriesPanel);
  const QByteArray goodAccounts = bytesOf(kAccountsFile);
  const QByteArray goodEntries = bytesOf(kEntriesFile);

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(kAccountsFile, goodAccounts);
    writeFile(kEntriesFile, goodEntries);
    writeFile(c.file, c.bytes);
    dialogs.clear();

    const auto refused = LoadDatabase(store);
    ASSERT_TRUE(refused);
    EXPECT_EQ(*refused, refusal(c.text));
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(store.AccountTable, accounts);
    EXPECT_EQ(store.EntryTable, entries);
    EXPECT_EQ(store.AccountCount, 4);
    EXPECT_EQ(store.EntryCount, 5);
    EXPECT_EQ(store.panel(Module1::AccountsPanel), accountsPanel);
    EXPECT_EQ(store.panel(Module1::EntriesPanel), entriesPanel);
    EXPECT_EQ(bytesOf(c.file), c.bytes);
  }
}

TEST_F(DatabaseFiles, MissingFolderIsRefused) {
  store.DataBaseName = QStringLiteral("gone");
  const auto refused = LoadDatabase(store);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->title, QStringLiteral("注意"));
  EXPECT_TRUE(refused->text.startsWith(QStringLiteral("找不到資料庫資料夾")));
  EXPECT_FALSE(QFileInfo::exists(path(kAccountsFile)));
}

TEST_F(DatabaseFiles, FailedSaveLeavesThePreviousFilesWhole) {
  openWithEntries(3);
  const QByteArray oldAccounts = bytesOf(kAccountsFile);
  const QByteArray oldEntries = bytesOf(kEntriesFile);
  store.AccountTable[3] = makeAccount(QStringLiteral("E-餐飲"), kExpense);
  store.AccountCount = 4;
  store.EntryTable[4] = makeEntry(QStringLiteral("2025/02/02"), QStringLiteral("E-餐飲"), kCash, 99,
                                  QStringLiteral("晚餐"));
  store.EntryCount = 5;

  // The disk fills in the account file; then, on a second try, in the entry file.
  for (const qint64 budget : {qint64(100), qint64(278 + 200)}) {
    SCOPED_TRACE(budget);
    safefile::FailAfterBytes full(budget);
    const auto refused = SaveDatabase(store);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->title, QStringLiteral("注意"));
    EXPECT_TRUE(refused->text.startsWith(QStringLiteral("資料庫沒有存好：")))
        << refused->text.toStdString();
    // The two files go together: neither changes.
    EXPECT_EQ(bytesOf(kEntriesFile), oldEntries);
    EXPECT_EQ(bytesOf(kAccountsFile), oldAccounts);
  }
  EXPECT_EQ(QDir(store.databaseFolder()).entryList(QDir::Files),
            QStringList({kAccountsFile, kEntriesFile}));

  ASSERT_FALSE(SaveDatabase(store));
  EXPECT_EQ(bytesOf(kAccountsFile).size(), 2 * 128 + 22);
  EXPECT_EQ(bytesOf(kEntriesFile).size(), 3 * 128 + 104);
}

}  // namespace
